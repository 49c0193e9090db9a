#pragma once

#include <cstddef>
#include <string>

namespace tessaro {

/// Largest source any front end reads: far above any program or microprogram a person writes,
/// and small enough that reading one can never exhaust memory.
inline constexpr std::size_t kMaxSourceBytes = 64u * 1024u * 1024u;

/// Why a whole-file read failed.
enum class ReadFailure {
    None,       ///< the text was read
    CannotOpen, ///< the file cannot be opened (errorNumber tells why)
    Directory,  ///< the path names a directory
    TooLarge,   ///< the file holds more than the limit
    ReadError,  ///< reading stopped on an error (errorNumber tells why)
};

/// The text of a file, or why there is none.
struct WholeFile {
    std::string text;
    ReadFailure failure = ReadFailure::None;
    int errorNumber = 0; ///< errno of CannotOpen and ReadError

    bool ok() const { return failure == ReadFailure::None; }
    /// What went wrong, as the end of a sentence ("it is a directory"); empty when ok.
    std::string reason() const;
};

/// Reads a file from its start to its end in one pass, at most limit bytes. Any kind of file
/// works (a pipe, a terminal, a device), since nothing seeks or asks the size: a source that
/// never ends stops at the limit.
WholeFile readWholeFile(const std::string& path, std::size_t limit = kMaxSourceBytes);

} // namespace tessaro
