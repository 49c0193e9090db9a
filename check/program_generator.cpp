#include "check/program_generator.h"

#include "core/uniform_draw.h"

#include <limits>

namespace tessaro {

namespace {

constexpr int kMaxMethods = 3;
constexpr int kLoopCounters = 2; // locals c0, c1 count the loops of nesting level 0 and 1

} // namespace

int ProgramGenerator::pick(int low, int high) {
    return drawBetween(m_random, low, high);
}

bool ProgramGenerator::chance(int percent) {
    return pick(1, 100) <= percent;
}

void ProgramGenerator::emit(const std::string& line) {
    m_text += "    " + line + "\n";
    --m_budget;
}

// A parameter or an ordinary local of the current method (never a loop counter, so that a
// statement cannot make a loop run away).
std::string ProgramGenerator::local() {
    const int choices = m_params + m_locals;
    if (choices == 0) {
        return "v0";
    }
    const int k = pick(0, choices - 1);
    return k < m_params ? "p" + std::to_string(k) : "v" + std::to_string(k - m_params);
}

std::string ProgramGenerator::label() {
    return "L" + std::to_string(m_labels++);
}

// Code that leaves exactly one more word on the stack.
void ProgramGenerator::expression(int depth) {
    const int kind = (depth > 3 || m_budget < 0) ? pick(0, 3) : pick(0, 11);
    switch (kind) {
    case 0:
        emit("BIPUSH " + std::to_string(pick(-128, 127)));
        break;
    case 1:
        emit("ILOAD " + local());
        break;
    case 2:
        emit("LDCW k" + std::to_string(pick(0, m_constants - 1)));
        break;
    case 3:
        emit(chance(50) ? "IN" : "WIDE ILOAD " + local());
        break;
    case 4:
    case 5:
    case 6: {
        static const char* const kOps[] = {"IADD", "ISUB", "IAND", "IOR"};
        expression(depth + 1);
        expression(depth + 1);
        emit(kOps[pick(0, 3)]);
        break;
    }
    case 7: // x, y SWAP ISUB computes y - x
        expression(depth + 1);
        expression(depth + 1);
        emit("SWAP");
        emit("ISUB");
        break;
    case 8: // x DUP IADD doubles
        expression(depth + 1);
        emit("DUP");
        emit("IADD");
        break;
    case 9: // x y POP leaves x
        expression(depth + 1);
        expression(depth + 1);
        emit("POP");
        break;
    default: { // a call of an earlier method, or a plain constant in the first method
        if (m_method == 0) {
            emit("BIPUSH " + std::to_string(pick(-128, 127)));
            break;
        }
        const int callee = pick(0, m_method - 1);
        emit("BIPUSH " + std::to_string(pick(-5, 5))); // object reference
        for (int i = 0; i < m_shapes[callee].params; ++i) {
            expression(depth + 1);
        }
        emit("INVOKEVIRTUAL m" + std::to_string(callee));
        break;
    }
    }
}

// Code that leaves the stack as it found it.
void ProgramGenerator::statement(int depth) {
    const int kind = (depth > 2 || m_budget < 0) ? pick(0, 2) : pick(0, 8);
    switch (kind) {
    case 0:
        expression(depth);
        emit(chance(50) ? "ISTORE " + local() : "WIDE ISTORE " + local());
        break;
    case 1:
        expression(depth);
        emit(chance(70) ? "OUT" : "POP");
        break;
    case 2:
        emit(chance(50) ? "IINC " + local() + " " + std::to_string(pick(-128, 127)) : "NOP");
        break;
    case 3:
    case 4: { // a forward branch over a statement
        const std::string skip = label();
        const int test = pick(0, 3);
        if (test == 0) {
            emit("GOTO " + skip);
        } else if (test == 3) {
            expression(depth + 1);
            expression(depth + 1);
            emit("IFICMPEQ " + skip);
        } else {
            expression(depth + 1);
            emit((test == 1 ? "IFLT " : "IFEQ ") + skip);
        }
        statement(depth + 1);
        m_text += skip + ":\n";
        emit("NOP");
        break;
    }
    case 5:
    case 6: { // a counted loop: the body runs 1 to 3 times, the exit test jumps backwards
        if (m_loopDepth >= kLoopCounters) {
            emit("NOP");
            break;
        }
        const std::string counter = "c" + std::to_string(m_loopDepth);
        const std::string top = label();
        const std::string done = label();
        emit("BIPUSH " + std::to_string(pick(1, 3)));
        emit("ISTORE " + counter);
        m_text += top + ":\n";
        ++m_loopDepth;
        statement(depth + 1);
        statement(depth + 1);
        --m_loopDepth;
        emit("IINC " + counter + " -1");
        emit("ILOAD " + counter);
        emit("IFEQ " + done);
        emit("GOTO " + top);
        m_text += done + ":\n";
        emit("NOP");
        break;
    }
    default:
        statement(depth + 1);
        statement(depth + 1);
        break;
    }
}

std::string ProgramGenerator::next() {
    m_text = "// generated\n.constant\n";
    m_constants = pick(1, 4);
    for (int i = 0; i < m_constants; ++i) {
        m_text += "    k" + std::to_string(i) + " " +
                  std::to_string(drawBetween(m_random, std::numeric_limits<std::int32_t>::min(),
                                             std::numeric_limits<std::int32_t>::max())) +
                  "\n";
    }
    m_text += ".end-constant\n";
    const int methods = pick(0, kMaxMethods);
    m_labels = 0;
    for (int m = 0; m <= methods; ++m) {
        const bool isMain = m == methods;
        m_method = m;
        m_params = isMain ? 0 : pick(0, 3);
        m_locals = pick(1, 3); // at least one: statements store into a local
        if (!isMain) {
            m_shapes[m] = {m_params, m_locals};
        }
        m_loopDepth = 0;
        m_budget = pick(5, 40);
        if (isMain) {
            m_text += ".main\n";
        } else {
            m_text += ".method m" + std::to_string(m) + "(";
            for (int p = 0; p < m_params; ++p) {
                m_text += (p > 0 ? ", p" : "p") + std::to_string(p);
            }
            m_text += ")\n";
        }
        m_text += ".var\n   ";
        for (int v = 0; v < m_locals; ++v) {
            m_text += " v" + std::to_string(v);
        }
        for (int c = 0; c < kLoopCounters; ++c) {
            m_text += " c" + std::to_string(c);
        }
        m_text += "\n.end-var\n";
        // Locals start with known values (a fresh frame may lie over words of an old one).
        for (int v = 0; v < m_locals; ++v) {
            emit("BIPUSH " + std::to_string(pick(-128, 127)));
            emit("ISTORE v" + std::to_string(v));
        }
        while (m_budget > 0) {
            statement(0);
        }
        if (isMain) {
            emit("HALT");
            m_text += ".end-main\n";
        } else {
            expression(0);
            emit("IRETURN");
            m_text += ".end-method\n";
        }
    }
    return m_text;
}

} // namespace tessaro
