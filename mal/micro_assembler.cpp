#include "mal/micro_assembler.h"

#include "core/language.h"
#include "core/number_text.h"
#include "core/reader/string_tokenizer.h"
#include "mal/mal_source_reader.h"
#include "mal/micro_instruction_encoder.h"
#include "mal/micro_statement_check.h"

#include <algorithm>
#include <string_view>

namespace tessaro {

namespace {

constexpr const char* kDelimiters = "=+-~|&;()<>";
// Where an IF's true branch lands: its ELSE address in the upper half of the store.
constexpr std::int32_t kHighHalf = static_cast<std::int32_t>(control_word::kHighHalf);

// The source reader has upper-cased every line.
bool isLetter(unsigned char ch) {
    return ch >= 'A' && ch <= 'Z';
}
bool isDigit(unsigned char ch) {
    return ch >= '0' && ch <= '9';
}

// A name as a message shows it: printable ASCII only, long names shortened.
std::string shown(const std::string& name) {
    constexpr std::size_t kShown = 40;
    std::string text;
    for (char ch : name.substr(0, kShown)) {
        const auto byte = static_cast<unsigned char>(ch);
        text.push_back(byte >= 0x20 && byte < 0x7F ? ch : '?');
    }
    return name.size() > kShown ? text + "..." : text;
}

std::string describeByte(unsigned char ch) {
    if (ch >= 0x21 && ch < 0x7F) {
        return std::string("'") + static_cast<char>(ch) + "'";
    }
    return hexByte(ch);
}

// Characters that no tokenizing rule accepts, each named once, in order of appearance.
std::string foreignCharacters(const std::string& text) {
    std::string seen;
    std::string list;
    for (char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (isLetter(byte) || isDigit(byte) || ch == ' ' ||
            std::string_view(kDelimiters).find(ch) != std::string_view::npos) {
            continue;
        }
        if (seen.find(ch) != std::string::npos) {
            continue;
        }
        seen.push_back(ch);
        if (seen.size() > 8) {
            list += ", ...";
            break;
        }
        list += list.empty() ? "" : ", ";
        list += describeByte(byte);
    }
    return list;
}

// Value of a run of digits, held to at most nine digits (an address is written with at most
// nine), so that adding 256 for a trampoline cannot overflow.
std::int32_t digitsValue(const std::string& text) {
    constexpr std::int32_t kLargest = 999999999;
    std::int64_t value = 0;
    for (char ch : text) {
        value = value * 10 + (ch - '0');
        if (value > kLargest) {
            return kLargest;
        }
    }
    return static_cast<std::int32_t>(value);
}

struct Token {
    std::string text;
    int type = 0;
};

std::string rebuilt(const std::vector<Token>& tokens) {
    std::string text;
    for (const Token& token : tokens) {
        text += ' ';
        text += token.text;
    }
    return text;
}

const Token* tokenAt(const std::vector<Token>& tokens, std::size_t index) {
    return index < tokens.size() ? &tokens[index] : nullptr;
}

// A jump after the one a line already has; the micro-instruction would take the later one's
// address unchecked.
const Token* secondJump(const std::vector<Token>& tokens, std::size_t from) {
    for (std::size_t k = from; k < tokens.size(); ++k) {
        if (tokens[k].text == "GOTO" || tokens[k].text == "IF") {
            return &tokens[k];
        }
    }
    return nullptr;
}

std::string secondJumpMessage(const Token& jump) {
    return localized(MessageId::MalSecondJump, {jump.text});
}

bool textIs(const std::vector<Token>& tokens, std::size_t index, std::string_view text) {
    const Token* token = tokenAt(tokens, index);
    return token != nullptr && token->text == text;
}

} // namespace

AssembledMicroprogram MicroAssembler::assemble(std::string_view source) {
    MicroAssembler assembler(source);
    assembler.firstPass();
    assembler.secondPass();
    std::vector<MalProblem>& problems = assembler.m_result.problems;
    std::stable_sort(problems.begin(), problems.end(),
                     [](const MalProblem& a, const MalProblem& b) { return a.line < b.line; });
    return std::move(assembler.m_result);
}

std::int32_t AssembledMicroprogram::addressOf(const std::string& name) const {
    const auto found = labels.find(name.substr(0, MicroAssembler::kMaxLabel));
    return found != labels.end() ? found->second : -1;
}

void MicroAssembler::report(int line, std::string message) {
    m_result.problems.push_back({line, std::move(message)});
}

void MicroAssembler::firstPass() {
    MalSourceReader source(m_source);
    int address = 0;
    while (std::optional<std::string> label = source.getLine()) {
        const int line = source.lineNumber;
        if (address < kAddresses) {
            const auto at = static_cast<std::size_t>(address);
            m_result.lineStart[at] = source.lineStart;
            m_result.lineLength[at] = source.offset() - source.lineStart;
        } else if (address == kAddresses) {
            report(line, localized(MessageId::MalTooManyLines));
        }
        if (label->size() > static_cast<std::size_t>(kMaxLabel)) {
            report(line, localized(MessageId::MalLabelTooLong, {shown(*label)}));
        }
        // A line without a label reads as "label", which no upper-cased source name can be.
        if (*label != "label") {
            m_result.labels.insert_or_assign(label->substr(0, kMaxLabel), address);
        }
        ++address;
    }
    m_result.instructionCount = address;
    if (source.lineTooLong) {
        report(source.tooLongLine, localized(MessageId::MalLineTooLong));
    } else if (address == 0) {
        report(1, localized(MessageId::MalNoInstructions));
    }
}

void MicroAssembler::secondPass() {
    MalSourceReader source(m_source);
    int address = 0;
    while (std::optional<std::string> label = source.getLine()) {
        const int line = source.lineNumber;
        const std::string lineText = *label + ": " + source.text;
        m_comment = cutUtf8(lineText, kMaxLineText);
        // The record is one line of text: a stray control byte must not split or end it.
        for (char& ch : m_comment) {
            const auto byte = static_cast<unsigned char>(ch);
            if (byte < 0x20 || byte == 0x7F) {
                ch = '?';
            }
        }
        if (lineText.size() > static_cast<std::size_t>(kMaxLineText)) {
            report(line, localized(MessageId::MalCommentCut));
        }
        m_instrText = source.text;
        const std::string foreign = foreignCharacters(m_instrText);
        if (!foreign.empty()) {
            report(line, localized(MessageId::MalForeignCharacter, {foreign}));
        } else if (std::optional<std::string> problem = instructionProblem(m_instrText)) {
            report(line, *problem);
        }
        resolveControl(address, line);
        if (m_instrText.size() > static_cast<std::size_t>(kMaxInstrText)) {
            report(line, localized(MessageId::MalInstructionTooLong,
                                   {std::to_string(m_instrText.size())}));
        }
        writeRecord(address, line, false);
        ++address;
    }
}

std::int32_t MicroAssembler::resolveTarget(const std::string& name, int type, int line) {
    if (name.size() > static_cast<std::size_t>(kMaxLabel)) {
        report(line, localized(MessageId::MalLabelNameTooLong, {shown(name)}));
    }
    const std::int32_t address = m_result.addressOf(name);
    if (address >= 0) {
        return address;
    }
    if (type == 3) {
        // A number where a label belongs is taken as the address itself.
        const std::int32_t value = digitsValue(name);
        if (value >= kAddresses) {
            report(line, localized(MessageId::MalAddressOutside, {shown(name)}));
        }
        return value;
    }
    report(line, localized(MessageId::MalUndefinedLabel, {shown(name)}));
    return 0;
}

void MicroAssembler::resolveControl(int address, int line) {
    std::vector<Token> tokens;
    {
        StringTokenizer tokenizer(m_instrText, kDelimiters);
        for (const TokenElem& elem : tokenizer) {
            tokens.push_back({elem.text, elem.type});
        }
    }
    bool sawGoto = false;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const std::string& text = tokens[k].text;
        if (text == "GOTO" && !textIs(tokens, k + 1, "(")) {
            const Token* target = tokenAt(tokens, k + 1);
            if (target == nullptr || target->type == 1) {
                report(line, localized(MessageId::MalGotoWithoutLabel));
                tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(k) + 1, Token{"0", 3});
            } else {
                tokens[k + 1].text =
                    std::to_string(resolveTarget(target->text, target->type, line));
            }
            if (const Token* second = secondJump(tokens, k + 2)) {
                report(line, secondJumpMessage(*second));
            }
            m_instrText = rebuilt(tokens);
            return;
        }
        if (text == "GOTO") {
            sawGoto = true;
        }
        if (text == "IF") {
            const bool wellFormed = textIs(tokens, k + 1, "(") &&
                                    (textIs(tokens, k + 2, "Z") || textIs(tokens, k + 2, "N")) &&
                                    textIs(tokens, k + 3, ")") && textIs(tokens, k + 4, "GOTO") &&
                                    tokenAt(tokens, k + 5) != nullptr &&
                                    textIs(tokens, k + 7, "ELSE") &&
                                    textIs(tokens, k + 8, "GOTO") && tokenAt(tokens, k + 9);
            if (!wellFormed) {
                report(line, localized(MessageId::MalMalformedIf));
            }
            const Token* elseToken = tokenAt(tokens, k + 9);
            const Token* thenToken = tokenAt(tokens, k + 5);
            const std::int32_t elseAddress =
                elseToken != nullptr ? resolveTarget(elseToken->text, elseToken->type, line) : 0;
            const std::int32_t thenAddress =
                thenToken != nullptr ? resolveTarget(thenToken->text, thenToken->type, line) : 0;
            if (elseToken != nullptr) {
                tokens[k + 9].text = std::to_string(elseAddress);
            }
            if (elseAddress >= kHighHalf) {
                report(line,
                       localized(MessageId::MalElseTargetTooHigh, {std::to_string(elseAddress)}));
            }
            m_result.trampolines.try_emplace(elseAddress + kHighHalf, address);
            m_instrText = " GOTO " + std::to_string(thenAddress) + ";";
            writeRecord(elseAddress + kHighHalf, line, true);
            if (const Token* second = secondJump(tokens, k + 10)) {
                report(line, secondJumpMessage(*second));
            }
            m_instrText = rebuilt(tokens);
            return;
        }
    }
    if (!sawGoto) {
        m_instrText += " GOTO " + std::to_string(address + 1) + ";";
    }
}

