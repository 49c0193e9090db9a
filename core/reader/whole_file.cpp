#include "core/reader/whole_file.h"

#include "core/language.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace tessaro {

std::string WholeFile::reason() const {
    switch (failure) {
    case ReadFailure::None:
        return {};
    case ReadFailure::Directory:
        return localized(MessageId::ReadIsDirectory);
    case ReadFailure::TooLarge:
        return localized(MessageId::ReadTooLarge,
                         {std::to_string(kMaxSourceBytes / (1024 * 1024))});
    case ReadFailure::CannotOpen:
    case ReadFailure::ReadError:
        break;
    }
    return errorNumber != 0 ? std::string(std::strerror(errorNumber))
                            : localized(MessageId::ReadFailed);
}

WholeFile readWholeFile(const std::string& path, std::size_t limit) {
    WholeFile result;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        result.failure = ReadFailure::Directory;
        return result;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (file == nullptr) {
        result.failure = ReadFailure::CannotOpen;
        result.errorNumber = errno;
        return result;
    }
    char buffer[65536];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        if (got == 0) {
            break;
        }
        if (result.text.size() + got > limit) {
            return {.text = {}, .failure = ReadFailure::TooLarge, .errorNumber = 0};
        }
        result.text.append(buffer, got);
    }
    if (std::ferror(file.get()) != 0) {
        result.failure = ReadFailure::ReadError;
        result.errorNumber = errno;
        result.text.clear();
    }
    return result;
}

} // namespace tessaro
