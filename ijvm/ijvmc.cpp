#include "ijvm/ijvmc.h"

#include "core/number_text.h"
#include "core/reader/string_tokenizer.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <unordered_set>

namespace tessaro {

// ---------------------------------------------------------------------------------------------
// Vector

void Vector::allocate(int bytes) {
    capacity = std::max(bytes, 0);
    data = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(capacity) + 1);
    length = 0;
    overflow = 0;
}

void Vector::putByte(std::uint8_t b) {
    if (length >= capacity) {
        ++overflow;
        return;
    }
    data[static_cast<std::size_t>(length)] = b;
    ++length;
}

void Vector::putHalf(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    putByte(static_cast<std::uint8_t>((u >> 8) & 0xFF));
    putByte(static_cast<std::uint8_t>(u & 0xFF));
}

void Vector::putWord(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8) {
        putByte(static_cast<std::uint8_t>((u >> shift) & 0xFF));
    }
}

std::uint8_t Vector::at(int i) const {
    return (i >= 0 && i < length) ? data[static_cast<std::size_t>(i)] : 0;
}

// ---------------------------------------------------------------------------------------------
// Instruction set

namespace {

struct Mnemonic {
    const char* name;
    std::uint8_t code;
    int size;
};

constexpr Mnemonic kMnemonics[] = {
    {"NOP", opcode::NOP, 1},
    {"IADD", opcode::IADD, 1},
    {"ISUB", opcode::ISUB, 1},
    {"IAND", opcode::IAND, 1},
    {"IOR", opcode::IOR, 1},
    {"DUP", opcode::DUP, 1},
    {"POP", opcode::POP, 1},
    {"SWAP", opcode::SWAP, 1},
    {"BIPUSH", opcode::BIPUSH, 2},
    {"ILOAD", opcode::ILOAD, 2},
    {"ISTORE", opcode::ISTORE, 2},
    {"WIDEILOAD", opcode::WIDE_ILOAD, 3},
    {"WIDEISTORE", opcode::WIDE_ISTORE, 3},
    {"LDCW", opcode::LDCW, 3},
    {"IINC", opcode::IINC, 3},
    {"GOTO", opcode::GOTO, 3},
    {"IFLT", opcode::IFLT, 3},
    {"IFEQ", opcode::IFEQ, 3},
    {"IFICMPEQ", opcode::IFICMPEQ, 3},
    {"INVOKEVIRTUAL", opcode::INVOKEVIRTUAL, 3},
    {"IRETURN", opcode::IRETURN, 1},
    {"HALT", opcode::HALT, 1},
    {"OUT", opcode::OUT, 1},
    {"IN", opcode::IN, 1},
    {"ERR", opcode::ERR, 1},
};

const Mnemonic* lookupMnemonic(const std::string& word) {
    for (const Mnemonic& m : kMnemonics) {
        if (word == m.name) {
            return &m;
        }
    }
    return nullptr;
}

// Name sizes: constants, parameters and variables keep 9 bytes, labels and methods 20, operands
// 19. A reference is cut the same way as a declaration, so that a long name still finds itself.
constexpr std::size_t kSymbolBytes = 9;
constexpr std::size_t kLabelBytes = 20;
constexpr std::size_t kMethodBytes = 20;
constexpr std::size_t kOperandBytes = 19;
constexpr std::size_t kLabelFieldBytes = 7;
constexpr std::size_t kMessageBytes = 99;

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string trimBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace

int opcodeOf(const std::string& mnemonic) {
    const Mnemonic* m = lookupMnemonic(mnemonic);
    return m != nullptr ? m->code : -1;
}

const char* mnemonicOf(std::uint8_t code) {
    for (const Mnemonic& m : kMnemonics) {
        if (m.code == code) {
            return m.name;
        }
    }
    return nullptr;
}

int sizeOf(const std::string& mnemonic) {
    const Mnemonic* m = lookupMnemonic(mnemonic);
    return m != nullptr ? m->size : 0;
}

std::string displayMnemonic(const std::string& mnemonic) {
    if (mnemonic.rfind("WIDE", 0) == 0 && mnemonic.size() > 4) {
        return "WIDE " + mnemonic.substr(4);
    }
    return mnemonic;
}

// ---------------------------------------------------------------------------------------------
// Declaration pass

IJVMC::IJVMC(const std::string& fileName) : reader(fileName) {}

void IJVMC::compile() {
    reader.open();
    {
        std::ifstream in(reader.fileName, std::ios::binary);
        m_source.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        // The reader takes a byte 0xFF for the end of the file; so does the header scan.
        const std::size_t stop = m_source.find('\xFF');
        if (stop != std::string::npos) {
            m_source.resize(stop);
        }
    }
    m_atEnd = false;
    while (next()) {
        if (!parseConstants() && !parseMethod()) {
            parseMain();
        }
    }
    reader.close();
    encodeImage();
}

bool IJVMC::next() {
    const bool delivered = reader.nextToken();
    m_atEnd = !delivered;
    if (!reader.token.empty()) {
        m_lastTokenPos = reader.tokenStart;
        m_lastTokenLength = static_cast<int>(reader.token.size());
    }
    return delivered;
}

int IJVMC::currentTokenLength() const {
    // A token that the end of the file ended has no delimiter after it.
    if (m_atEnd) {
        return static_cast<int>(reader.token.size());
    }
    return reader.tell() - reader.tokenStart - 1;
}

bool IJVMC::parseConstants() {
    if (reader.token != ".constant") {
        return false;
    }
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
        addError(11, "", "", 0, start, 2);
        return true;
    }
    std::unordered_set<std::string> names;
    for (const SymbolTable& c : constants) {
        names.insert(c.name);
    }
    for (;;) {
        if (!next() && reader.token.empty()) {
            break;
        }
        if (reader.token == ".end-constant") {
            break;
        }
        SymbolTable constant;
        constant.index = constants.count;
        constant.name = cutUtf8(reader.token, kSymbolBytes);
        const bool delivered = next();
        const bool missing =
            reader.token == ".end-constant" || (!delivered && reader.token.empty());
        constant.value = number(reader.token, reader.tokenStart);
        if (!names.insert(constant.name).second) {
            addError(1, constant.name, constant.name, 0, reader.tokenStart, currentTokenLength());
        }
        constants.insertTail(constant);
        if (missing) {
            // The value was missing: the section ends here rather than swallowing what follows.
            break;
        }
    }
    return true;
}

