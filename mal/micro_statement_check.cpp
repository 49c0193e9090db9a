#include "mal/micro_statement_check.h"

#include "core/language.h"
#include "core/reader/string_tokenizer.h"
#include "machine/registers.h"
#include "mal/micro_instruction_encoder.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace tessaro {

namespace {

struct Word {
    std::string text;
    bool number = false;
};
using Statement = std::vector<Word>;

// The words of a statement besides register names, numbers and operators.
constexpr auto kOtherWords = std::to_array<std::string_view>(
    {"Z", "N", "GOTO", "IF", "ELSE", "RD", "WR", "FETCH", "AND", "OR", "NOT", "SHL", "SHR"});
constexpr std::string_view kOperators = "=+-<>();";

template <std::size_t N>
bool oneOf(const std::array<std::string_view, N>& names, std::string_view text) {
    return std::find(names.begin(), names.end(), text) != names.end();
}

bool isBSource(const Word& word) {
    return !word.number && register_file::bSourceNamed(word.text) != nullptr;
}
// A register the C bus writes, or a flag an ALU result sets.
bool isDestination(std::string_view text) {
    const register_file::Register* reg = register_file::registerNamed(text);
    return text == "Z" || text == "N" || (reg != nullptr && reg->cBit >= 0);
}
bool isH(const Word& word) {
    return word.text == "H";
}
bool isKnown(const Word& word) {
    if (word.number) {
        return true;
    }
    if (word.text.size() == 1 && kOperators.find(word.text[0]) != std::string_view::npos) {
        return true;
    }
    return isBSource(word) || register_file::registerNamed(word.text) != nullptr ||
           oneOf(kOtherWords, word.text);
}

std::string joined(const Statement& words) {
    std::string text;
    for (const Word& word : words) {
        text += text.empty() ? "" : " ";
        text += word.text;
    }
    return text;
}

// One operand and one value of the ALU: x op y with x, y each H or a B source.
bool isAluPair(const Word& left, std::string_view op, const Word& right) {
    const bool hb = isH(left) && isBSource(right);
    const bool bh = isBSource(left) && isH(right);
    if (op == "+") {
        return hb || bh || ((isH(left) || isBSource(left)) && right.text == "1");
    }
    if (op == "-") {
        return isBSource(left) && (isH(right) || right.text == "1");
    }
    return (op == "AND" || op == "OR") && (hb || bh);
}

bool isAluExpression(const Statement& e, bool assigned) {
    switch (e.size()) {
    case 1:
        return assigned && (isH(e[0]) || isBSource(e[0]) || e[0].text == "0" || e[0].text == "1");
    case 2:
        return (assigned && e[0].text == "-" && (isH(e[1]) || e[1].text == "1")) ||
               (e[0].text == "NOT" && isH(e[1]));
    case 3:
        return isAluPair(e[0], e[1].text, e[2]);
    case 4: {
        const bool shifted = isH(e[0]) || isBSource(e[0]);
        return shifted && ((e[1].text == "<" && e[2].text == "<" && e[3].text == "8") ||
                           (e[1].text == ">" && e[2].text == ">" && e[3].text == "1"));
    }
    case 5:
        return e[1].text == "+" && e[3].text == "+" && e[4].text == "1" &&
               ((isH(e[0]) && isBSource(e[2])) || (isBSource(e[0]) && isH(e[2])));
    default:
        return false;
    }
}

// A number the ALU cannot make, other than a shift count.
const Word* strangeConstant(const Statement& e) {
    for (std::size_t k = 0; k < e.size(); ++k) {
        const bool count = k >= 2 && (e[k - 1].text == "<" || e[k - 1].text == ">");
        if (e[k].number && e[k].text != "0" && e[k].text != "1" && !count) {
            return &e[k];
        }
    }
    return nullptr;
}

// A register or keyword that the expression cannot use as an operand.
const Word* misplacedOperand(const Statement& e) {
    for (const Word& word : e) {
        if (!word.number && isKnown(word) && word.text.size() > 1 && !isBSource(word) &&
            word.text != "AND" && word.text != "OR" && word.text != "NOT") {
            return &word;
        }
        if (word.text == "Z" || word.text == "N") {
            return &word;
        }
    }
    return nullptr;
}

std::optional<std::string> statementProblem(const Statement& statement) {
    if (statement.empty()) {
        return std::nullopt;
    }
    const std::string& first = statement.front().text;
    if (first == "GOTO" || first == "IF" || first == "ELSE") {
        return std::nullopt;
    }
    for (const Word& word : statement) {
        if (!isKnown(word)) {
            return localized(MessageId::MalUnknownWord, {word.text});
        }
    }
    // D1 = D2 = ... = expression
    std::vector<Statement> parts(1);
    for (const Word& word : statement) {
        if (word.text == "=") {
            parts.emplace_back();
        } else {
            parts.back().push_back(word);
        }
    }
    const Statement& expression = parts.back();
    for (std::size_t k = 0; k + 1 < parts.size(); ++k) {
        if (parts[k].size() != 1) {
            return localized(MessageId::MalIncomplete, {joined(statement)});
        }
        if (!isDestination(parts[k][0].text)) {
            return localized(MessageId::MalMisplaced, {parts[k][0].text});
        }
    }
    if (expression.empty()) {
        return localized(MessageId::MalIncomplete, {joined(statement)});
    }
    if (isAluExpression(expression, parts.size() > 1)) {
        return std::nullopt;
    }
    if (const Word* constant = strangeConstant(expression)) {
        return localized(MessageId::MalBadConstant, {constant->text});
    }
    if (const Word* operand = misplacedOperand(expression)) {
        return localized(MessageId::MalMisplaced, {operand->text});
    }
    if (parts.size() == 1 && expression.size() == 1) {
        return localized(MessageId::MalIncomplete, {joined(statement)});
    }
    return localized(MessageId::MalAluCannotCompute, {joined(expression)});
}

} // namespace

std::optional<std::string> instructionProblem(const std::string& instruction) {
    std::vector<Statement> statements(1);
    StringTokenizer tokenizer(instruction, MicroInstructionEncoder::kDelimiters);
    for (const TokenElem& elem : tokenizer) {
        const std::string& text = elem.text;
        if (text == "SHL" || text == "SHR" || text == "RD" || text == "WR" || text == "FETCH") {
            continue; // these words only add their bit, wherever they stand
        }
        if (text == ";" ||
            ((text == "GOTO" || text == "IF") && !statements.back().empty() &&
             statements.back().front().text != "IF" && statements.back().front().text != "ELSE")) {
            statements.emplace_back();
        }
        if (text != ";") {
            statements.back().push_back({text, elem.type == 3});
        }
    }
    for (const Statement& statement : statements) {
        if (auto problem = statementProblem(statement)) {
            return problem;
        }
    }
    return std::nullopt;
}

} // namespace tessaro
