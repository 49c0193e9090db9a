#include "machine/control_path.h"
#include "machine/control_store_file.h"
#include "tests/machine/control_word.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>

using tessaro::Memory;
using tessaro::Mic;
using tessaro::readControlStoreFile;
using namespace tessaro::testing_support;

namespace {

using Store = Memory<std::uint32_t, Mic>;

Store load(const std::string& text) {
    Store store;
    readControlStoreFile(tessaro::testing::writeScratch(text), store);
    return store;
}

// The entry at address, which must exist.
const Mic& at(const Store& store, std::uint32_t address) {
    const Mic* mic = store.peek(address);
    EXPECT_NE(mic, nullptr) << "no entry at " << address;
    static const Mic none;
    return mic != nullptr ? *mic : none;
}

} // namespace

TEST(ControlStoreFile, FirstRecordForAnAddressWins) {
    Store store = load(record(300, 1, 11, "first") + record(300, 2, 22, "second") +
                       record(7, 3, 33, "seven"));
    EXPECT_EQ(store.elementCount(), 2);
    EXPECT_EQ(at(store, 300).text, "first");
    EXPECT_EQ(at(store, 300).word, 11);
    // Entries already in the store win over the file too.
    readControlStoreFile(
        tessaro::testing::writeScratch(record(7, 9, 99, "again") + record(8, 9, 88, "eight")),
        store);
    EXPECT_EQ(at(store, 7).text, "seven");
    EXPECT_EQ(at(store, 8).text, "eight");
}

TEST(ControlStoreFile, CommentsKeepTheirTextUpTo69Bytes) {
    const std::string longText(100, 'c');
    const Store store = load(record(1, 0, 0, "label: GOTO (MBR);") + record(2, 0, 0, longText) +
                             record(3, 0, 0, std::string(68, 'u') + "\xC3\xA8" + "rest") +
                             "4 0 0\tcrlf text\r\n" + "5 0 0\t\n" + "6 0 0\n" + record(7, 0, 0));
    EXPECT_EQ(at(store, 1).text, "label: GOTO (MBR);");
    EXPECT_EQ(at(store, 2).text, std::string(69, 'c'));
    EXPECT_EQ(at(store, 3).text, std::string(68, 'u'));
    EXPECT_EQ(at(store, 4).text, "crlf text");
    EXPECT_EQ(at(store, 5).text, "");
    // No comment at all: the next line is still the next record.
    EXPECT_EQ(at(store, 6).text, "");
    EXPECT_EQ(at(store, 7).text, "label: X;");
}

TEST(ControlStoreFile, WriterAndReaderAgree) {
    const std::string path = tessaro::testing::writeScratch("");
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    tessaro::writeControlStoreRecord(out, 286, 20, 0, "label: Z = TOS; IF (Z) GOTO T;");
    tessaro::writeControlStoreRecord(out, 5, 30, 18087942, "label: Z = TOS; IF (Z) GOTO T;");
    tessaro::writeControlStoreRecord(out, 9, 511, 134217727, std::string("two\nlines\0x", 11));
    std::fclose(out);
    EXPECT_EQ(tessaro::testing::readFile(path), "286 20 0\tlabel: Z = TOS; IF (Z) GOTO T;\n"
                                                "5 30 18087942\tlabel: Z = TOS; IF (Z) GOTO T;\n"
                                                "9 511 134217727\ttwo lines x\n");
    Store store;
    readControlStoreFile(path, store);
    EXPECT_EQ(store.elementCount(), 3);
    EXPECT_EQ(at(store, 9).text, "two lines x");
    EXPECT_EQ(at(store, 9).NextAddr, 511);
}

