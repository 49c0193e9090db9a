#pragma once

#include "core/memory.h"
#include "machine/mic.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace tessaro {

/// Writes one control-store record: address, blank, NextAddr, blank, control word, tab,
/// comment, line feed (decimal numbers). Line breaks and NUL bytes in the comment become
/// blanks, so that one record stays one line.
void writeControlStoreRecord(std::FILE* out, int address, int nextAddr, std::int32_t word,
                             const std::string& comment);

/// Adds the records of a control-store file to store; the first record for an address wins
/// over later ones and over entries already in the store. Records for addresses outside
/// 0..511 are dropped; NextAddr keeps its low 9 bits and the control word its low 27 bits;
/// the comment keeps at most 69 bytes. A file that cannot be opened ends the process.
void readControlStoreFile(const std::string& path, Memory<std::uint32_t, Mic>& store);

} // namespace tessaro