void MicroAssembler::writeRecord(int address, int line, bool trampoline) {
    MicroInstructionEncoder mic(m_instrText);
    mic.compile();
    // The last guard: a field the control store cannot hold is never written unreported.
    // Beyond 512 lines the overflow at the boundary is already reported for the file.
    if ((mic.nextAddr < 0 || mic.nextAddr >= kAddresses) &&
        m_result.instructionCount <= kAddresses &&
        std::none_of(m_result.problems.begin(), m_result.problems.end(),
                     [line](const MalProblem& p) { return p.line == line; })) {
        report(line, localized(MessageId::MalNextAddressOutside, {std::to_string(mic.nextAddr)}));
    }
    const auto [at, inserted] = m_written.try_emplace(address, Written{line, trampoline});
    if (!inserted) {
        const Written& earlier = at->second;
        const MessageId taken = earlier.trampoline ? MessageId::MalAddressTakenByTrampoline
                                                   : MessageId::MalAddressTakenByInstruction;
        const std::string lost =
            localized(trampoline ? MessageId::MalTrampolineLost : MessageId::MalInstructionLost);
        report(line,
               localized(taken, {std::to_string(address), std::to_string(earlier.line), lost}));
    }
    m_result.records.push_back(
        {address, mic.nextAddr, static_cast<std::int32_t>(mic.word), m_comment});
}

} // namespace tessaro
