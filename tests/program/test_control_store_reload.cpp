// Replacing the control store while a program is loaded: the new microprogram is the one that
// executes from then on, even where an address keeps its place and only its contents change.

#include "mal/translate.h"
#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace tessaro {
namespace {

using testing::makeSession;
using testing::scratchPath;

const char* const kSum = ".main\nBIPUSH 7\nBIPUSH 3\nIADD\nHALT\n.end-main\n";
const char* const kForever = ".main\nl: GOTO l\n.end-main\n";

// The bundled microprogram, translated, with from replaced by to; returns the store's path.
std::string controlStore(const std::string& name, const std::string& from = {},
                         const std::string& to = {}) {
    std::ifstream in(std::string(TESSARO_SOURCE_DIR) + "/data/velkora.mal", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!from.empty()) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    }
    const std::string mal = scratchPath(name + ".mal");
    std::ofstream(mal, std::ios::binary | std::ios::trunc) << text;
    const std::string bin = scratchPath(name + ".bin");
    Translate translate(mal, bin);
    EXPECT_TRUE(translate.tryRun());
    EXPECT_TRUE(translate.problems.empty());
    return bin;
}

// IADD's last line subtracts instead: same addresses, same number of entries.
std::string subtractingStore() {
    return controlStore("subtracting", "iadd3    MDR = TOS = MDR + H",
                        "iadd3    MDR = TOS = MDR - H");
}

class ControlStoreReload : public ::testing::Test {
protected:
    std::unique_ptr<MachineSession> session = makeSession();

    void load(const char* source) {
        ASSERT_TRUE(session->compileAndLoadText(source, scratchPath("reload.jvm")).loaded);
    }
    std::int32_t runToHalt() {
        EXPECT_EQ(session->startRun(RunKind::Run), Outcome::SliceDone);
        Outcome outcome = Outcome::SliceDone;
        while (outcome == Outcome::SliceDone) {
            outcome = session->runSlice(1'000'000);
        }
        EXPECT_EQ(outcome, Outcome::Halted);
        return session->machine().TOS();
    }
};

TEST_F(ControlStoreReload, TheNewContentsOfAnAddressAreExecutedAndTheProgramStartsAgain) {
    load(kSum);
    const std::int32_t startPc = session->machine().PC();
    const std::int64_t startCount = session->microInstructions();
    const int entries = session->machine().controlStore.elementCount();
    ASSERT_EQ(runToHalt(), 10);

    ASSERT_TRUE(session->replaceControlStore(subtractingStore()));
    EXPECT_EQ(session->machine().controlStore.elementCount(), entries);
    EXPECT_EQ(session->state(), SessionState::Loaded);
    EXPECT_EQ(session->machine().PC(), startPc);
    EXPECT_EQ(session->microInstructions(), startCount);
    EXPECT_EQ(runToHalt(), 4);

    // And back, through the step commands this time.
    ASSERT_TRUE(session->replaceControlStore(controlStore("bundled")));
    Outcome outcome = Outcome::Done;
    while (outcome == Outcome::Done) {
        outcome = session->ijvmStep();
    }
    EXPECT_EQ(outcome, Outcome::Halted);
    EXPECT_EQ(session->machine().TOS(), 10);
}

TEST_F(ControlStoreReload, ARunInProgressIsStoppedFirst) {
    load(kForever);
    ASSERT_EQ(session->startRun(RunKind::Run), Outcome::SliceDone);
    ASSERT_EQ(session->runSlice(1000), Outcome::SliceDone);
    ASSERT_TRUE(session->replaceControlStore(subtractingStore()));
    EXPECT_FALSE(session->isRunning());
    EXPECT_EQ(session->state(), SessionState::Loaded);
}

TEST_F(ControlStoreReload, WithoutAProgramNothingBecomesLoaded) {
    ASSERT_TRUE(session->replaceControlStore(subtractingStore()));
    EXPECT_EQ(session->state(), SessionState::NothingLoaded);
    EXPECT_EQ(session->ijvmStep(), Outcome::NotLoaded);
    load(kSum);
    EXPECT_EQ(runToHalt(), 4);
}

TEST_F(ControlStoreReload, AnUnreadableFileChangesNothing) {
    load(kSum);
    EXPECT_FALSE(session->replaceControlStore(scratchPath("no-such.bin")));
    EXPECT_EQ(runToHalt(), 10);
}

} // namespace
} // namespace tessaro
