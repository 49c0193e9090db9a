#pragma once

#include <cstdint>
#include <string>

namespace tessaro {

/// Everything a program has printed with OUT since the last load or reset, for a console: the
/// output window in memory keeps only the last five characters. Beyond kLimit bytes the older
/// half is dropped, so that an endless printer cannot exhaust memory.
class PrintedLog {
public:
    static constexpr std::size_t kLimit = std::size_t{2} << 20;

    void add(char ch) {
        if (m_text.size() >= kLimit) {
            m_dropped += static_cast<std::int64_t>(m_text.size() / 2);
            m_text.erase(0, m_text.size() / 2);
        }
        m_text.push_back(ch);
    }
    /// Keeps the first total characters ever printed (after going back in time).
    void truncateTo(std::int64_t total) {
        if (total < m_dropped) {
            clear();
        } else if (total - m_dropped < static_cast<std::int64_t>(m_text.size())) {
            m_text.resize(static_cast<std::size_t>(total - m_dropped));
        }
    }
    void clear() {
        m_text.clear();
        m_dropped = 0;
    }
    /// The characters kept, oldest first.
    const std::string& text() const { return m_text; }
    /// Characters printed before the first one kept.
    std::int64_t dropped() const { return m_dropped; }

private:
    std::string m_text;
    std::int64_t m_dropped = 0;
};

} // namespace tessaro
