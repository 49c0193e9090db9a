#include "check/check_programs.h"

#include "core/uniform_draw.h"
#include "ijvm/instruction_set.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tessaro {

namespace {

// Words where an ALU, a sign extension or a byte split most often goes wrong.
constexpr std::array<std::int32_t, 14> kEdgeWords = {0,
                                                     1,
                                                     -1,
                                                     2,
                                                     127,
                                                     -128,
                                                     128,
                                                     -129,
                                                     255,
                                                     256,
                                                     std::numeric_limits<std::int32_t>::max(),
                                                     std::numeric_limits<std::int32_t>::min(),
                                                     0x12345678,
                                                     -0x76543211};
constexpr std::array<std::int32_t, 7> kEdgeBytes = {0, 1, -1, 2, 127, -128, -2};
// One-byte local indexes on both sides of the sign bit; two-byte ones on both sides of 256,
// and one whose high byte is 2 (a routine that jumps on MBR too early shows with it).
constexpr std::array<int, 7> kByteIndexes = {0, 1, 2, 127, 128, 200, 255};
constexpr std::array<int, 7> kWideIndexes = {0, 1, 255, 256, 257, 299, 600};

} // namespace

int CheckProgramWriter::pick(int low, int high) {
    return drawBetween(m_random, low, high);
}

bool CheckProgramWriter::chance(int percent) {
    return pick(1, 100) <= percent;
}

std::int32_t CheckProgramWriter::value() {
    if (m_serial < 2) {
        return pick(1, 9);
    }
    const int kind = pick(0, 9);
    if (kind < 5) {
        return kEdgeWords[static_cast<std::size_t>(pick(0, kEdgeWords.size() - 1))];
    }
    if (kind < 8) {
        return pick(-300, 300);
    }
    return static_cast<std::int32_t>(m_random());
}

std::string CheckProgramWriter::label() {
    return "L" + std::to_string(m_labels++);
}

std::string CheckProgramWriter::constant(std::int32_t v) {
    m_constants.push_back(v);
    return "k" + std::to_string(m_constants.size() - 1);
}

void CheckProgramWriter::emit(const std::string& line) {
    m_body += "    " + line + "\n";
}

void CheckProgramWriter::push(std::int32_t v) {
    if (v >= -128 && v <= 127 && chance(70)) {
        emit("BIPUSH " + std::to_string(v));
    } else {
        emit("LDCW " + constant(v));
    }
}

void CheckProgramWriter::pushByte(std::int32_t v) {
    emit("BIPUSH " + std::to_string(v));
}

int CheckProgramWriter::byteIndex() {
    if (m_serial < 2) {
        return 0;
    }
    return chance(60) ? kByteIndexes[static_cast<std::size_t>(pick(0, kByteIndexes.size() - 1))]
                      : pick(0, 255);
}

int CheckProgramWriter::wideIndex() {
    if (m_serial < 2) {
        return 0;
    }
    return chance(60) ? kWideIndexes[static_cast<std::size_t>(pick(0, kWideIndexes.size() - 1))]
                      : pick(0, 299);
}

std::string CheckProgramWriter::local(int index) {
    m_locals = std::max(m_locals, index + 1);
    return "v" + std::to_string(index);
}

// NOPs between a branch and its target: none, or enough for an offset past 127 (a low byte
// that must not be sign-extended) or past 255 (a high byte other than 0 and 0xFF).
void CheckProgramWriter::padding() {
    if (m_serial < 2) {
        return;
    }
    const int kind = pick(0, 3);
    const int count = kind == 0 ? 0 : kind == 1 ? pick(1, 3) : kind == 2 ? 130 : 260;
    for (int i = 0; i < count; ++i) {
        emit("NOP");
    }
}

