#include "ijvm/stack_effect.h"

#include "core/language.h"

#include <algorithm>
#include <array>

namespace tessaro {

namespace {

bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isNameChar(char c) {
    return isNameStart(c) || (c >= '0' && c <= '9');
}

std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> found;
    std::size_t start = text.find_first_not_of(" \t");
    while (start != std::string_view::npos) {
        const std::size_t end = std::min(text.find_first_of(" \t", start), text.size());
        found.emplace_back(text.substr(start, end - start));
        start = text.find_first_not_of(" \t", end);
    }
    return found;
}

// Binding strength of a binary operator, as in C: a higher number binds tighter.
int precedence(const std::string& op) {
    static const std::pair<const char*, int> table[] = {{"|", 1},  {"^", 2},   {"&", 3}, {"<<", 4},
                                                        {">>", 4}, {">>>", 4}, {"+", 5}, {"-", 5},
                                                        {"*", 6},  {"/", 6},   {"%", 6}};
    for (const auto& [text, level] : table) {
        if (op == text) {
            return level;
        }
    }
    return 0;
}

} // namespace

class StackEffect::Parser {
public:
    Parser(std::string_view text, StackEffect& effect, std::vector<std::string> names)
        : m_text(text), m_effect(effect), m_names(std::move(names)) {}

    // The pushed expressions, one after another: an expression ends where the next token
    // cannot continue it, so "a b" is two words and "a -b" one difference.
    bool parseAll(std::string& error) {
        skipBlanks();
        while (m_at < m_text.size()) {
            const int root = expression(1);
            if (root < 0) {
                error = m_error;
                return false;
            }
            m_effect.m_pushed.push_back(root);
            skipBlanks();
        }
        return true;
    }

private:
    void skipBlanks() {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t')) {
            ++m_at;
        }
    }

    std::string peekOperator() {
        skipBlanks();
        for (const char* op : {">>>", "<<", ">>", "+", "-", "*", "/", "%", "&", "|", "^"}) {
            if (m_text.substr(m_at, std::string_view(op).size()) == op) {
                return op;
            }
        }
        return {};
    }

    int add(Node node) {
        m_effect.m_nodes.push_back(std::move(node));
        return static_cast<int>(m_effect.m_nodes.size()) - 1;
    }

    int fail(const std::string& why) {
        m_error = why;
        return -1;
    }

    int expression(int minLevel) {
        int left = primary();
        while (left >= 0) {
            const std::string op = peekOperator();
            const int level = precedence(op);
            if (level < minLevel) {
                break;
            }
            m_at += op.size();
            const int right = expression(level + 1);
            if (right < 0) {
                return -1;
            }
            Node node;
            node.kind = 'b';
            node.op = op;
            node.left = left;
            node.right = right;
            left = add(node);
        }
        return left;
    }

    int primary() {
        skipBlanks();
        if (m_at >= m_text.size()) {
            return fail(localized(MessageId::EffectEndsEarly));
        }
        const char c = m_text[m_at];
        if (c == '(') {
            ++m_at;
            const int inner = expression(1);
            skipBlanks();
            if (inner < 0) {
                return -1;
            }
            if (m_at >= m_text.size() || m_text[m_at] != ')') {
                return fail(localized(MessageId::SetUnclosedParenthesis));
            }
            ++m_at;
            return inner;
        }
        if (c == '-' || c == '~') {
            ++m_at;
            const int operand = primary();
            if (operand < 0) {
                return -1;
            }
            Node node;
            node.kind = 'u';
            node.op = std::string(1, c);
            node.left = operand;
            return add(node);
        }
        if (c >= '0' && c <= '9') {
            return number();
        }
        if (isNameStart(c)) {
            const std::size_t start = m_at;
            while (m_at < m_text.size() && isNameChar(m_text[m_at])) {
                ++m_at;
            }
            Node node;
            node.kind = 'v';
            node.name = std::string(m_text.substr(start, m_at - start));
            if (std::find(m_names.begin(), m_names.end(), node.name) == m_names.end()) {
                return fail(localized(MessageId::EffectUnknownName, {node.name}));
            }
            return add(node);
        }
        return fail(localized(MessageId::EffectUnexpected, {std::string(1, c)}));
    }

    int number() {
        const std::size_t start = m_at;
        const bool hex = m_text.substr(m_at, 2) == "0x" || m_text.substr(m_at, 2) == "0X";
        m_at += hex ? 2 : 0;
        const std::size_t digitsStart = m_at;
        std::uint64_t value = 0;
        while (m_at < m_text.size() && isNameChar(m_text[m_at])) {
            const char d = m_text[m_at];
            const int digit = d >= '0' && d <= '9'          ? d - '0'
                              : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                              : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                            : -1;
            if (digit < 0) {
                return fail(localized(MessageId::EffectBadNumberText,
                                      {m_text.substr(start, m_at - start + 1)}));
            }
            value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
            if (value > 0xFFFFFFFFu) {
                return fail(localized(MessageId::EffectNumberTooLarge));
            }
            ++m_at;
        }
        if (m_at == digitsStart) {
            return fail(localized(MessageId::EffectBadNumber));
        }
        Node node;
        node.kind = 'n';
        node.value = static_cast<std::uint32_t>(value);
        return add(node);
    }

    std::string_view m_text;
    StackEffect& m_effect;
    std::vector<std::string> m_names;
    std::size_t m_at = 0;
    std::string m_error;
};

