#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

/// What an instruction does to the stack, as written in an instruction-set file:
/// "a b -- a*b" pops a and b (b the top) and pushes their product. Expressions use integers,
/// + - * / % & | ^ << >> >>>, unary - and ~, and parentheses, in 32-bit two's complement.
class StackEffect {
public:
    /// Reads the text between the parentheses. names are the operand names the expressions
    /// may use besides the popped words. Nothing, with why in error, when it is malformed.
    static std::optional<StackEffect>
    parse(std::string_view text, const std::vector<std::string>& operandNames, std::string& error);

    /// Popped words, the top last.
    const std::vector<std::string>& popped() const { return m_popped; }
    /// Number of words pushed.
    std::size_t pushedCount() const { return m_pushed.size(); }

    /// The pushed words, the top last, for the given values of the popped words and operands.
    /// Nothing when an expression divides by zero.
    std::optional<std::vector<std::int32_t>>
    apply(const std::map<std::string, std::int32_t>& values) const;

private:
    struct Node {
        char kind = 'n';         // 'n' number, 'v' name, 'u' unary, 'b' binary
        std::string op;          // operator of 'u' and 'b'
        std::uint32_t value = 0; // of 'n'
        std::string name;        // of 'v'
        int left = -1;           // operand of 'u'; left of 'b'
        int right = -1;          // right of 'b'
    };
    class Parser;

    std::optional<std::uint32_t> evaluate(int node,
                                          const std::map<std::string, std::int32_t>& values) const;

    std::vector<std::string> m_popped;
    std::vector<Node> m_nodes;
    std::vector<int> m_pushed; // root node of each pushed expression
};

} // namespace tessaro
