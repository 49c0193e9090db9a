#include "mal/translate.h"
#include "mal_test_util.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace tessaro {
namespace {

struct Outcome {
    std::string bin;
    std::vector<MalProblem> problems;
};

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// Translates source (written to a file of its own) and returns the control-store bytes.
Outcome translateText(const std::string& source) {
    const std::string mal = test::tempPath(".mal");
    const std::string bin = test::tempPath(".bin");
    test::writeFile(mal, source);
    Translate translate(mal, bin);
    EXPECT_TRUE(translate.tryRun());
    return {test::readFile(bin), translate.problems};
}

// n filler lines "RD" (one micro-instruction each, no label).
std::vector<std::string> filler(int n) {
    return std::vector<std::string>(n, " RD");
}

testing::AssertionResult hasProblem(const std::vector<MalProblem>& problems, int line,
                                    const std::string& part) {
    for (const MalProblem& p : problems) {
        if (p.line == line && p.message.find(part) != std::string::npos) {
            return testing::AssertionSuccess();
        }
    }
    auto failure = testing::AssertionFailure();
    failure << "no problem on line " << line << " containing \"" << part << "\"; got:";
    for (const MalProblem& p : problems) {
        failure << "\n  " << p.line << ": " << p.message;
    }
    return failure;
}

std::string dump(const std::vector<MalProblem>& problems) {
    std::string text;
    for (const MalProblem& p : problems) {
        text += std::to_string(p.line) + ": " + p.message + "\n";
    }
    return text;
}

TEST(TranslateRecords, LinesWithoutJumpsContinueAtTheNextAddress) {
    const Outcome run = translateText("H = 0\nH = H + 1\nTOS = H\n");
    EXPECT_EQ(run.bin, "0 1 1081344\tlabel: H = 0;\n"
                       "1 2 3768320\tlabel: H = H + 1;\n"
                       "2 3 1581056\tlabel: TOS = H;\n");
    EXPECT_TRUE(run.problems.empty()) << dump(run.problems);
}

TEST(TranslateRecords, IfWritesTheTrampolineBeforeItsLine) {
    std::vector<std::string> lines = filler(5);
    lines.push_back("Z = TOS; if (Z) goto T; else goto F");
    std::vector<std::string> more = filler(14);
    lines.insert(lines.end(), more.begin(), more.end());
    lines.push_back("T H = 0"); // address 20
    more = filler(9);
    lines.insert(lines.end(), more.begin(), more.end());
    lines.push_back("F H = 1"); // address 30
    const Outcome run = translateText(joinLines(lines));
    const std::string expected = "4 5 32\tlabel: RD;\n"
                                 "286 20 0\tlabel: Z = TOS; IF (Z) GOTO T; ELSE GOTO F;\n"
                                 "5 30 18087942\tlabel: Z = TOS; IF (Z) GOTO T; ELSE GOTO F;\n"
                                 "6 7 32\tlabel: RD;\n";
    EXPECT_NE(run.bin.find(expected), std::string::npos) << run.bin;
    EXPECT_NE(run.bin.find("\n20 21 1081344\tT: H = 0;\n"), std::string::npos);
    EXPECT_NE(run.bin.find("\n30 31 1146880\tF: H = 1;\n"), std::string::npos);
    EXPECT_TRUE(run.problems.empty()) << dump(run.problems);
}

TEST(TranslateRecords, GotoLabelsAreRewrittenAndMultiwayJumpsKept) {
    const std::string mal = test::tempPath(".mal");
    const std::string bin = test::tempPath(".bin");
    test::writeFile(mal, "main1 PC = PC + 1; fetch; goto (MBR)\n"
                         " GOTO (MBR OR 0x100)\n" +
                             joinLines(filler(4)) + "MAIN1 H = 0\n" +
                             "x PC = PC + 1; goto main1\n");
    Translate translate(mal, bin);
    ASSERT_TRUE(translate.tryRun());
    // The duplicate MAIN1 at address 6 is the last definition, so it wins.
    EXPECT_EQ(translate.addressOf("MAIN1"), 6);
    EXPECT_EQ(translate.instrText, " PC = PC + 1 ; GOTO 6 ;");
    const std::string bin_ = test::readFile(bin);
    EXPECT_EQ(bin_.substr(0, bin_.find('\n', bin_.find('\n') + 1) + 1),
              "0 0 70582802\tMAIN1: PC = PC + 1; FETCH; GOTO (MBR);\n"
              "1 256 67108864\tlabel: GOTO (MBR OR 0X100);\n");
    EXPECT_NE(bin_.find("\n7 6 3473922\tX: PC = PC + 1; GOTO MAIN1;\n"), std::string::npos) << bin_;
    EXPECT_TRUE(translate.problems.empty()) << dump(translate.problems);
}

TEST(TranslateRecords, FetchAtTheStartOfALineIsALabel) {
    const Outcome run = translateText("fetch; goto x\nx goto fetch\n");
    EXPECT_EQ(run.bin, "0 1 0\tFETCH: GOTO X;\n"
                       "1 0 0\tX: GOTO FETCH;\n");
    EXPECT_TRUE(run.problems.empty()) << dump(run.problems);
}

TEST(TranslateRecords, LowerCaseGivesTheSameFile) {
    const std::string upper = "MAIN H = MBRU << 8; GOTO NEXT\n"
                              "NEXT TOS = MDR + H + 1; IF (N) GOTO MAIN; ELSE GOTO NEXT\n";
    const std::string lower = "main h = mbru << 8; goto next\n"
                              "next tos = mdr + h + 1; if (n) goto main; else goto next\n";
    const Outcome a = translateText(upper);
    const Outcome b = translateText(lower);
    EXPECT_EQ(a.bin, b.bin);
    EXPECT_EQ(a.bin, "0 1 9732105\tMAIN: H = MBRU << 8; GOTO NEXT;\n"
                     "257 0 0\tNEXT: TOS = MDR + H + 1; IF (N) GOTO MAIN; ELSE GOTO NEXT;\n"
                     "1 1 37560321\tNEXT: TOS = MDR + H + 1; IF (N) GOTO MAIN; ELSE GOTO NEXT;\n");
}

TEST(TranslateRecords, RepeatedRunsAreByteIdentical) {
    std::string source = "start H = 0\nloop H = H + 1; if (Z) goto start; else goto loop\n";
    source += " MDR = TOS = MDR + H; wr; goto (MBR)\n";
    const std::string mal = test::tempPath(".mal");
    const std::string bin = test::tempPath(".bin");
    test::writeFile(mal, source);
    Translate first(mal, bin);
    first.run();
    const std::string once = test::readFile(bin);
    first.run();
    EXPECT_EQ(test::readFile(bin), once);
    Translate second(mal, bin);
    second.run();
    EXPECT_EQ(test::readFile(bin), once);
    EXPECT_FALSE(once.empty());
}

TEST(TranslateRecords, ConstructorDeletesTheOldOutput) {
    const std::string bin = test::tempPath(".bin");
    test::writeFile(bin, "old");
    Translate translate(test::tempPath(".mal"), bin);
    EXPECT_EQ(std::fopen(bin.c_str(), "rb"), nullptr);
}

TEST(TranslateSpans, BlankAndCommentLinesWidenTheFollowingSpan) {
    const std::string mal = test::tempPath(".mal");
    test::writeFile(mal, "\n// c\nRD\n\n  \nWR\nFETCH");
    Translate translate(mal, test::tempPath(".bin"));
    ASSERT_TRUE(translate.tryRun());
    EXPECT_EQ(translate.instructionCount, 3);
    EXPECT_EQ(translate.lineStart[0], 0);
    EXPECT_EQ(translate.lineLength[0], 9);
    EXPECT_EQ(translate.lineStart[1], 9);
    EXPECT_EQ(translate.lineLength[1], 7);
    EXPECT_EQ(translate.lineStart[2], 16);
    EXPECT_EQ(translate.lineLength[2], 5);
    EXPECT_EQ(test::readFile(translate.binPath), "0 1 32\tlabel: RD;\n"
                                                 "1 2 64\tlabel: WR;\n"
                                                 "2 3 0\tFETCH: \n");
}

TEST(TranslateProblems, UndefinedLabelJumpsToZero) {
    const Outcome run = translateText("H = 0\n\nGOTO NOWHERE\n");
    EXPECT_NE(run.bin.find("\n1 0 0\t"), std::string::npos) << run.bin;
    EXPECT_TRUE(hasProblem(run.problems, 3, "NOWHERE"));
    EXPECT_EQ(run.problems.size(), 1u) << dump(run.problems);
}

TEST(TranslateProblems, ForeignCharactersAreReported) {
    const Outcome run = translateText("MAIN_1 H = 0\n GOTO MAIN_1\n H = H + 1.\n");
    EXPECT_TRUE(hasProblem(run.problems, 2, "'_'"));
    EXPECT_TRUE(hasProblem(run.problems, 3, "'.'"));
}

TEST(TranslateProblems, NumbersAsTargetsAreAddresses) {
    const Outcome run = translateText("GOTO 5\nZ = H; IF (Z) GOTO 7; ELSE GOTO 3\n GOTO 900\n");
    EXPECT_EQ(run.bin, "0 5 0\tlabel: GOTO 5;\n"
                       "259 7 0\tlabel: Z = H; IF (Z) GOTO 7; ELSE GOTO 3;\n"
                       "1 3 18350080\tlabel: Z = H; IF (Z) GOTO 7; ELSE GOTO 3;\n"
                       "2 900 0\tlabel: GOTO 900;\n");
    EXPECT_TRUE(hasProblem(run.problems, 3, "900"));
    EXPECT_EQ(run.problems.size(), 1u) << dump(run.problems);
}

TEST(TranslateProblems, HugeNumericTargets) {
    const Outcome run = translateText("Z = H; IF (Z) GOTO 1; ELSE GOTO 99999999999999999999\n");
    EXPECT_TRUE(hasProblem(run.problems, 1, "fuori"));
    EXPECT_TRUE(hasProblem(run.problems, 1, "256"));
    EXPECT_EQ(run.bin.rfind("1000000255 1 0\t", 0), 0u) << run.bin;
}

TEST(TranslateProblems, MalformedIfAndGotoWithoutTarget) {
    const Outcome run = translateText("A IF (X) GOTO A; ELSE GOTO A\n IF (Z) GOTO A\n GOTO;\n");
    EXPECT_TRUE(hasProblem(run.problems, 1, "IF"));
    EXPECT_TRUE(hasProblem(run.problems, 2, "IF"));
    EXPECT_TRUE(hasProblem(run.problems, 3, "GOTO"));
    // The missing target becomes address 0 rather than a multiway jump.
    EXPECT_NE(run.bin.find("\n2 0 0\tlabel: GOTO;\n"), std::string::npos) << run.bin;
}

// A line holds one jump. A second one, glued to the first or not, would set NextAddr behind
// the label check's back.
TEST(TranslateProblems, ASecondJumpOnALineIsReported) {
    const char* sources[] = {"GOTO 3GOTO 900", "GOTO 3 GOTO 5", "H = H; GOTO 3GOTO FOO",
                             "Z = H; IF (Z) GOTO 1; ELSE GOTO 2 GOTO 700",
                             "Z = H; IF (Z) GOTO 1; ELSE GOTO 2 IF (N) GOTO 3; ELSE GOTO 4"};
    for (const char* source : sources) {
        const Outcome run = translateText(std::string(source) + "\n H = 0\n H = 0\n H = 0\n");
        EXPECT_TRUE(hasProblem(run.problems, 1, "più di un salto")) << source;
    }
}

// Whatever the source, a translation that reports nothing writes only fields the control
// store can hold.
TEST(TranslateProblems, ProblemFreeTranslationsWriteOnlyFieldsInRange) {
    const char* sources[] = {
        "GOTO 3GOTO 900\n",
        "GOTO 511\n",
        "GOTO 512\n",
        "GOTO 3 GOTO 1000\n",
        "H = H GOTO (MBR) GOTO 900\n",
        "Z = H; IF (Z) GOTO 1; ELSE GOTO 2 GOTO 700\n H = 0\n H = 0\n",
        "GOTO (MBR OR 0x100)\n",
        "Z = H; IF (N) GOTO 600; ELSE GOTO 0\n",
    };
    for (const char* source : sources) {
        const Outcome run = translateText(source);
        if (!run.problems.empty()) {
            continue;
        }
        std::istringstream records(run.bin);
        std::string record;
        while (std::getline(records, record)) {
            long address = -1;
            long next = -1;
            long word = -1;
            ASSERT_EQ(std::sscanf(record.c_str(), "%ld %ld %ld", &address, &next, &word), 3)
                << record;
            EXPECT_TRUE(address >= 0 && address < 512) << source << ": " << record;
            EXPECT_TRUE(next >= 0 && next < 512) << source << ": " << record;
            EXPECT_TRUE(word >= 0 && word < (1L << 27)) << source << ": " << record;
        }
    }
}

TEST(TranslateProblems, ElseTargetsAt256OrAbove) {
    std::vector<std::string> lines = {"Z = H; IF (Z) GOTO A; ELSE GOTO B"};
    std::vector<std::string> more = filler(299);
    lines.insert(lines.end(), more.begin(), more.end());
    lines.push_back("A H = 0"); // 300
    lines.push_back("B H = 1"); // 301
    const Outcome run = translateText(joinLines(lines));
    EXPECT_TRUE(hasProblem(run.problems, 1, "301"));
    EXPECT_EQ(run.bin.rfind("557 300 0\t", 0), 0u);
}

TEST(TranslateProblems, TwoRecordsForOneAddress) {
    // Two IFs with the same else target B (address 3): both trampolines go to 259, and the
    // instruction line at 259 comes after them.
    std::vector<std::string> lines = {"Z = H; IF (Z) GOTO A; ELSE GOTO B",
                                      "N = H; IF (N) GOTO A; ELSE GOTO B", "A H = 0", "B H = 1"};
    std::vector<std::string> more = filler(262); // addresses 4..265
    lines.insert(lines.end(), more.begin(), more.end());
    const Outcome run = translateText(joinLines(lines));
    EXPECT_TRUE(hasProblem(run.problems, 2,
                           "indirizzo 259 già occupato dal salto del ramo vero dell'IF della "
                           "riga 1: il salto del ramo vero dell'IF di questa riga va perso"));
    EXPECT_FALSE(hasProblem(run.problems, 1, "259"));
    EXPECT_TRUE(hasProblem(run.problems, 260,
                           "indirizzo 259 già occupato dal salto del ramo vero dell'IF della "
                           "riga 1: l'istruzione di questa riga va persa"));
    EXPECT_EQ(run.problems.size(), 2u) << dump(run.problems);
    // All three records are still written; the first one is the one a reader keeps.
    const std::size_t first = run.bin.find("259 2 0\tlabel: Z = H;");
    EXPECT_EQ(first, 0u);
    EXPECT_NE(run.bin.find("\n259 2 0\tlabel: N = H;"), std::string::npos);
    EXPECT_NE(run.bin.find("\n259 260 32\tlabel: RD;"), std::string::npos);
}

TEST(TranslateProblems, TrampolineOnAnEarlierInstructionLine) {
    std::vector<std::string> lines = filler(300);
    lines.push_back("Z = H; IF (Z) GOTO A; ELSE GOTO A"); // address 300, line 301
    lines[10] = "A H = 0";                                // address 10: trampoline 266
    const Outcome run = translateText(joinLines(lines));
    EXPECT_TRUE(hasProblem(run.problems, 301,
                           "indirizzo 266 già occupato dall'istruzione della riga 267: il salto "
                           "del ramo vero dell'IF di questa riga va perso"));
    EXPECT_EQ(run.problems.size(), 1u) << dump(run.problems);
}

TEST(TranslateProblems, OverLongTexts) {
    const std::string longLabel(40, 'L');
    const std::string longToken(80, 'T');
    const Outcome run =
        translateText(longLabel + " H = 0\n GOTO " + longLabel + "\n H = " + longToken +
                      "\n MAR = SP = SP - 1; MDR = TOS = H + 1; RD; WR\n");
    EXPECT_TRUE(hasProblem(run.problems, 1, "29")); // label definition
    EXPECT_TRUE(hasProblem(run.problems, 3, "69")); // comment
    EXPECT_TRUE(hasProblem(run.problems, 2, "29")); // label use
    EXPECT_TRUE(hasProblem(run.problems, 3, "49")); // instruction text
    EXPECT_TRUE(hasProblem(run.problems, 4, "49")); // grows past 49 with its default jump
    // The cut names still meet: the jump reaches address 0.
    EXPECT_NE(run.bin.find("\n1 0 0\t"), std::string::npos) << run.bin;
    // The over-long instruction is compiled whole: its default jump is not lost.
    EXPECT_NE(run.bin.find("\n3 4 "), std::string::npos) << run.bin;
    // No record comment is longer than 69 bytes.
    std::size_t start = 0;
    while (start < run.bin.size()) {
        const std::size_t tab = run.bin.find('\t', start);
        const std::size_t end = run.bin.find('\n', start);
        ASSERT_NE(tab, std::string::npos);
        EXPECT_LE(end - tab - 1, 69u);
        start = end + 1;
    }
}

TEST(TranslateProblems, ALastLineRunningOffTheStoreIsReported) {
    const Outcome run = translateText(joinLines(filler(512)));
    EXPECT_TRUE(hasProblem(run.problems, 512, "512")) << dump(run.problems);
}

TEST(TranslateProblems, MoreThan512InstructionLines) {
    const std::string mal = test::tempPath(".mal");
    test::writeFile(mal, "// header\n" + joinLines(filler(600)));
    Translate translate(mal, test::tempPath(".bin"));
    ASSERT_TRUE(translate.tryRun());
    EXPECT_EQ(translate.instructionCount, 600);
    EXPECT_TRUE(hasProblem(translate.problems, 514, "512"));
    EXPECT_EQ(translate.problems.size(), 1u) << dump(translate.problems);
    EXPECT_EQ(translate.lineStart[511], 10 + 511 * 4);
    const std::string bin = test::readFile(translate.binPath);
    EXPECT_NE(bin.find("\n599 600 32\t"), std::string::npos);
}

TEST(TranslateProblems, LineLongerThan254EndsTheFile) {
    const Outcome run =
        translateText("RD\nWR\n H = H + 1; " + std::string(300, ' ') + "RD\nFETCH\n");
    EXPECT_EQ(run.bin, "0 1 32\tlabel: RD;\n1 2 64\tlabel: WR;\n");
    EXPECT_TRUE(hasProblem(run.problems, 3, "254"));
    EXPECT_EQ(run.problems.size(), 1u) << dump(run.problems);
}

TEST(TranslateProblems, EmptyAndCommentOnlyFiles) {
    for (const char* source : {"", "// nothing\n\n   / here either\n"}) {
        const Outcome run = translateText(source);
        EXPECT_EQ(run.bin, "");
        EXPECT_TRUE(hasProblem(run.problems, 1, "istruzioni")) << source;
    }
}

TEST(TranslateProblems, BinaryFile) {
    std::string bytes;
    unsigned state = 12345;
    for (int i = 0; i < 8192; ++i) {
        state = state * 1103515245u + 12345u;
        // Short lines, so that the bytes reach labels and instructions.
        bytes.push_back((state >> 24) % 40 == 0 ? '\n' : static_cast<char>(state >> 16));
    }
    const Outcome run = translateText(bytes);
    EXPECT_FALSE(run.problems.empty());
    // Messages show the file's bytes only as printable ASCII (our own texts add è and ù).
    for (const MalProblem& problem : run.problems) {
        std::string text = problem.message;
        for (const char* accented : {"\xC3\xA8", "\xC3\xB9"}) {
            for (std::size_t at; (at = text.find(accented)) != std::string::npos;) {
                text.erase(at, 2);
            }
        }
        for (char ch : text) {
            EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << problem.message;
        }
    }
    // Whatever was written is still one record per line.
    for (char ch : run.bin) {
        EXPECT_NE(ch, '\0');
    }
}

TEST(TranslateOpen, FilesThatCannotBeOpened) {
    const std::string missing = test::tempPath("_missing/none.mal");
    Translate noSource(missing, test::tempPath(".bin"));
    EXPECT_FALSE(noSource.tryRun());
    ASSERT_EQ(noSource.problems.size(), 1u);
    EXPECT_EQ(noSource.problems[0].line, 0);
    EXPECT_NE(noSource.problems[0].message.find(missing), std::string::npos);

    const std::string mal = test::tempPath(".mal");
    test::writeFile(mal, "RD\n");
    Translate noOutput(mal, test::tempPath("_missing/out.bin"));
    EXPECT_FALSE(noOutput.tryRun());
    ASSERT_EQ(noOutput.problems.size(), 1u);
    EXPECT_EQ(noOutput.problems[0].line, 0);

    EXPECT_EXIT(
        {
            dup2(2, 1);
            noSource.run();
        },
        ::testing::ExitedWithCode(1),
        "^Errore nel metodo FileReaderMic1::open\\(\\): impossibile aprire il file\n$");
}

TEST(TranslateOpen, OutputOverTheSourceIsRefused) {
    const std::string mal = test::tempPath(".mal");
    test::writeFile(mal, "RD\n");
    Translate translate(mal, mal);
    EXPECT_FALSE(translate.tryRun());
    ASSERT_EQ(translate.problems.size(), 1u);
    EXPECT_EQ(test::readFile(mal), "RD\n");
}

TEST(TranslateOpen, DirectoryAsSource) {
    Translate translate(::testing::TempDir(), test::tempPath(".bin"));
    EXPECT_TRUE(translate.tryRun());
    EXPECT_TRUE(hasProblem(translate.problems, 1, "lettura"));
}

TEST(TranslateBundled, TheShippedMicroprogramHasNoProblems) {
    const std::string mal = std::string(TESSARO_SOURCE_DIR) + "/data/velkora.mal";
    if (std::FILE* f = std::fopen(mal.c_str(), "rb")) {
        std::fclose(f);
    } else {
        GTEST_SKIP() << "no microprogram at " << mal;
    }
    Translate translate(mal, test::tempPath(".bin"));
    ASSERT_TRUE(translate.tryRun());
    EXPECT_TRUE(translate.problems.empty()) << dump(translate.problems);
    EXPECT_LE(translate.instructionCount, 512);
}

} // namespace
} // namespace tessaro
