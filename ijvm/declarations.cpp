#include "ijvm/ijvm_assembler.h"

#include "core/number_text.h"
#include "core/reader/string_tokenizer.h"
#include "ijvm/error_texts.h"
#include "ijvm/names.h"

#include <algorithm>
#include <unordered_set>

namespace tessaro {

using namespace ijvm_names;

void IjvmAssembler::parseConstants() {
    const int start = reader.tell();
    bool closed = false;
    for (;;) {
        const bool delivered = next();
        if (reader.token == ".end-constant") {
            closed = true;
            break;
        }
        if (!delivered) {
            break;
        }
    }
    reader.clearEof();
    reader.seek(start);
    m_atEnd = false;
    if (!closed) {
        addErrorAt(start, 2, 11, "");
        return;
    }
    std::unordered_set<std::string> names;
    for (const Symbol& c : constants) {
        names.insert(c.name);
    }
    for (;;) {
        if (!next() && reader.token.empty()) {
            break;
        }
        if (reader.token == ".end-constant") {
            break;
        }
        Symbol constant;
        constant.index = constants.count;
        constant.name = cutUtf8(reader.token, kSymbolBytes);
        const bool delivered = next();
        const bool missing =
            reader.token == ".end-constant" || (!delivered && reader.token.empty());
        constant.value = number(reader.token, reader.tokenStart);
        if (!names.insert(constant.name).second) {
            addErrorAt(reader.tokenStart, currentTokenLength(), 1, constant.name, constant.name);
        }
        constants.insertTail(constant);
        if (missing) {
            // The value was missing: the section ends here rather than swallowing what follows.
            break;
        }
    }
}

namespace {

// A header is read within bounds, so that one without its parentheses cannot reach into the
// sections after it: "(" comes within 20 characters and ends a single word (blanks and line
// ends around it aside); ")" comes within 50 characters, before any other "(".
constexpr std::size_t kNameBound = 20;
constexpr std::size_t kParameterBound = 50;

bool isHeaderBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
}

std::size_t findOpening(const std::string& source, std::size_t from) {
    bool inName = false;
    bool afterName = false;
    for (std::size_t i = from; i < source.size() && i - from <= kNameBound; ++i) {
        const char c = source[i];
        if (c == '(') {
            return i;
        }
        if (isHeaderBlank(c)) {
            afterName = inName;
        } else if (afterName) {
            return std::string::npos; // a second word: this header has no "("
        } else {
            inName = true;
        }
    }
    return std::string::npos;
}

std::size_t findClosing(const std::string& source, std::size_t from) {
    for (std::size_t i = from; i < source.size() && i - from <= kParameterBound; ++i) {
        if (source[i] == ')') {
            return i;
        }
        if (source[i] == '(') {
            return std::string::npos; // the next header's: this one is not closed
        }
    }
    return std::string::npos;
}

// The first word of a header, up to a blank or "(": the method's name as its calls write it.
std::string headerName(const std::string& source, int headerStart) {
    std::size_t from = static_cast<std::size_t>(std::max(0, headerStart));
    while (from < source.size() && isHeaderBlank(source[from])) {
        ++from;
    }
    std::size_t end = from;
    while (end < source.size() && end - from < 2 * kMethodBytes && !isHeaderBlank(source[end]) &&
           source[end] != '(') {
        ++end;
    }
    return cutUtf8(source.substr(std::min(from, source.size()), end - std::min(from, end)),
                   kMethodBytes);
}

} // namespace