std::optional<StackEffect> StackEffect::parse(std::string_view text,
                                              const std::vector<std::string>& operandNames,
                                              std::string& error) {
    const std::size_t separator = text.find("--");
    if (separator == std::string_view::npos) {
        error = localized(MessageId::EffectMissingDashes);
        return std::nullopt;
    }
    StackEffect effect;
    effect.m_popped = words(text.substr(0, separator));
    std::vector<std::string> names = operandNames;
    for (const std::string& name : effect.m_popped) {
        if (!isNameStart(name[0]) ||
            !std::all_of(name.begin(), name.end(), [](char c) { return isNameChar(c); })) {
            error = localized(MessageId::EffectNotAName, {name});
            return std::nullopt;
        }
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            error = localized(MessageId::EffectNameTwice, {name});
            return std::nullopt;
        }
        names.push_back(name);
    }
    Parser parser(text.substr(separator + 2), effect, names);
    if (!parser.parseAll(error)) {
        return std::nullopt;
    }
    return effect;
}

std::optional<std::vector<std::int32_t>>
StackEffect::apply(const std::map<std::string, std::int32_t>& values) const {
    std::vector<std::int32_t> pushed;
    for (const int root : m_pushed) {
        const std::optional<std::uint32_t> value = evaluate(root, values);
        if (!value) {
            return std::nullopt;
        }
        pushed.push_back(static_cast<std::int32_t>(*value));
    }
    return pushed;
}

std::optional<std::uint32_t>
StackEffect::evaluate(int index, const std::map<std::string, std::int32_t>& values) const {
    const Node& node = m_nodes[static_cast<std::size_t>(index)];
    if (node.kind == 'n') {
        return node.value;
    }
    if (node.kind == 'v') {
        const auto found = values.find(node.name);
        return static_cast<std::uint32_t>(found != values.end() ? found->second : 0);
    }
    const std::optional<std::uint32_t> a = evaluate(node.left, values);
    if (!a) {
        return std::nullopt;
    }
    if (node.kind == 'u') {
        return node.op == "-" ? 0u - *a : ~*a;
    }
    const std::optional<std::uint32_t> b = evaluate(node.right, values);
    if (!b) {
        return std::nullopt;
    }
    const auto sa = static_cast<std::int32_t>(*a);
    const auto sb = static_cast<std::int32_t>(*b);
    const std::uint32_t shift = *b & 31u; // a shift counts modulo the word's 32 bits
    const std::string& op = node.op;
    if (op == "/" || op == "%") {
        if (sb == 0) {
            return std::nullopt;
        }
        // The one quotient that does not fit wraps, and its remainder is 0.
        if (sb == -1) {
            return op == "/" ? 0u - *a : 0u;
        }
        return static_cast<std::uint32_t>(op == "/" ? sa / sb : sa % sb);
    }
    if (op == "+") {
        return *a + *b;
    }
    if (op == "-") {
        return *a - *b;
    }
    if (op == "*") {
        return *a * *b;
    }
    if (op == "&") {
        return *a & *b;
    }
    if (op == "|") {
        return *a | *b;
    }
    if (op == "^") {
        return *a ^ *b;
    }
    if (op == "<<") {
        return *a << shift;
    }
    if (op == ">>") {
        return static_cast<std::uint32_t>(sa >> shift);
    }
    return *a >> shift; // ">>>"
}

} // namespace tessaro
