#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

namespace tessaro {

/// The changes of the word memory in the order they were made, each with what it replaced, so
/// that the memory can be put back by undoing the newest ones: a word written (with its value
/// before) or a word created (by a read or write of an address never used). Positions are
/// counted from the first change ever noted, and the oldest changes may be forgotten.
class MemoryUndoLog {
public:
    struct Change {
        std::uint32_t address = 0;
        std::int32_t before = 0;
        bool created = false;
    };

    void noteWrite(std::uint32_t address, std::int32_t before) {
        // A write that has just created its word is undone with the word, unless the memory
        // may be put back to the state between the two.
        if (end() > m_sealed && m_changes.back().created && m_changes.back().address == address) {
            return;
        }
        m_changes.push_back({address, before, false});
    }
    void noteCreated(std::uint32_t address) { m_changes.push_back({address, 0, true}); }

    /// The memory may be put back to its present state: the next change is noted whole.
    void seal() { m_sealed = end(); }

    /// Position after the newest change.
    std::int64_t end() const { return m_forgotten + static_cast<std::int64_t>(m_changes.size()); }
    /// Position of the oldest change kept.
    std::int64_t begin() const { return m_forgotten; }
    /// The newest change, taken out of the log (the log must not be empty).
    Change takeNewest() {
        const Change change = m_changes.back();
        m_changes.pop_back();
        return change;
    }
    /// Forgets the changes before position.
    void forgetBefore(std::int64_t position) {
        while (m_forgotten < position && !m_changes.empty()) {
            m_changes.pop_front();
            ++m_forgotten;
        }
    }
    void clear() {
        m_changes.clear();
        m_changes.shrink_to_fit();
        m_forgotten = 0;
        m_sealed = 0;
    }
    /// What the kept changes occupy, in bytes.
    std::size_t bytes() const { return m_changes.size() * sizeof(Change); }

private:
    std::deque<Change> m_changes;
    std::int64_t m_forgotten = 0;
    std::int64_t m_sealed = 0; // changes before it may be a state to go back to
};

} // namespace tessaro
