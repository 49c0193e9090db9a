#include "machine/control_path.h"
#include "presentation/machine_picture.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tessaro {
namespace {

// The picture of a machine whose last micro-instruction had control word word and next
// address next: the words below are written by hand, bit by bit, not taken from any table.
MachinePicture pictureOf(std::uint32_t word, std::uint32_t next = 0,
                         SubCyclePhase phase = SubCyclePhase::CBus) {
    ControlPath machine;
    machine.lastMPC = 7;
    Mic& mic = machine.controlStore[7];
    mic.word = static_cast<std::int32_t>(word);
    mic.NextAddr = static_cast<std::int32_t>(next);
    return machinePicture(machine, phase);
}

TEST(MachinePicture, EachFieldOfTheControlWordLightsItsPart) {
    struct Case {
        const char* what;
        std::uint32_t word;
        int bSource;
        std::uint32_t cBits;
        bool read, write, fetch, jmpc, jamn, jamz, sll8, sra1;
    };
    const Case cases[] = {
        {"nothing", 0x0000000, -1, 0, false, false, false, false, false, false, false, false},
        {"MDR on B", 0x0000001, kMDR, 0, false, false, false, false, false, false, false, false},
        {"OPC on B", 0x0000007, kOPC, 0, false, false, false, false, false, false, false, false},
        {"MBR on B", 0x0000009, kMBR, 0, false, false, false, false, false, false, false, false},
        {"MBRU on B", 0x000000A, kMBR, 0, false, false, false, false, false, false, false, false},
        {"unused B code", 0x000000F, -1, 0, false, false, false, false, false, false, false, false},
        {"fetch", 0x0000010, -1, 0, false, false, true, false, false, false, false, false},
        {"rd", 0x0000020, -1, 0, true, false, false, false, false, false, false, false},
        {"wr", 0x0000040, -1, 0, false, true, false, false, false, false, false, false},
        {"C writes MAR", 0x0000080, -1, 0x001, false, false, false, false, false, false, false,
         false},
        {"C writes H", 0x0008000, -1, 0x100, false, false, false, false, false, false, false,
         false},
        {"SRA1", 0x0400000, -1, 0, false, false, false, false, false, false, false, true},
        {"SLL8", 0x0800000, -1, 0, false, false, false, false, false, false, true, false},
        {"JAMZ", 0x1000000, -1, 0, false, false, false, false, false, true, false, false},
        {"JAMN", 0x2000000, -1, 0, false, false, false, false, true, false, false, false},
        {"JMPC", 0x4000000, -1, 0, false, false, false, true, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MachinePicture p = pictureOf(c.word);
        EXPECT_EQ(p.bSource, c.bSource);
        EXPECT_EQ(p.cBits, c.cBits);
        EXPECT_EQ(p.read, c.read);
        EXPECT_EQ(p.write, c.write);
        EXPECT_EQ(p.fetch, c.fetch);
        EXPECT_EQ(p.jmpc, c.jmpc);
        EXPECT_EQ(p.jamn, c.jamn);
        EXPECT_EQ(p.jamz, c.jamz);
        EXPECT_EQ(p.sll8, c.sll8);
        EXPECT_EQ(p.sra1, c.sra1);
    }
}

TEST(MachinePicture, MirBitsAreNextAddressThenTheControlWordMostSignificantFirst) {
    EXPECT_EQ(pictureOf(0x4000001, 0x1FF).mirBits, "111111111"
                                                   "100"
                                                   "00000000"
                                                   "000000000"
                                                   "000"
                                                   "0001");
    // An address never loaded reads as an empty word, and nothing is added to the store.
    ControlPath machine;
    machine.lastMPC = 300;
    EXPECT_EQ(machinePicture(machine, SubCyclePhase::Execute).mirBits, std::string(36, '0'));
    EXPECT_EQ(machine.controlStore.peek(300), nullptr);
}

TEST(MachinePicture, TheAluTextNamesTheFunctionAndItsResult) {
    ControlPath machine;
    machine.aluFunction = 0x3C; // F0 F1 ENA ENB: the sum
    machine.C = -5;
    EXPECT_EQ(machinePicture(machine, SubCyclePhase::Alu).aluText, "H + B = -5");
    const MachinePicture shown = machinePicture(machine, SubCyclePhase::BBus);
    EXPECT_TRUE(shown.shows(SubCyclePhase::BBus));
    EXPECT_FALSE(shown.shows(SubCyclePhase::Alu));
}

} // namespace
} // namespace tessaro
