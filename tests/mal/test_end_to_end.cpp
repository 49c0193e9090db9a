#include "machine/control_path.h"
#include "mal/translate.h"
#include "mal_test_util.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <string>

namespace tessaro {
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
    source += "stop   goto stop\n";
    return source;
}

TEST(TranslateEndToEnd, MicroprogramRunsOnTheMachine) {
    const std::string mal = test::tempPath(".mal");
    const std::string bin = test::tempPath(".bin");
    test::writeFile(mal, multiplyProgram());
    Translate translate(mal, bin);
    ASSERT_TRUE(translate.tryRun());
    ASSERT_TRUE(translate.problems.empty());
    EXPECT_EQ(translate.instructionCount, 0x71);
    EXPECT_EQ(translate.trampolines, (std::map<int, int>{{256 + 7, 9}}));

    ControlPath machine;
    machine.loadControlStore(bin);
    ASSERT_TRUE(machine.runFor(1000));
    EXPECT_EQ(machine.MPC, 0x70);
    EXPECT_EQ(machine.SP(), 12);
    EXPECT_EQ(machine.TOS(), 12);
    EXPECT_EQ(machine.LV(), 3);
    EXPECT_EQ(machine.OPC(), 0);
    // 7 set-up lines, 4 rounds of 3, the exit line: the true branch passes the trampoline.
    EXPECT_EQ(machine.microCount, 7 + 4 * 3 + 1 + 1);
}

int runCli(const std::string& arguments, const std::string& errPath) {
    const std::string command =
        std::string("'") + TESSARO_CLI + "' mal " + arguments + " 2>'" + errPath + "' >/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(MalCommand, ExitCodesAndProblemLines) {
    const std::string good = test::tempPath("_good.mal");
    const std::string bad = test::tempPath("_bad.mal");
    const std::string bin = test::tempPath(".bin");
    const std::string err = test::tempPath(".err");
    test::writeFile(good, multiplyProgram());
    test::writeFile(bad, "// two problems\n GOTO NOWHERE\n H = H_1\n");

    EXPECT_EQ(runCli("'" + good + "' '" + bin + "'", err), 0);
    EXPECT_EQ(test::readFile(err), "");
    EXPECT_NE(test::readFile(bin).find("\n112 112 0\tSTOP: GOTO STOP;\n"), std::string::npos);

    EXPECT_EQ(runCli("'" + bad + "' '" + bin + "'", err), 1);
    EXPECT_EQ(test::readFile(err), bad + ":2: etichetta non definita: NOWHERE\n" + bad +
                                       ":3: carattere non ammesso nell'istruzione: '_'\n");
    // The file is written all the same.
    EXPECT_EQ(test::readFile(bin), "0 0 0\tlabel: GOTO NOWHERE;\n"
                                   "1 2 32768\tlabel: H = H_1;\n");

    EXPECT_EQ(runCli("--lang en '" + bad + "' '" + bin + "'", err), 1);
    EXPECT_EQ(test::readFile(err), bad + ":2: undefined label: NOWHERE\n" + bad +
                                       ":3: character not allowed in the instruction: '_'\n");

    EXPECT_EQ(runCli("'" + bad + "/missing.mal' '" + bin + "'", err), 1);
    EXPECT_NE(test::readFile(err).find("missing.mal"), std::string::npos);

    EXPECT_EQ(runCli("", err), 1);
    EXPECT_NE(test::readFile(err).find("usage"), std::string::npos);
    EXPECT_EQ(runCli("--help", err), 0);
    EXPECT_EQ(runCli("a b c", err), 1);
    EXPECT_NE(test::readFile(err).find("usage"), std::string::npos);
}

} // namespace
} // namespace tessaro
