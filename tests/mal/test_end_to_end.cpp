#include "machine/control_path.h"
#include "mal/micro_assembler.h"
#include "tests/support/cli.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

namespace tessaro::testing {
namespace {

// SP := LV * OPC by repeated addition, with LV = 3 and OPC = 4 built from the constant 1; then
// TOS := SP and a jump to the stop address 0x70, reached through a label 112 lines down.
std::string multiplyProgram() {
    std::string source = "start  h = 1            / 0\n"
                         "       lv = h + 1       / 1\n"
                         "       h = lv\n"
                         "       lv = h + 1       / 3: LV = 3\n"
                         "       h = lv\n"
                         "       opc = h + 1      / 5: OPC = 4\n"
                         "\n"
                         "       sp = 0\n"
                         "l      h = sp           / 7\n"
                         "       sp = lv + h\n"
                         "       opc = opc - 1; if (z) goto d; else goto l\n"
                         "d      tos = sp; goto stop\n";
    for (int address = 11; address < 0x70; ++address) {
        source += "       goto start       / never reached\n";
    }
    return source + "stop   goto stop\n";
}

TEST(TranslateEndToEnd, MicroprogramRunsOnTheMachine) {
    const AssembledMicroprogram translate = MicroAssembler::assemble(multiplyProgram());
    ASSERT_TRUE(translate.problems.empty());
    EXPECT_EQ(translate.instructionCount, 0x71);
    EXPECT_EQ(translate.trampolines, (std::map<int, int>{{256 + 7, 9}}));

    ControlPath machine;
    machine.loadControlStore(translate.records);
    ASSERT_TRUE(machine.runFor(1000));
    EXPECT_EQ(machine.MPC, 0x70);
    EXPECT_EQ(machine.SP(), 12);
    EXPECT_EQ(machine.TOS(), 12);
    EXPECT_EQ(machine.LV(), 3);
    EXPECT_EQ(machine.OPC(), 0);
    // 7 set-up lines, 4 rounds of 3, the exit line: the true branch passes the trampoline.
    EXPECT_EQ(machine.microCount, 7 + 4 * 3 + 1 + 1);
}

// A machine given the records in memory must hold what it would read back from their file,
// whatever the source: collisions, addresses past the store, stray bytes, long comments.
TEST(TranslateEndToEnd, RecordsInMemoryLoadAsTheirFileDoes) {
    std::string longLines;
    for (int i = 0; i < 530; ++i) {
        longLines += "L" + std::to_string(i) + " H = H + 1; IF (Z) GOTO L3; ELSE GOTO L" +
                     std::to_string(i % 7) + "\n";
    }
    const std::string sources[] = {
        readFile(bundledMicroprogramPath()),
        multiplyProgram(),
        longLines,
        std::string("A H = H\x01 + 1\r\n\xC3\xA8 GOTO A\nB ") + std::string(70, 'X') + "\n",
    };
    for (const std::string& source : sources) {
        const AssembledMicroprogram translated = MicroAssembler::assemble(source);
        const std::string bin = scratchPath(uniqueName(".bin"));
        ASSERT_TRUE(writeControlStoreFile(bin, translated.records));
        // A full disk shows only when the buffered bytes are flushed: still a failure.
        EXPECT_FALSE(writeControlStoreFile("/dev/full", translated.records));
        EXPECT_FALSE(writeControlStoreFile(scratchPath("none/x.bin"), translated.records));
        EXPECT_EQ(readFile(bin), controlStoreText(translated.records));
        ControlPath fromFile;
        fromFile.loadControlStore(bin);
        ControlPath fromMemory;
        fromMemory.loadControlStore(translated.records);
        ASSERT_EQ(fromMemory.controlStore.elementCount(), fromFile.controlStore.elementCount());
        for (std::uint32_t address = 0; address < 512; ++address) {
            const Mic* expected = fromFile.controlStore.peek(address);
            const Mic* actual = fromMemory.controlStore.peek(address);
            ASSERT_EQ(actual == nullptr, expected == nullptr) << address;
            if (expected != nullptr) {
                EXPECT_EQ(std::tie(actual->word, actual->NextAddr, actual->text),
                          std::tie(expected->word, expected->NextAddr, expected->text))
                    << address;
            }
        }
    }
}

TEST(MalCommand, ExitStatusesAndProblemLines) {
    const std::string good = quoted(writeScratch(multiplyProgram(), ".mal"));
    const std::string badPath = writeScratch("// two problems\n GOTO NOWHERE\n H = H_1\n", ".mal");
    const std::string bad = quoted(badPath);
    const std::string binPath = scratchPath(uniqueName(".bin"));
    const std::string bin = quoted(binPath);

    CliResult run = runCli("mal " + good + " " + bin);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_NE(readFile(binPath).find("\n112 112 0\tSTOP: GOTO STOP;\n"), std::string::npos);

    run = runCli("mal " + bad + " " + bin);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, badPath + ":2: etichetta non definita: NOWHERE\n" + badPath +
                           ":3: carattere non ammesso nell'istruzione: '_'\n");
    // The file is written all the same.
    EXPECT_EQ(readFile(binPath), "0 0 0\tlabel: GOTO NOWHERE;\n1 2 32768\tlabel: H = H_1;\n");

    run = runCli("mal --lang en " + bad + " " + bin);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, badPath + ":2: undefined label: NOWHERE\n" + badPath +
                           ":3: character not allowed in the instruction: '_'\n");

    // arguments, status, a piece of the standard error
    const struct {
        std::string arguments;
        int status;
        std::string err;
    } rows[] = {{quoted(badPath + "/missing.mal") + " " + bin, 1, "missing.mal"},
                {"", 1, "uso: tessaro-cli mal"},
                {"--lang en", 1, "usage: tessaro-cli mal"},
                {"--help", 0, ""},
                {"a b c", 1, "uso"}};
    for (const auto& row : rows) {
        run = runCli("mal " + row.arguments);
        EXPECT_EQ(run.status, row.status) << row.arguments;
        EXPECT_NE(run.err.find(row.err), std::string::npos) << row.arguments << ": " << run.err;
    }
}

} // namespace
} // namespace tessaro::testing
