#pragma once

#include "core/memory.h"
#include "machine/mic.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tessaro {

/// One record of a control store as the micro-assembler makes it and its file holds it: the
/// address (outside 0..511 when the source is too long for the store), NextAddr, the control
/// word and the comment the listing shows.
struct ControlStoreRecord {
    std::int32_t address = 0;
    std::int32_t nextAddr = 0;
    std::int32_t word = 0;
    std::string comment;

    friend bool operator==(const ControlStoreRecord&, const ControlStoreRecord&) = default;
};

/// A control store's records in the order they are written; of several records for one
/// address the first is the one a machine keeps.
using ControlStoreRecords = std::vector<ControlStoreRecord>;

/// The bytes of the control-store file that holds records, one writeControlStoreRecord line
/// each.
std::string controlStoreText(const ControlStoreRecords& records);

/// Writes records as the control-store file at path. A plain file there is deleted first, so
/// that a failed write leaves none behind; a device or a pipe is written to. False when the
/// file cannot be created or not every byte reached it (a full disk).
bool writeControlStoreFile(const std::string& path, const ControlStoreRecords& records);

/// Adds records to store exactly as reading their file would: the first record for an address
/// wins over later ones and over entries already in the store, addresses outside 0..511 are
/// dropped, NextAddr keeps its low 9 bits and the control word its low 27 bits, the comment
/// at most 69 bytes (line breaks and NUL bytes in it read as blanks).
void addControlStoreRecords(const ControlStoreRecords& records, Memory<std::uint32_t, Mic>& store);

/// Writes one control-store record: address, blank, NextAddr, blank, control word, tab,
/// comment, line feed (decimal numbers). Line breaks and NUL bytes in the comment become
/// blanks, so that one record stays one line.
void writeControlStoreRecord(std::FILE* out, int address, int nextAddr, std::int32_t word,
                             const std::string& comment);

/// Adds the records of a control-store file to store, under addControlStoreRecords' rules. A
/// file that cannot be opened ends the process.
void readControlStoreFile(const std::string& path, Memory<std::uint32_t, Mic>& store);

} // namespace tessaro
