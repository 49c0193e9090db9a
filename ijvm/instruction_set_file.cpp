#include "ijvm/instruction_set_file.h"

#include "core/language.h"
#include "core/number_text.h"
#include "ijvm/names.h"

#include <array>
#include <map>

namespace tessaro {

using namespace ijvm_names;

namespace {

constexpr const char* kDirectives[] = {".constant", ".end-constant", ".method", ".end-method",
                                       ".main",     ".end-main",     ".var",    ".end-var"};

// The operand lists an instruction may have, by the words that write them.
struct OperandForm {
    std::vector<std::string> words;
    OperandKind kind;
    int size;
};

const std::vector<OperandForm>& operandForms() {
    static const std::vector<OperandForm> forms = {
        {{}, OperandKind::None, 1},
        {{"byte"}, OperandKind::SignedByte, 2},
        {{"var"}, OperandKind::Variable, 2},
        {{"widevar"}, OperandKind::WideVariable, 3},
        {{"const"}, OperandKind::Constant, 3},
        {{"label"}, OperandKind::LabelOffset, 3},
        {{"method"}, OperandKind::Method, 3},
        {{"var", "byte"}, OperandKind::VariableAndByte, 3},
    };
    return forms;
}

bool isOperandWord(const std::string& word) {
    for (const char* known : {"byte", "var", "widevar", "const", "label", "method"}) {
        if (word == known) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> splitWords(std::string_view text) {
    std::vector<std::string> words;
    std::string current;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\r') {
            if (!current.empty()) {
                words.push_back(current);
                current.clear();
            }
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        words.push_back(current);
    }
    return words;
}

std::optional<int> parseOpcode(const std::string& word) {
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const std::string digits = hex ? word.substr(2) : word;
    if (digits.empty() || digits.size() > 9) {
        return std::nullopt;
    }
    long value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (isAsciiDigit(c)) {
            digit = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * (hex ? 16 : 10) + digit;
    }
    return static_cast<int>(value);
}

bool isMnemonicWord(const std::string& word) {
    if (word.empty() || !isAsciiLetter(word[0])) {
        return false;
    }
    for (const char c : word) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_') {
            return false;
        }
    }
    return true;
}

// Reads one line that holds an instruction; false with why in error.
bool readLine(std::string_view line, Instruction& instruction, std::string& error) {
    std::string_view effectText;
    bool hasEffect = false;
    const std::size_t open = line.find('(');
    if (open != std::string_view::npos) {
        const std::size_t close = line.rfind(')');
        if (close == std::string_view::npos || close < open) {
            error = localized(MessageId::SetBadStackEffect,
                              {localized(MessageId::SetUnclosedParenthesis)});
            return false;
        }
        if (!splitWords(line.substr(close + 1)).empty()) {
            error = localized(MessageId::SetTextAfterEffect);
            return false;
        }
        effectText = line.substr(open + 1, close - open - 1);
        hasEffect = true;
        line = line.substr(0, open);
    } else if (line.find(')') != std::string_view::npos) {
        error =
            localized(MessageId::SetBadStackEffect, {localized(MessageId::SetStrayParenthesis)});
        return false;
    }
    std::vector<std::string> words = splitWords(line);
    const std::optional<int> code = parseOpcode(words[0]);
    if (!code) {
        error = localized(MessageId::SetBadOpcode, {words[0]});
        return false;
    }
    if (*code > 255) {
        error = localized(MessageId::SetOpcodeOutOfRange, {words[0]});
        return false;
    }
    instruction.opcode = static_cast<std::uint8_t>(*code);
    if (words.size() < 2) {
        error = localized(MessageId::SetMissingMnemonic);
        return false;
    }
    std::size_t next = 1;
    std::vector<std::string> mnemonicWords = {upper(words[next++])};
    // A two-word form: "WIDE ILOAD" is written with its prefix.
    if (mnemonicWords[0] == "WIDE" && next < words.size()) {
        mnemonicWords.push_back(upper(words[next++]));
    }
    for (const std::string& word : mnemonicWords) {
        for (const char* directive : kDirectives) {
            if (word == upper(directive)) {
                error = localized(MessageId::SetMnemonicIsDirective, {word, directive});
                return false;
            }
        }
        if (!isMnemonicWord(word)) {
            error = localized(MessageId::SetBadMnemonic, {word});
            return false;
        }
    }
    instruction.display = mnemonicWords[0];
    instruction.mnemonic = mnemonicWords[0];
    if (mnemonicWords.size() > 1) {
        instruction.display += " " + mnemonicWords[1];
        instruction.mnemonic += mnemonicWords[1];
    }

    std::vector<std::string> kinds;
    for (; next < words.size(); ++next) {
        const std::string& word = words[next];
        const std::size_t colon = word.find(':');
        const std::string kind = word.substr(0, colon);
        const std::string name = colon == std::string::npos ? "" : word.substr(colon + 1);
        if (!isOperandWord(kind)) {
            error = localized(MessageId::SetUnknownOperandKind, {kind});
            return false;
        }
        if (colon != std::string::npos && !isMnemonicWord(name)) {
            error = localized(MessageId::SetBadOperandName, {name});
            return false;
        }
        kinds.push_back(kind);
        instruction.operandNames.push_back(name);
    }
    const OperandForm* form = nullptr;
    for (const OperandForm& candidate : operandForms()) {
        if (candidate.words == kinds) {
            form = &candidate;
        }
    }
    if (form == nullptr) {
        error = localized(MessageId::SetOperandsClash);
        return false;
    }
    instruction.operands = form->kind;
    instruction.size = form->size;

    if (hasEffect) {
        std::vector<std::string> names;
        for (const std::string& name : instruction.operandNames) {
            if (!name.empty()) {
                names.push_back(name);
            }
        }
        std::string why;
        instruction.stackEffect = StackEffect::parse(effectText, names, why);
        if (!instruction.stackEffect) {
            error = localized(MessageId::SetBadStackEffect, {why});
            return false;
        }
    }
    return true;
}

} // namespace

InstructionSetFile readInstructionSet(std::string_view text, const std::string& fileName) {
    InstructionSetFile file;
    std::vector<Instruction> instructions;
    std::map<int, int> lineOfOpcode;
    std::map<std::string, int> lineOfMnemonic;
    int lineNumber = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        line = line.substr(0, std::min(line.find("//"), line.size()));
        if (splitWords(line).empty()) {
            continue;
        }
        auto report = [&](const std::string& message) {
            file.errors.push_back(fileName + ":" + std::to_string(lineNumber) + ": " + message);
        };
        Instruction instruction;
        instruction.line = lineNumber;
        std::string error;
        if (!readLine(line, instruction, error)) {
            report(error);
            continue;
        }
        if (const auto found = lineOfOpcode.find(instruction.opcode); found != lineOfOpcode.end()) {
            report(localized(MessageId::SetOpcodeTaken,
                             {hexByte(instruction.opcode), std::to_string(found->second)}));
            continue;
        }
        if (const auto found = lineOfMnemonic.find(instruction.mnemonic);
            found != lineOfMnemonic.end()) {
            report(localized(MessageId::SetMnemonicTaken,
                             {instruction.display, std::to_string(found->second)}));
            continue;
        }
        lineOfOpcode[instruction.opcode] = lineNumber;
        lineOfMnemonic[instruction.mnemonic] = lineNumber;
        instructions.push_back(std::move(instruction));
    }
    if (file.errors.empty()) {
        file.set.emplace(std::move(instructions));
    }
    return file;
}

} // namespace tessaro