// A branch forwards over a few instructions, or backwards: the jump lands before itself and
// leaves through a GOTO, so that taken and not taken both end at the same place.
void CheckProgramWriter::branch(const std::string& mnemonic, bool twoOperands) {
    auto operands = [&] {
        if (mnemonic == "IFLT") {
            // ~v flips the sign of any word, the most negative one included.
            const std::int32_t v = value();
            const bool negative = chance(50);
            push((v < 0) == negative ? v : ~v);
        } else if (mnemonic == "IFEQ") {
            push(chance(50) ? 0 : value());
        } else if (twoOperands) {
            const std::int32_t a = value();
            push(a);
            push(chance(50) ? a : value());
        }
    };
    if (m_serial < 2 || chance(50)) {
        const std::string skip = label();
        operands();
        emit(mnemonic + " " + skip);
        padding();
        push(value());
        emit("POP");
        m_body += skip + ":\n";
        emit("NOP");
        return;
    }
    const std::string back = label();
    const std::string set = label();
    const std::string done = label();
    emit("GOTO " + set);
    m_body += back + ":\n";
    padding();
    emit("GOTO " + done);
    m_body += set + ":\n";
    operands();
    emit(mnemonic + " " + back);
    m_body += done + ":\n";
    emit("NOP");
}

// Sometimes an instruction after one that does not go on (IRETURN, HALT, ERR): it never runs,
// but its opcode is the byte fetched ahead meanwhile, and a routine that dispatches on MBR too
// early goes wrong only when that byte is not 0.
void CheckProgramWriter::neverRun() {
    if (chance(50)) {
        emit(kInstructionSet[static_cast<std::size_t>(pick(0, 7))].display);
    }
}

// A call of a new method from main; nested, the method first calls the method before it.
void CheckProgramWriter::call(bool nested) {
    const int index = static_cast<int>(m_methods.size());
    Method method;
    method.params = m_serial < 2 ? 1 : pick(0, 3);
    // Local counts past 127 and past 511 (a high byte of 2) in a called method's frame too:
    // main's count only follows from the indexes its program happens to use.
    const int kind = pick(0, 9);
    method.locals = m_serial < 2 ? 1 : kind < 8 ? pick(0, 3) : kind == 8 ? 130 : 600;
    m_methods.push_back(method);

    std::string outer;
    outer.swap(m_body);
    for (int l = 0; l < std::min(method.locals, 3); ++l) {
        push(value());
        emit("ISTORE x" + std::to_string(l));
    }
    if (method.locals > 3) {
        push(value());
        emit("ISTORE x" + std::to_string(method.locals - 1));
    }
    if (nested && index > 0) {
        pushByte(value() & 0x7F);
        for (int p = 0; p < m_methods[static_cast<std::size_t>(index - 1)].params; ++p) {
            push(value());
        }
        emit("INVOKEVIRTUAL m" + std::to_string(index - 1));
    } else {
        push(value());
    }
    if (method.params > 0) {
        emit("ILOAD p" + std::to_string(pick(0, method.params - 1)));
        emit("IADD");
    }
    if (method.locals > 0) {
        emit("ILOAD x" + std::to_string(method.locals > 3 ? method.locals - 1 : 0));
        emit("ISUB");
    }
    emit("IRETURN");
    neverRun();
    m_methods.back().body.swap(m_body);
    m_body.swap(outer);

    pushByte(m_serial < 2 ? 0 : static_cast<std::int32_t>(value() & 0x7F));
    for (int p = 0; p < method.params; ++p) {
        push(value());
    }
    emit("INVOKEVIRTUAL m" + std::to_string(index));
    emit("POP");
}