bool IJVMC::readHeader(Method& method) {
    const int headerStart = reader.tell();
    auto drop = [&](int code) {
        reader.clearEof();
        reader.seek(headerStart);
        reader.tokenStart = headerStart;
        m_atEnd = false;
        addError(code, "", "", 0, 0, 0);
        return false;
    };
    if (headerStart < 0 || static_cast<std::size_t>(headerStart) > m_source.size()) {
        return drop(14);
    }
    const std::size_t open = m_source.find('(', static_cast<std::size_t>(headerStart));
    if (open == std::string::npos) {
        return drop(14);
    }
    const std::size_t close = m_source.find(')', open + 1);
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
        SymbolTable parameter;
        parameter.index = counter++;
        parameter.name = cutUtf8(paramName, kSymbolBytes);
        method.paramCount += 1;
        if (!names.insert(parameter.name).second) {
            addError(2, method.name, parameter.name, 0, textStart, textLength);
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
        const bool legal = std::all_of(piece.begin(), piece.end(), [](char c) {
            return c == ' ' || isAsciiLetter(c) || isAsciiDigit(c);
        });
        if (!legal) {
            // Such a name could never be written as an operand; it is refused, but still
            // counted, so that the parameters after it keep the indexes the author expects.
            addError(2, method.name, cutUtf8(piece, 40), 0, textStart, textLength);
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

bool IJVMC::parseMethod() {
    if (reader.token != ".method") {
        return false;
    }
    Method method;
    if (!readHeader(method)) {
        return true;
    }
    parseSectionRest(method, ".end-method");
    return true;
}

bool IJVMC::parseMain() {
    if (reader.token != ".main") {
        return false;
    }
    Method method;
    method.name = "main";
    parseSectionRest(method, ".end-main");
    return true;
}

void IJVMC::parseSectionRest(Method& method, const std::string& closer) {
    // Locals are numbered on after the parameters (main has only the object reference).
    int counter = method.paramCount;
    next();
    if (reader.token == ".var" && !parseVariables(method, closer, counter)) {
        return; // the whole section is dropped
    }
    parseBody(method, closer);
    finishMethod(method);
}

bool IJVMC::parseVariables(Method& method, const std::string& closer, int& counter) {
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
        addError(15, method.name, "", 0, start, 2);
        return false;
    }
    reader.seek(start);
    std::unordered_set<std::string> names;
    for (const SymbolTable& v : method.variables) {
        names.insert(v.name);
    }
    for (;;) {
        const bool delivered = next();
        if (reader.token == ".end-var" || (!delivered && reader.token.empty())) {
            break;
        }
        SymbolTable variable;
        variable.index = counter++;
        variable.name = cutUtf8(reader.token, kSymbolBytes);
        method.varCount += 1;
        if (!names.insert(variable.name).second) {
            addError(2, method.name, variable.name, 0, reader.tokenStart, currentTokenLength());
        }
        method.variables.insertTail(variable);
        if (!delivered) {
            break;
        }
    }
    next();
    return true;
}

void IJVMC::parseBody(Method& method, const std::string& closer) {
    m_labels.clear();
    m_labelNames.clear();
    while (reader.token != closer) {
        if (m_atEnd) {
            // Nothing more can come: the method ends here, with one error.
            addError(3, method.name, "", 0, 0, 0);
            break;
        }
        if (reader.token == ".method") {
            addError(3, method.name, "", 0, 0, 0);
        }
        if (!parseIstruction(method)) {
            addError(4, method.name, reader.token, method.instrCount, 0, 0);
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

void IJVMC::finishMethod(Method& method) {
    if (methods.contains(method)) {
        addError(10, method.name, "", 0, 0, 0);
    }
    method.number = methodCount;
    ++methodCount;
    methods.insertTail(method);
}

bool IJVMC::parseIstruction(Method& method) {
    IstructionTable record;
    if (!reader.token.empty() && reader.token.back() == ':') {
        SymbolTable label;
        label.name = cutUtf8(reader.token.substr(0, reader.token.size() - 1), kLabelBytes);
        label.value = codeOffset;
        if (!m_labelNames.insert(label.name).second || method.labels.contains(label)) {
            addError(0, method.name, label.name, 0, 0, 0);
        }
        m_labels.push_back(label);
        record.label = cutUtf8(reader.token, kLabelFieldBytes);
        next();
    }
    record.sourcePos = reader.tokenStart;
    reader.token = upper(reader.token);
    const std::string word = reader.token;

    auto readOperand = [&](std::string& text, int& position) {
        next();
        text = cutUtf8(reader.token, kOperandBytes);
        position = reader.tokenStart;
    };

    int size = 0;
    if (word == "BIPUSH" || word == "ILOAD" || word == "ISTORE") {
        readOperand(record.operand1, record.operand1Pos);
        size = 2;
    } else if (word == "DUP" || word == "IADD" || word == "IAND" || word == "IOR" ||
               word == "IRETURN" || word == "ISUB" || word == "NOP" || word == "POP" ||
               word == "HALT" || word == "ERR" || word == "OUT" || word == "IN" || word == "SWAP") {
        size = 1;
    } else if (word == "GOTO" || word == "IFEQ" || word == "IFLT" || word == "IFICMPEQ" ||
               word == "INVOKEVIRTUAL" || word == "LDCW") {
        readOperand(record.operand1, record.operand1Pos);
        size = 3;
    } else if (word == "IINC") {
        readOperand(record.operand1, record.operand1Pos);
        readOperand(record.operand2, record.operand2Pos);
        size = 3;
    } else if (word == "WIDE") {
        const int wideStart = reader.tokenStart;
        next();
        const std::string second = upper(reader.token);
        if (second != "ILOAD" && second != "ISTORE") {
            // WIDE only widens ILOAD and ISTORE. Refuse WIDE alone and read the word after
            // it again as the next line, so that a closing keyword there is not lost.
            reader.clearEof();
            reader.seek(reader.tokenStart);
            m_atEnd = false;
            reader.token = word;
            reader.tokenStart = wideStart;
            return false;
        }
        record.mnemonic = "WIDE" + second;
        readOperand(record.operand1, record.operand1Pos);
        size = 3;
    } else {
        return false;
    }
    if (record.mnemonic.empty()) {
        record.mnemonic = word;
    }
    record.index = method.instrCount;
    method.instrCount += 1;
    record.address = codeOffset;
    record.length = size;
    codeOffset += size;
    method.length += size;
    method.istructions.insertTail(record);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Encoding pass

void IJVMC::encodeImage() {
    m_constantIndex.clear();
    m_methodIndex.clear();
    m_indexedMethod = nullptr;
    const int constantCount = constants.count;
    int areaSize = 3;
    for (const Method& method : methods) {
        areaSize += method.length + 4;
    }
    methodArea.allocate(areaSize);
    constantPool.allocate(4 * (constantCount + methodCount));

    for (const SymbolTable& constant : constants) {
        constantPool.putWord(constant.value);
    }

    methodArea.putByte(opcode::INVOKEVIRTUAL);
    const Method* mainMethod = nullptr;
    for (const Method& method : methods) {
        if (method.name == "main") {
            mainMethod = &method;
            break;
        }
    }
    if (mainMethod == nullptr) {
        addError(5, "", "", 0, 0, 0);
    }
    methodArea.putHalf(constantCount + (mainMethod != nullptr ? mainMethod->number : 0));

    int i = 0;
    for (const Method& method : methods) {
        constantPool.putWord(methodArea.length);
        methodArea.putHalf(method.paramCount);
        methodArea.putHalf(method.varCount);
        for (const IstructionTable& istruction : method.istructions) {
            const int at = methodArea.length;
            // Addresses only grow, so appending keeps every bucket in ascending key order.
            for (int k = 0; k < istruction.length; ++k) {
                const auto address = static_cast<std::uint32_t>(at + k);
                const int bucket = Memory<std::uint32_t, std::uint32_t>::bucketOf(address);
                sourceMap.buckets[bucket].insertTail(
                    {address, static_cast<std::uint32_t>(istruction.sourcePos)});
                methodMap.buckets[bucket].insertTail(
                    {address, static_cast<std::uint32_t>(constantCount + i)});
            }
            encode(method, istruction);
            // Every recorded byte must be there, or all later addresses would be wrong.
            while (methodArea.length < at + istruction.length && methodArea.overflow == 0) {
                methodArea.putByte(opcode::NOP);
            }
        }
        ++i;
    }
}

std::int32_t IJVMC::number(const std::string& text, int position) {
    const NumberResult result = checkedAtolong(text);
    if (result.ok) {
        return result.value;
    }
    addMessage("Errore: il numero " + text + " non è valido.", position,
               static_cast<int>(text.size()));
    return 0;
}

void IJVMC::indexMethod(const Method& method) {
    if (m_indexedMethod == &method) {
        return;
    }
    m_indexedMethod = &method;
    m_labelIndex.clear();
    m_variableIndex.clear();
    // The first entry of a name wins: for labels that is the one declared last.
    for (const SymbolTable& label : method.labels) {
        m_labelIndex.emplace(cutUtf8(label.name, kOperandBytes), &label);
    }
    for (const SymbolTable& variable : method.variables) {
        m_variableIndex.emplace(variable.name, &variable);
    }
}

const SymbolTable* IJVMC::findVariable(const Method& method, const std::string& name) {
    indexMethod(method);
    const auto found = m_variableIndex.find(cutUtf8(name, kSymbolBytes));
    return found != m_variableIndex.end() ? found->second : nullptr;
}

const SymbolTable* IJVMC::findLabel(const Method& method, const std::string& name) {
    indexMethod(method);
    const auto found = m_labelIndex.find(cutUtf8(name, kOperandBytes));
    return found != m_labelIndex.end() ? found->second : nullptr;
}

const SymbolTable* IJVMC::findConstant(const std::string& name) {
    if (m_constantIndex.empty()) {
        for (const SymbolTable& constant : constants) {
            m_constantIndex.emplace(constant.name, &constant);
        }
    }
    const auto found = m_constantIndex.find(cutUtf8(name, kSymbolBytes));
    return found != m_constantIndex.end() ? found->second : nullptr;
}

const Method* IJVMC::findMethod(const std::string& name) {
    if (m_methodIndex.empty()) {
        for (const Method& method : methods) {
            m_methodIndex.emplace(cutUtf8(method.name, kOperandBytes), &method);
        }
    }
    const auto found = m_methodIndex.find(cutUtf8(name, kOperandBytes));
    return found != m_methodIndex.end() ? found->second : nullptr;
}

void IJVMC::encode(const Method& method, const IstructionTable& istruction) {
    const std::string& mnemonic = istruction.mnemonic;
    const int code = opcodeOf(mnemonic);
    if (code < 0) {
        return;
    }
    const int operandLength = static_cast<int>(istruction.operand1.size());
    methodArea.putByte(static_cast<std::uint8_t>(code));

    auto variableIndex = [&](int spanOffset) {
        const SymbolTable* variable = findVariable(method, istruction.operand1);
        if (variable == nullptr) {
            addError(8, method.name, istruction.operand1, 0, istruction.sourcePos + spanOffset,
                     operandLength);
            return 0;
        }
        return variable->index;
    };

    if (mnemonic == "BIPUSH") {
        const std::int32_t value = number(istruction.operand1, istruction.operand1Pos);
        methodArea.putByte(static_cast<std::uint8_t>(value & 0xFF));
    } else if (mnemonic == "ILOAD" || mnemonic == "ISTORE") {
        const int index = variableIndex(mnemonic == "ILOAD" ? 6 : 7);
        methodArea.putByte(static_cast<std::uint8_t>(index & 0xFF));
    } else if (mnemonic == "WIDEILOAD" || mnemonic == "WIDEISTORE") {
        methodArea.putHalf(variableIndex(mnemonic == "WIDEILOAD" ? 11 : 12));
    } else if (mnemonic == "IINC") {
        const int index = variableIndex(5);
        methodArea.putByte(static_cast<std::uint8_t>(index & 0xFF));
        const std::int32_t value = number(istruction.operand2, istruction.operand2Pos);
        methodArea.putByte(static_cast<std::uint8_t>(value & 0xFF));
    } else if (mnemonic == "GOTO" || mnemonic == "IFEQ" || mnemonic == "IFLT" ||
               mnemonic == "IFICMPEQ") {
        const SymbolTable* label = findLabel(method, istruction.operand1);
        int target = 0;
        if (label == nullptr) {
            addError(6, method.name, istruction.operand1, 0,
                     istruction.sourcePos + (mnemonic == "IFICMPEQ" ? 9 : 5), operandLength);
        } else {
            target = label->value;
        }
        methodArea.putHalf(target - istruction.address);
    } else if (mnemonic == "LDCW") {
        const SymbolTable* constant = findConstant(istruction.operand1);
        if (constant == nullptr) {
            addError(7, method.name, istruction.operand1, 0, istruction.sourcePos + 5,
                     operandLength);
        }
        methodArea.putHalf(constant != nullptr ? constant->index : 0);
    } else if (mnemonic == "INVOKEVIRTUAL") {
        const Method* callee = findMethod(istruction.operand1);
        if (callee == nullptr) {
            addError(9, method.name, istruction.operand1, 0, istruction.sourcePos + 14,
                     operandLength);
        }
        methodArea.putHalf(constants.count + (callee != nullptr ? callee->number : 0));
    }
}

// ---------------------------------------------------------------------------------------------
// Errors

void IJVMC::addMessage(const std::string& message, int position, int length) {
    ErrorTable error;
    error.message = cutUtf8(message, kMessageBytes);
    error.position = position;
    error.length = length;
    errors.insertTail(error);
}

void IJVMC::addError(int code, const std::string& firstName, const std::string& secondName,
                     int number, int position, int length) {
    const std::string& m = firstName;
    const std::string& n = secondName;
    bool currentToken = false;
    std::string message;
    switch (code) {
    case 0:
        message = "Errore nel metodo " + m + ". L'etichetta " + n + ": esiste già";
        currentToken = true;
        break;
    case 1:
        message = "Errore nella dichiarazione delle costanti: " + m + " già esistente";
        break;
    case 2:
        message = "Errore nella dichiarazione delle variabili nel metodo " + m + ": " + n +
                  ": già esistente";
        break;
    case 3:
        message = "Errore: Il metodo " + m + " deve terminare con .end-method";
        break;
    case 4:
        message = "Errore nel metodo " + m + " in prossimità dell'istruzione " +
                  decimalText(number) + ": " + n + " non esiste.";
        currentToken = true;
        break;
    case 5:
        message = "Errore: Ogni programma deve contenere il metodo main";
        position = m_lastTokenPos;
        length = m_lastTokenLength;
        break;
    case 6:
        message = "Errore nel metodo " + m + ". L'etichetta " + n + " non esiste.";
        break;
    case 7:
        message = "Errore nel metodo " + m + ". La costante " + n + " non esiste.";
        break;
    case 8:
        message = "Errore nel metodo " + m + ". La variabile " + n + " non esiste.";
        break;
    case 9:
        message = "Errore nel metodo " + m + "All'istruzione INVOKEVIRTUAL. Il metodo " + n +
                  " non esiste.";
        break;
    case 10:
        message = "Errore. Metodo " + m + " già esistente.";
        currentToken = true;
        break;
    case 11:
        message = "Errore: L'area delle costanti deve terminare con .end-constant";
        break;
    case 13:
        message = "Errore nel metodo " + m + ": La parentesi è stata aperta ma non chiusa.";
        currentToken = true;
        break;
    case 14:
        message = "Errore nel metodo " + m + ": La parentesi tonda non è stata aperta";
        currentToken = true;
        break;
    case 15:
        message = "Errore nel metodo " + m + ": L'area delle variabili deve terminare con .end-var";
        break;
    default:
        message = "Errore " + decimalText(code);
        break;
    }
    if (currentToken) {
        position = reader.tokenStart;
        length = currentTokenLength();
    }
    addMessage(message, position, length);
}

} // namespace tessaro
