#pragma once

#include <cstdint>
#include <functional>

/// The program's input and output as the world outside the machine sees them: IN asks an input
/// supplier for each word it reads, and OUT hands each character it writes to an output sink.
/// The machine knows them only as two memory words (memory_map::kInputWord and
/// kLastOutputWord), so they are noticed where the memory interface touches those words, at no
/// cost to the micro-instructions that do not.
namespace tessaro {

/// What an input supplier answers when a program executes IN.
struct InputAnswer {
    enum class Kind {
        Word,          ///< IN reads word
        NoneAvailable, ///< nothing is left to read: IN reads 0, as from an input that has ended
        Failed,        ///< no word can be given (the supplier has said why): the run stops
    };
    Kind kind = Kind::NoneAvailable;
    std::int32_t word = 0;
};

/// Asked for a word each time a program executes IN.
using InputSupplier = std::function<InputAnswer()>;
/// Given each character OUT writes; false when it cannot take it (the output failed), which
/// stops the run.
using OutputSink = std::function<bool(std::uint8_t)>;

/// Told by the memory interface when a micro-instruction touches an I/O word. Either call may
/// answer false, and the stepping then ends after that micro-instruction.
class IoWordListener {
public:
    /// A micro-instruction is about to read the input word: word is its slot, which may be
    /// given a new value first.
    virtual bool beforeInputRead(std::int32_t& word) = 0;
    /// The instruction that wrote value into the newest output word has ended (the machine
    /// stands at the main loop or the HALT address): an instruction cut short gives nothing.
    virtual bool afterOutputWrite(std::int32_t value) = 0;

protected:
    IoWordListener() = default;
    IoWordListener(const IoWordListener&) = default;
    IoWordListener& operator=(const IoWordListener&) = default;
    ~IoWordListener() = default;
};

} // namespace tessaro
