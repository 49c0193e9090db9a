#pragma once

#include "ijvm/records.h"
#include "presentation/source_offsets.h"

#include <string>
#include <vector>

namespace tessaro {

/// One of the assembler's errors as an error list shows it: its message, the line it is on
/// and the characters a click on it selects in the editor.
struct ListedError {
    std::string message;
    int line = 0;      ///< 1-based
    CharSpan selected; ///< in the editor's text
};

/// The assembler's errors, in their order, placed in the source the offsets were built from.
std::vector<ListedError> errorList(const List<AssemblyError>& errors, const SourceOffsets& offsets);

} // namespace tessaro
