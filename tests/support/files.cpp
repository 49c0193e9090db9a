#include "tests/support/files.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tessaro::testing {

namespace {

// One scratch folder per test process, removed at exit, so parallel test programs never see
// each other's files. A death test's child exits too: only the creator removes the folder.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tessaro-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a scratch folder");
        }
        m_path = pattern;
        m_owner = ::getpid();
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir() {
        if (::getpid() != m_owner) {
            return;
        }
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    pid_t m_owner = 0;
};

} // namespace

std::string scratchPath(const std::string& name) {
    static const ScratchDir dir;
    return (dir.path() / name).string();
}

std::string uniqueName(const std::string& suffix) {
    static int serial = 0;
    return "scratch" + std::to_string(serial++) + suffix;
}

std::string writeScratch(const std::string& bytes, const std::string& suffix) {
    const std::string path = scratchPath(uniqueName(suffix));
    writeFile(path, bytes);
    return path;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string bundledMicroprogramPath() {
    return std::string(TESSARO_SOURCE_DIR) + "/data/velkora.mal";
}

} // namespace tessaro::testing