void CheckProgramWriter::exercise(std::uint8_t code) {
    switch (code) {
    case opcode::IADD:
    case opcode::ISUB:
    case opcode::IAND:
    case opcode::IOR:
        push(value());
        push(value());
        emit(findInstruction(code)->display);
        break;
    case opcode::DUP:
        push(value());
        emit("DUP");
        break;
    case opcode::POP:
    case opcode::SWAP:
        push(value());
        push(value());
        emit(code == opcode::POP ? "POP" : "SWAP");
        break;
    case opcode::BIPUSH:
        pushByte(m_serial < 2 ? 5
                 : chance(50) ? kEdgeBytes[static_cast<std::size_t>(pick(0, kEdgeBytes.size() - 1))]
                              : pick(-128, 127));
        break;
    case opcode::ILOAD:
    case opcode::ISTORE: {
        const std::string v = local(byteIndex());
        push(value());
        emit("ISTORE " + v);
        emit("ILOAD " + v);
        break;
    }
    case opcode::WIDE_ILOAD:
    case opcode::WIDE_ISTORE: {
        const int index = wideIndex();
        const std::string v = local(index);
        push(value());
        emit("WIDE ISTORE " + v);
        // Now and then another variable: after the store H holds the index already, and a
        // load that skips building it goes wrong only then.
        emit("WIDE ILOAD " + local(chance(25) ? wideIndex() : index));
        break;
    }
    case opcode::LDCW:
        if (m_serial >= 2 && chance(30)) {
            // A pool index past 255 needs its high byte; past 511 the byte has a second bit.
            const int target = chance(50) ? pick(257, 300) : pick(513, 600);
            while (static_cast<int>(m_constants.size()) < target) {
                m_constants.push_back(static_cast<std::int32_t>(m_random()));
            }
        }
        emit("LDCW " + constant(value()));
        break;
    case opcode::IINC: {
        const std::string v = local(byteIndex());
        push(value());
        emit("ISTORE " + v);
        const int delta = m_serial < 2 ? 3
                          : chance(60)
                              ? kEdgeBytes[static_cast<std::size_t>(pick(0, kEdgeBytes.size() - 1))]
                              : pick(-128, 127);
        emit("IINC " + v + " " + std::to_string(delta));
        emit("ILOAD " + v);
        break;
    }
    case opcode::GOTO:
        branch("GOTO", false);
        break;
    case opcode::IFLT:
    case opcode::IFEQ:
        branch(code == opcode::IFLT ? "IFLT" : "IFEQ", false);
        break;
    case opcode::IFICMPEQ:
        branch("IFICMPEQ", true);
        break;
    case opcode::INVOKEVIRTUAL:
    case opcode::IRETURN:
        call(m_serial >= 2 && chance(50));
        break;
    case opcode::OUT:
        push(m_serial < 2 ? 'A' : value());
        emit("OUT");
        break;
    case opcode::IN: {
        emit("IN");
        // Left on the stack now and then, so that IN is also followed by the program's end.
        const int then = pick(0, 2);
        if (then < 2) {
            emit(then == 0 ? "OUT" : "ISTORE " + local(byteIndex()));
        }
        break;
    }
    default: // NOP, HALT, ERR: the program around them is the test
        emit("NOP");
        break;
    }
}

std::string CheckProgramWriter::methodText(int index) {
    const Method& method = m_methods[static_cast<std::size_t>(index)];
    std::string text = ".method m" + std::to_string(index) + "(";
    for (int p = 0; p < method.params; ++p) {
        text += (p > 0 ? ", p" : "p") + std::to_string(p);
    }
    text += ")\n";
    if (method.locals > 0) {
        text += ".var\n";
        for (int l = 0; l < method.locals; ++l) {
            text += " x" + std::to_string(l);
        }
        text += "\n.end-var\n";
    }
    return text + method.body + ".end-method\n";
}

std::string CheckProgramWriter::write(std::uint8_t code, int serial) {
    m_serial = serial;
    m_body.clear();
    m_constants.clear();
    m_methods.clear();
    m_locals = 0;
    m_labels = 0;
    const int rounds = 1 + std::min(serial / 3, 4);
    for (int r = 0; r < rounds; ++r) {
        exercise(code);
    }
    // ERR also ends some programs, so that IN, say, is sometimes followed by ERR's opcode.
    emit(code == opcode::ERR || (code != opcode::HALT && chance(20)) ? "ERR" : "HALT");
    neverRun();

    std::string text = "// checks " + std::string(findInstruction(code)->display) + "\n";
    if (!m_constants.empty()) {
        text += ".constant\n";
        for (std::size_t i = 0; i < m_constants.size(); ++i) {
            text += "    k" + std::to_string(i) + " " + std::to_string(m_constants[i]) + "\n";
        }
        text += ".end-constant\n";
    }
    text += ".main\n";
    if (m_locals > 0) {
        text += ".var\n";
        for (int v = 0; v < m_locals; ++v) {
            text += " v" + std::to_string(v);
        }
        text += "\n.end-var\n";
    }
    text += m_body + ".end-main\n";
    for (int m = 0; m < static_cast<int>(m_methods.size()); ++m) {
        text += methodText(m);
    }
    return text;
}

} // namespace tessaro