TEST(ControlStoreFileBadInput, OutOfRangeNumbersAreKeptWithinTheMachine) {
    const Store store =
        load(record(512, 1, 1) + record(100000, 1, 1) + "-3 1 1\tneg\n" + record(10, 600, 1) +
             "11 -1 -1\tall ones\n" + "12 99999999999999 99999999999999\tbig\n" +
             "13 -99999999999999 -99999999999999\tsmall\n" + "14 -2147483647 2147483647\tends\n");
    EXPECT_EQ(store.elementCount(), 5);
    EXPECT_EQ(store.peek(512), nullptr);
    EXPECT_EQ(store.peek(0xFFFFFFFDu), nullptr);
    EXPECT_EQ(at(store, 10).NextAddr, 600 - 512);
    EXPECT_EQ(at(store, 11).NextAddr, 511);
    EXPECT_EQ(at(store, 11).word, 0x7FFFFFF);
    EXPECT_EQ(at(store, 12).NextAddr, 511);
    EXPECT_EQ(at(store, 12).word, 0x7FFFFFF);
    // Far below the range reads as its lowest value, 0x80000000: no bit within the machine.
    EXPECT_EQ(at(store, 13).NextAddr, 0);
    EXPECT_EQ(at(store, 13).word, 0);
    EXPECT_EQ(at(store, 14).NextAddr, 1);
    EXPECT_EQ(at(store, 14).word, 0x7FFFFFF);
}

TEST(ControlStoreFileBadInput, BrokenLinesCostOnlyThemselves) {
    EXPECT_EQ(load("\n\n  \r\n// nothing here\n/* nor\nhere */\n").elementCount(), 0);
    const Store store =
        load("hello\n" + record(1, 2, 3, "one") + "hello world\n" + record(4, 5, 6, "four") +
             "7 8\n" + record(9, 10, 11, "nine") + "x1 2y 3z\tletters\n" + "13 14 15");
    EXPECT_EQ(at(store, 1).text, "one");
    EXPECT_EQ(at(store, 4).text, "four");
    EXPECT_EQ(at(store, 9).text, "nine");
    EXPECT_EQ(store.peek(7), nullptr);
    // Words read by their leading digits: "x1" is 0, "2y" is 2.
    EXPECT_EQ(at(store, 0).NextAddr, 2);
    EXPECT_EQ(at(store, 0).word, 3);
    // The last record has no line feed; its words still count.
    EXPECT_EQ(at(store, 13).word, 15);
    EXPECT_EQ(store.elementCount(), 5);
    // ...but a last record short of its control word is dropped.
    for (const char* end : {"5 7 ", "5 7 //c", "5 7 /*c"}) {
        EXPECT_EQ(load(end).elementCount(), 0) << end;
    }
}

TEST(ControlStoreFileBadInput, BinaryAndHugeFilesLoadSafely) {
    std::mt19937 random(12345);
    std::string binary;
    for (int i = 0; i < 200000; ++i) {
        binary.push_back(static_cast<char>(random() % 255)); // 0xFF would end it at once
    }
    const Store fromBinary = load(binary);
    EXPECT_LE(fromBinary.elementCount(), 512);

    std::string huge;
    while (huge.size() < 10'000'000) {
        const std::uint32_t address = random() % 2000;
        huge += record(static_cast<int>(address), static_cast<int>(random() % 512),
                       random() % 134217728u, "label: H = H + 1;");
    }
    const Store fromHuge = load(huge);
    EXPECT_EQ(fromHuge.elementCount(), 512);
    // A machine running such a store never leaves its 512 addresses.
    tessaro::ControlPath machine;
    machine.loadControlStore(tessaro::testing::writeScratch(huge));
    machine.methodArea.assign(16, 0x70);
    machine.methodAreaSize = 16;
    machine.runFor(200000);
    EXPECT_LT(static_cast<std::uint32_t>(machine.MPC), 512u);
    EXPECT_EQ(machine.controlStore.elementCount(), 512);
}

TEST(ControlStoreFileBadInput, MissingFileIsFatal) {
    Store store;
    EXPECT_EXIT(
        {
            dup2(2, 1);
            readControlStoreFile(::testing::TempDir() + "no_such_dir/none.bin", store);
        },
        ::testing::ExitedWithCode(1),
        "^Errore nel metodo FileReader::open\\(\\): impossibile aprire il file\n$");
}
