#include "ijvm/ijvm_assembler.h"

#include "core/number_text.h"
#include "ijvm/error_texts.h"
#include "ijvm/names.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

namespace tessaro {

using namespace ijvm_names;

IjvmAssembler::IjvmAssembler(const std::string& fileName) : reader(fileName) {}

void IjvmAssembler::compile() {
    reader.open();
    {
        std::ifstream in(reader.fileName, std::ios::binary);
        m_source.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    assembleSource();
}

void IjvmAssembler::compileText(std::string source) {
    // The reader reads the assembler's own copy: a large source is held once.
    m_source = std::move(source);
    m_source.resize(std::min(m_source.size(), m_source.find('\xFF')));
    reader.openShared(m_source);
    assembleSource();
}

void IjvmAssembler::assembleSource() {
    // The reader takes a byte 0xFF for the end of the file; so does the header scan.
    const std::size_t stop = m_source.find('\xFF');
    if (stop != std::string::npos) {
        m_source.resize(stop);
    }
    m_atEnd = false;
    // Words between the sections are passed over.
    while (next()) {
        if (reader.token == ".constant") {
            parseConstants();
        } else if (reader.token == ".method") {
            parseMethod();
        } else if (reader.token == ".main") {
            parseMain();
        }
    }
    reader.close();
    encodeImage();
}

bool IjvmAssembler::next() {
    const bool delivered = reader.nextToken();
    m_atEnd = !delivered;
    if (!reader.token.empty()) {
        m_lastTokenPos = reader.tokenStart;
        m_lastTokenLength = static_cast<int>(reader.token.size());
    }
    return delivered;
}

int IjvmAssembler::currentTokenLength() const {
    // A token that the end of the file ended has no delimiter after it.
    if (m_atEnd) {
        return static_cast<int>(reader.token.size());
    }
    return reader.tell() - reader.tokenStart - 1;
}

void IjvmAssembler::addMessage(const std::string& message, int position, int length) {
    AssemblyError error;
    error.message = cutUtf8(message, kMessageBytes);
    error.position = position;
    error.length = length;
    errors.insertTail(error);
}

void IjvmAssembler::addError(int code, const std::string& firstName, const std::string& secondName,
                             int number) {
    int position = 0;
    int length = 0;
    switch (errorSpan(code)) {
    case ErrorSpan::Given:
        break;
    case ErrorSpan::CurrentToken:
        position = reader.tokenStart;
        length = currentTokenLength();
        break;
    case ErrorSpan::LastToken:
        position = m_lastTokenPos;
        length = m_lastTokenLength;
        break;
    }
    addMessage(errorMessage(code, firstName, secondName, number), position, length);
}

void IjvmAssembler::addErrorAt(int position, int length, int code, const std::string& firstName,
                               const std::string& secondName) {
    addMessage(errorMessage(code, firstName, secondName, 0), position, length);
}

} // namespace tessaro
