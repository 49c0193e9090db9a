#include "presentation/error_list.h"

namespace tessaro {

std::vector<ListedError> errorList(const List<AssemblyError>& errors,
                                   const SourceOffsets& offsets) {
    std::vector<ListedError> listed;
    for (const AssemblyError& error : errors) {
        listed.push_back({error.message, offsets.line(error.position),
                          offsets.span(error.position, error.length)});
    }
    return listed;
}

} // namespace tessaro
