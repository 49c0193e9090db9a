#include "mal/micro_assembler.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

namespace tessaro::testing {
namespace {

std::unique_ptr<AssembledMicroprogram> translated(const std::string& source) {
    return std::make_unique<AssembledMicroprogram>(MicroAssembler::assemble(source));
}

// The control-store file's text, then the problems as "line: message", one a line.
std::string transcript(const AssembledMicroprogram& translate) {
    std::string text = controlStoreText(translate.records);
    for (const MalProblem& p : translate.problems) {
        text += std::to_string(p.line) + ": " + p.message + "\n";
    }
    return text;
}

// n lines " RD" (one micro-instruction each, no label), and their records from address first.
std::string rd(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        text += " RD\n";
    }
    return text;
}
std::string rdRecords(int first, int n) {
    std::string text;
    for (int a = first; a < first + n; ++a) {
        text += std::to_string(a) + " " + std::to_string(a + 1) + " 32\tlabel: RD;\n";
    }
    return text;
}

TEST(MicroAssembler, RecordsAndProblems) {
    const std::string ifTF = "label: Z = TOS; IF (Z) GOTO T; ELSE GOTO F;\n";
    const std::string ifAB = "label: Z = H; IF (Z) GOTO A; ELSE GOTO B;\n";
    const std::string L(40, 'L');
    const std::string huge = "99999999999999999999";
    const std::string ifHuge = "label: Z = H; IF (Z) GOTO 1; ELSE GOTO " + huge + ";\n";
    const std::string badIf =
        "IF non nella forma IF (Z) GOTO etichetta; ELSE GOTO etichetta (oppure IF (N) ...)\n";
    const std::string trueLost = "il salto del ramo vero dell'IF di questa riga va perso\n";
    const std::string at259 =
        "indirizzo 259 già occupato dal salto del ramo vero dell'IF della riga 1: ";
    const std::string elseHigh =
        " non sotto 256: il ramo vero non può raggiungere la destinazione dell'IF\n";
    const std::string tooLong = " caratteri dopo la risoluzione dei salti (al massimo 49)\n";
    const struct {
        const char* what;
        std::string source;
        std::string transcript;
    } rows[] = {
        {"lines without jumps continue at the next address", "H = 0\nH = H + 1\nTOS = H\n",
         "0 1 1081344\tlabel: H = 0;\n1 2 3768320\tlabel: H = H + 1;\n"
         "2 3 1581056\tlabel: TOS = H;\n"},
        {"an IF writes its trampoline before its line",
         rd(5) + "Z = TOS; if (Z) goto T; else goto F\n" + rd(14) + "T H = 0\n" + rd(9) +
             "F H = 1\n",
         rdRecords(0, 5) + "286 20 0\t" + ifTF + "5 30 18087942\t" + ifTF + rdRecords(6, 14) +
             "20 21 1081344\tT: H = 0;\n" + rdRecords(21, 9) + "30 31 1146880\tF: H = 1;\n"},
        {"labels are rewritten, multiway jumps kept, the last definition wins",
         "main1 PC = PC + 1; fetch; goto (MBR)\n GOTO (MBR OR 0x100)\n" + rd(4) +
             "MAIN1 H = 0\nx PC = PC + 1; goto main1\n",
         "0 0 70582802\tMAIN1: PC = PC + 1; FETCH; GOTO (MBR);\n"
         "1 256 67108864\tlabel: GOTO (MBR OR 0X100);\n" +
             rdRecords(2, 4) +
             "6 7 1081344\tMAIN1: H = 0;\n7 6 3473922\tX: PC = PC + 1; GOTO MAIN1;\n"},
        {"FETCH at the start of a line is a label", "fetch; goto x\nx goto fetch\n",
         "0 1 0\tFETCH: GOTO X;\n1 0 0\tX: GOTO FETCH;\n"},
        {"lower case is read as upper case",
         "main h = mbru << 8; goto next\nnext tos = mdr + h + 1; if (n) goto main; else goto "
         "next\n",
         "0 1 9732105\tMAIN: H = MBRU << 8; GOTO NEXT;\n"
         "257 0 0\tNEXT: TOS = MDR + H + 1; IF (N) GOTO MAIN; ELSE GOTO NEXT;\n"
         "1 1 37560321\tNEXT: TOS = MDR + H + 1; IF (N) GOTO MAIN; ELSE GOTO NEXT;\n"
         "2: istruzione di 55" +
             tooLong},
        {"undefined label jumps to 0", "H = 0\n\nGOTO NOWHERE\n",
         "0 1 1081344\tlabel: H = 0;\n1 0 0\tlabel: GOTO NOWHERE;\n"
         "3: etichetta non definita: NOWHERE\n"},
        {"foreign characters, each named once; a label is read up to its first one where used",
         "MAIN_1 H = 0\n GOTO MAIN_1\n H = H + 1.$.\x7F\n",
         "0 1 1081344\tMAIN_1: H = 0;\n1 0 0\tlabel: GOTO MAIN_1;\n2 3 3768320\tlabel: H = H + "
         "1.$.?;\n"
         "2: carattere non ammesso nell'istruzione: '_'\n2: etichetta non definita: MAIN\n"
         "3: carattere non ammesso nell'istruzione: '.', '$', 0x7F\n"},
        {"numbers as targets are addresses",
         "GOTO 5\nZ = H; IF (Z) GOTO 7; ELSE GOTO 3\n GOTO 900\n",
         "0 5 0\tlabel: GOTO 5;\n259 7 0\tlabel: Z = H; IF (Z) GOTO 7; ELSE GOTO 3;\n"
         "1 3 18350080\tlabel: Z = H; IF (Z) GOTO 7; ELSE GOTO 3;\n2 900 0\tlabel: GOTO 900;\n"
         "3: indirizzo 900 fuori dal control store (0-511)\n"},
        {"huge numeric target", "Z = H; IF (Z) GOTO 1; ELSE GOTO " + huge + "\n",
         "1000000255 1 0\t" + ifHuge + "0 999999999 18350080\t" + ifHuge + "1: indirizzo " + huge +
             " fuori dal control store (0-511)\n1: destinazione ELSE 999999999" + elseHigh},
        {"malformed IF and GOTO without a target",
         "A IF (X) GOTO A; ELSE GOTO A\n IF (Z) GOTO A\n GOTO;\n",
         "256 0 0\tA: IF (X) GOTO A; ELSE GOTO A;\n0 0 67108864\tA: IF (X) GOTO A; ELSE GOTO A;\n"
         "256 0 0\tlabel: IF (Z) GOTO A;\n1 0 83886080\tlabel: IF (Z) GOTO A;\n"
         "2 0 0\tlabel: GOTO;\n1: " +
             badIf + "2: " + badIf +
             "2: indirizzo 256 già occupato dal salto del ramo vero dell'IF della riga 1: " +
             trueLost + "3: GOTO senza etichetta\n"},
        {"ELSE target at 256 or above",
         "Z = H; IF (Z) GOTO A; ELSE GOTO B\n" + rd(299) + "A H = 0\nB H = 1\n",
         "557 300 0\t" + ifAB + "0 301 18350080\t" + ifAB + rdRecords(1, 299) +
             "300 301 1081344\tA: H = 0;\n301 302 1146880\tB: H = 1;\n1: destinazione ELSE 301" +
             elseHigh},
        // Both trampolines go to 259, and the instruction line at 259 comes after them; the
        // first record is the one a reader keeps.
        {"two IFs with one else target: three records for address 259",
         "Z = H; IF (Z) GOTO A; ELSE GOTO B\nN = H; IF (N) GOTO A; ELSE GOTO B\nA H = 0\nB H = "
         "1\n" +
             rd(262),
         "259 2 0\t" + ifAB + "0 3 18350080\t" + ifAB +
             "259 2 0\tlabel: N = H; IF (N) GOTO A; ELSE GOTO B;\n"
             "1 3 35127296\tlabel: N = H; IF (N) GOTO A; ELSE GOTO B;\n"
             "2 3 1081344\tA: H = 0;\n3 4 1146880\tB: H = 1;\n" +
             rdRecords(4, 262) + "2: " + at259 + trueLost + "260: " + at259 +
             "l'istruzione di questa riga va persa\n"},
        {"trampoline on an earlier instruction line",
         rd(10) + "A H = 0\n" + rd(289) + "Z = H; IF (Z) GOTO A; ELSE GOTO A\n",
         rdRecords(0, 10) + "10 11 1081344\tA: H = 0;\n" + rdRecords(11, 289) +
             "266 10 0\tlabel: Z = H; IF (Z) GOTO A; ELSE GOTO A;\n"
             "300 10 18350080\tlabel: Z = H; IF (Z) GOTO A; ELSE GOTO A;\n"
             "301: indirizzo 266 già occupato dall'istruzione della riga 267: " +
             trueLost},
        // The cut names still meet, and the over-long instruction is compiled whole: its
        // default jump is not lost.
        {"over-long texts",
         L + " H = 0\n GOTO " + L + "\n H = " + std::string(80, 'T') +
             "\n MAR = SP = SP - 1; MDR = TOS = H + 1; RD; WR\n",
         "0 1 1081344\t" + L + ": H = 0;\n1 0 0\tlabel: GOTO " + L +
             ";\n2 3 1343488\tlabel: H = " + std::string(58, 'T') +
             "\n3 4 4138467\tlabel: MAR = SP = SP - 1; MDR = TOS = H + 1; RD; WR;\n" +
             "1: etichetta " + L + " più lunga di 29 caratteri\n2: nome di etichetta " + L +
             " più lungo di 29 caratteri\n3: etichetta e istruzione superano 69 caratteri: il "
             "commento è tagliato\n3: parola sconosciuta: " +
             std::string(49, 'T') + "\n3: istruzione di 93" + tooLong + "4: istruzione di 53" +
             tooLong},
        {"a last line running off the store", rd(512),
         rdRecords(0, 512) + "512: NextAddr 512 fuori dal control store (0-511)\n"},
        {"a line longer than 254 ends the file",
         "RD\nWR\n H = H + 1; " + std::string(300, ' ') + "RD\nFETCH\n",
         "0 1 32\tlabel: RD;\n1 2 64\tlabel: WR;\n"
         "3: riga più lunga di 254 caratteri: la lettura del file termina qui\n"},
        {"a control byte cannot split a record", "H = H\x01 + 1\n",
         "0 1 3768320\tlabel: H = H? + 1;\n1: carattere non ammesso nell'istruzione: 0x01\n"},
        {"a NUL byte is read as any other", std::string("H = H\0 + 1\n RD\n", 15),
         "0 0 32768\tlabel: H = H? + 1;\n1 2 32\tlabel: RD;\n"
         "1: carattere non ammesso nell'istruzione: 0x00\n"},
        {"empty file", "", "1: il file non contiene istruzioni\n"},
        {"comments only", "// nothing\n\n   / here either\n",
         "1: il file non contiene istruzioni\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(transcript(*translated(row.source)), row.transcript);
    }
}

TEST(MicroAssembler, SpansCountAndLabels) {
    // Blank and comment lines widen the following span.
    auto spans = translated("\n// c\nRD\n\n  \nWR\nFETCH");
    EXPECT_EQ((std::vector<int>{spans->instructionCount, spans->lineStart[0], spans->lineLength[0],
                                spans->lineStart[1], spans->lineLength[1], spans->lineStart[2],
                                spans->lineLength[2]}),
              (std::vector<int>{3, 0, 9, 9, 7, 16, 5}));
    EXPECT_EQ(transcript(*spans), "0 1 32\tlabel: RD;\n1 2 64\tlabel: WR;\n2 3 0\tFETCH: \n");
    EXPECT_EQ((std::vector<int>{spans->addressOf("FETCH"), spans->addressOf("label"),
                                spans->addressOf("RD")}),
              (std::vector<int>{2, -1, -1}));

    auto many = translated("// header\n" + rd(600));
    EXPECT_EQ(many->instructionCount, 600);
    EXPECT_EQ(many->lineStart[511], 10 + 511 * 4);
    EXPECT_EQ(transcript(*many), rdRecords(0, 600) + "514: più di 512 righe di istruzioni: gli "
                                                     "indirizzi da 512 in poi non esistono nel "
                                                     "control store\n");
}

// The encoder skips what it does not know; the translation must not, or the routine is silently
// wrong. The forms the machine has pass.
TEST(MicroAssembler, WordsTheMachineDoesNotHaveAreReportedWithTheirLine) {
    const std::pair<const char*, const char*> refused[] = {
        {"iadd3 H = TOSS", "parola sconosciuta: TOSS"},
        {"BLAH BLAH", "parola sconosciuta: BLAH"},
        {" = = =", "istruzione incompleta"},
        {" H = 5", "costante 5"},
        {" H = TOS + H + MDR", "espressione che l'ALU non sa calcolare: TOS + H + MDR"},
        {" H = H - TOS", "espressione che l'ALU"},
        {" H = NOT TOS", "espressione che l'ALU"},
        {" H = TOS H", "espressione che l'ALU"},
        {" H = - TOS", "espressione che l'ALU"},
        {" H = TOS << 3", "espressione che l'ALU"},
        {" H = TOS << 1", "espressione che l'ALU"},
        {" H = TOS >> 8", "espressione che l'ALU"},
        {" MBR = TOS", "MBR non può stare"},
        {" TOS = MAR", "MAR non può stare"},
        {" H = Z", "Z non può stare"},
        {" H = TOS OR MDR", "espressione che l'ALU non sa calcolare: TOS OR MDR"},
        {" TOS", "istruzione incompleta: TOS"},
        {" H TOS = MDR", "istruzione incompleta: H TOS = MDR"},
        {" H = H + MDR + 1 + 1", "espressione che l'ALU non sa calcolare: H + MDR + 1 + 1"},
        {" H = TOS ~ H", "parola sconosciuta: ~"},
    };
    for (const auto& [line, problem] : refused) {
        auto t = translated(std::string(" H = 0\n") + line + "\n");
        ASSERT_EQ(t->problems.size(), 1u) << line;
        EXPECT_EQ(t->problems[0].line, 2) << line;
        EXPECT_NE(t->problems[0].message.find(problem), std::string::npos)
            << line << ": " << t->problems[0].message;
    }
    auto t = translated(
        "a MAR = SP = SP - 1; rd\n H = TOS\n Z = TOS; if (Z) goto a; else goto b\nb H = -1\n"
        " H = -H\n H = 0; wr\n H = 1; fetch\n TOS = MDR + H + 1\n TOS = H + MDR + 1\n"
        " OPC = H + 1\n SP = SP + 1\n H = MBRU << 8\n TOS = MDR >> 1\n H = H AND TOS\n"
        " H = TOS OR H\n H = NOT H\n SHL\n N = TOS - H\n MDR = TOS = MDR - H; wr; goto a\n"
        " H = H goto b\n PC = PC + 1; fetch; goto (MBR)\n goto (MBR OR 0x100)\n OPC = TOS - 1\n");
    for (const MalProblem& p : t->problems) {
        ADD_FAILURE() << p.line << ": " << p.message;
    }
}

// A line holds one jump: a second one, glued to the first or not, would set NextAddr behind
// the label check's back. And whatever the source, a translation that reports nothing writes
// only fields the control store can hold.
TEST(MicroAssembler, ASecondJumpIsReportedAndProblemFreeRecordsFit) {
    for (const char* source : {"GOTO 3GOTO 900", "GOTO 3 GOTO 5", "H = H; GOTO 3GOTO FOO",
                               "Z = H; IF (Z) GOTO 1; ELSE GOTO 2 GOTO 700",
                               "Z = H; IF (Z) GOTO 1; ELSE GOTO 2 IF (N) GOTO 3; ELSE GOTO 4"}) {
        auto t = translated(std::string(source) + "\n H = 0\n H = 0\n H = 0\n");
        ASSERT_FALSE(t->problems.empty()) << source;
        EXPECT_EQ(t->problems[0].line, 1) << source;
        EXPECT_NE(t->problems[0].message.find("più di un salto"), std::string::npos) << source;
    }
    for (const char* source : {"GOTO 511\n", "GOTO 512\n", "H = H GOTO (MBR) GOTO 900\n",
                               "GOTO (MBR OR 0x100)\n", "Z = H; IF (N) GOTO 600; ELSE GOTO 0\n"}) {
        auto t = translated(source);
        std::istringstream records(t->problems.empty() ? controlStoreText(t->records) : "");
        long address = -1;
        long next = -1;
        long word = -1;
        for (std::string record; std::getline(records, record);) {
            ASSERT_EQ(std::sscanf(record.c_str(), "%ld %ld %ld", &address, &next, &word), 3);
            EXPECT_TRUE(address >= 0 && address < 512 && next >= 0 && next < 512 && word >= 0 &&
                        word < (1L << 27))
                << source << ": " << record;
        }
    }
}

TEST(MicroAssembler, BinaryFileGivesPrintableProblems) {
    std::string bytes;
    unsigned state = 12345;
    for (int i = 0; i < 8192; ++i) {
        state = state * 1103515245u + 12345u;
        // Short lines, so that the bytes reach labels and instructions.
        bytes.push_back((state >> 24) % 40 == 0 ? '\n' : static_cast<char>(state >> 16));
    }
    auto t = translated(bytes);
    EXPECT_FALSE(t->problems.empty());
    EXPECT_EQ(controlStoreText(t->records).find('\0'), std::string::npos);
    // Messages show the file's bytes only as printable ASCII (our own texts add è and ù).
    for (const MalProblem& p : t->problems) {
        for (std::size_t i = 0; i < p.message.size(); ++i) {
            const bool accent = p.message.compare(i, 2, "\xC3\xA8") == 0 ||
                                p.message.compare(i, 2, "\xC3\xB9") == 0;
            i += accent ? 1 : 0;
            EXPECT_TRUE(accent || (p.message[i] >= 0x20 && p.message[i] < 0x7F)) << p.message;
        }
    }
}

TEST(MicroAssembler, TheShippedMicroprogramHasNoProblems) {
    const AssembledMicroprogram translate =
        MicroAssembler::assemble(readFile(bundledMicroprogramPath()));
    EXPECT_TRUE(translate.problems.empty()) << transcript(translate);
    EXPECT_LE(translate.instructionCount, 512);
}

} // namespace
} // namespace tessaro::testing