bool IjvmAssembler::readHeader(Method& method) {
    const int headerStart = reader.tell();
    // A dropped method is still named in its error, and counts as declared for its callers:
    // one mistake in a header gives one error, not one more per call.
    auto drop = [&](int code) {
        const std::string name = headerName(m_source, headerStart);
        m_droppedMethods.insert(name);
        reader.clearEof();
        reader.seek(headerStart);
        reader.tokenStart = headerStart;
        m_atEnd = false;
        addError(code, name);
        return false;
    };
    // headerStart lies past the ".method" just read; at or past the end no "(" is found.
    const std::size_t open = findOpening(m_source, static_cast<std::size_t>(headerStart));
    if (open == std::string::npos) {
        return drop(14);
    }
    const std::size_t close = findClosing(m_source, open + 1);
    if (close == std::string::npos) {
        return drop(13);
    }
    std::string name = m_source.substr(static_cast<std::size_t>(headerStart),
                                       open - static_cast<std::size_t>(headerStart));
    removeChars(name, std::string(" \t\r\n\0", 5));
    method.name = cutUtf8(name, kMethodBytes);

    const int textStart = static_cast<int>(open + 1);
    const int textLength = static_cast<int>(close - open - 1);
    std::string text = m_source.substr(open + 1, close - open - 1);
    removeChars(text, std::string("\r\n\0", 3));
    // A tab between parameters is as much a blank as a space.
    std::replace(text.begin(), text.end(), '\t', ' ');

    int counter = 1;
    std::unordered_set<std::string> names;
    auto addParameter = [&](const std::string& paramName) {
        Symbol parameter;
        parameter.index = counter++;
        parameter.name = cutUtf8(paramName, kSymbolBytes);
        method.paramCount += 1;
        if (!names.insert(parameter.name).second) {
            addErrorAt(textStart, textLength, 2, method.name, parameter.name);
        }
        method.variables.insertTail(parameter);
    };
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t comma = text.find(',', from);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        const std::string piece = trimBlanks(text.substr(from, comma - from));
        from = comma + 1;
        if (piece.empty()) {
            continue;
        }
        const std::size_t foreign =
            std::find_if(piece.begin(), piece.end(),
                         [](char c) { return c != ' ' && !isAsciiLetter(c) && !isAsciiDigit(c); }) -
            piece.begin();
        if (foreign < piece.size()) {
            // Such a name could never be written as an operand; it is refused, but still
            // counted, so that the parameters after it keep the indexes the author expects.
            addMessage(foreignCharacterMessage(method.name, cutUtf8(piece, 40),
                                               utf8CharacterAt(piece, foreign)),
                       textStart, textLength);
            ++counter;
            method.paramCount += 1;
            continue;
        }
        StringTokenizer tokens(piece, ",");
        for (const StringTokenizer::Elem& elem : tokens) {
            if (elem.type != 1) {
                addParameter(elem.text);
            }
        }
    }
    reader.clearEof();
    reader.seek(static_cast<int>(close + 1));
    m_atEnd = false;
    return true;
}

void IjvmAssembler::parseMethod() {
    Method method;
    if (readHeader(method)) {
        parseSectionRest(method, ".end-method");
    }
}

void IjvmAssembler::parseMain() {
    Method method;
    method.name = "main";
    parseSectionRest(method, ".end-main");
}

void IjvmAssembler::parseSectionRest(Method& method, const std::string& closer) {
    // Locals are numbered on after the parameters (main has only the object reference).
    int counter = method.paramCount;
    next();
    if (reader.token == ".var" && !parseVariables(method, closer, counter)) {
        return; // the whole section is dropped
    }
    parseBody(method, closer);
    finishMethod(method);
}

bool IjvmAssembler::parseVariables(Method& method, const std::string& closer, int& counter) {
    const int start = reader.tell();
    bool closed = false;
    int stop = start;
    for (;;) {
        const bool delivered = next();
        const std::string& token = reader.token;
        if (token == ".end-var") {
            closed = true;
            break;
        }
        if (token == ".var" || token == closer || !delivered) {
            stop = reader.tokenStart;
            break;
        }
    }
    reader.clearEof();
    m_atEnd = false;
    if (!closed) {
        reader.seek(stop);
        addErrorAt(start, 2, 15, method.name);
        return false;
    }
    reader.seek(start);
    std::unordered_set<std::string> names;
    for (const Symbol& v : method.variables) {
        names.insert(v.name);
    }
    for (;;) {
        const bool delivered = next();
        if (reader.token == ".end-var" || (!delivered && reader.token.empty())) {
            break;
        }
        Symbol variable;
        variable.index = counter++;
        variable.name = cutUtf8(reader.token, kSymbolBytes);
        method.varCount += 1;
        if (!names.insert(variable.name).second) {
            addErrorAt(reader.tokenStart, currentTokenLength(), 2, method.name, variable.name);
        }
        method.variables.insertTail(variable);
        if (!delivered) {
            break;
        }
    }
    next();
    return true;
}

void IjvmAssembler::parseBody(Method& method, const std::string& closer) {
    m_labels.clear();
    m_labelNames.clear();
    while (reader.token != closer) {
        if (m_atEnd) {
            // Nothing more can come: the method ends here, with one error. A last token that
            // the end of the file ended rather than a line end is still a line of the body.
            addError(3, method.name);
            if (!reader.token.empty() && !parseIstruction(method) && !reader.token.empty()) {
                addError(4, method.name, reader.token, method.instrCount);
            }
            break;
        }
        if (reader.token == ".method") {
            addError(3, method.name);
        }
        if (!parseIstruction(method)) {
            addError(4, method.name, reader.token, method.instrCount);
        }
        next();
    }
    // Ascending by name and, among equal names, the later first: the order that inserting
    // each label before the first one not smaller than it would give.
    std::vector<std::size_t> order(m_labels.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        if (m_labels[x].name != m_labels[y].name) {
            return m_labels[x].name < m_labels[y].name;
        }
        return x > y;
    });
    for (std::size_t i : order) {
        method.labels.insertTail(m_labels[i]);
    }
    m_labels.clear();
    m_labelNames.clear();
}

void IjvmAssembler::finishMethod(Method& method) {
    if (methods.contains(method)) {
        addError(10, method.name);
    }
    method.number = methodCount;
    ++methodCount;
    methods.insertTail(method);
}

} // namespace tessaro
