#include "ijvm/error_texts.h"

#include "core/language.h"
#include "core/number_text.h"

namespace tessaro {

namespace {

// In a message "%M" stands for the method's name, "%N" for the name concerned and "%n" for
// the number. There is no code 12.
struct ErrorText {
    int code;
    MessageId message;
    ErrorSpan span;
};

constexpr ErrorText kErrorTexts[] = {
    {0, MessageId::AsmLabelExists, ErrorSpan::CurrentToken},
    {1, MessageId::AsmConstantExists, ErrorSpan::Given},
    {2, MessageId::AsmVariableExists, ErrorSpan::Given},
    {3, MessageId::AsmMethodNotEnded, ErrorSpan::Given},
    {4, MessageId::AsmNameNearInstructionMissing, ErrorSpan::CurrentToken},
    {5, MessageId::AsmMainMissing, ErrorSpan::LastToken},
    {6, MessageId::AsmLabelMissing, ErrorSpan::Given},
    {7, MessageId::AsmConstantMissing, ErrorSpan::Given},
    {8, MessageId::AsmVariableMissing, ErrorSpan::Given},
    {9, MessageId::AsmInvokedMethodMissing, ErrorSpan::Given},
    {10, MessageId::AsmMethodExists, ErrorSpan::CurrentToken},
    {11, MessageId::AsmConstantAreaNotEnded, ErrorSpan::Given},
    {13, MessageId::AsmParenthesisNotClosed, ErrorSpan::CurrentToken},
    {14, MessageId::AsmParenthesisNotOpened, ErrorSpan::CurrentToken},
    {15, MessageId::AsmVariableAreaNotEnded, ErrorSpan::Given},
};

const ErrorText* findText(int code) {
    for (const ErrorText& text : kErrorTexts) {
        if (text.code == code) {
            return &text;
        }
    }
    return nullptr;
}

} // namespace

std::string errorMessage(int code, const std::string& methodName, const std::string& name,
                         int number) {
    const ErrorText* text = findText(code);
    if (text == nullptr) {
        return localized(MessageId::AsmUnknownError, {decimalText(code)});
    }
    // One pass over the pattern: a name that itself holds "%N" is copied as it is.
    const std::string pattern = localized(text->message);
    std::string message;
    for (const char* p = pattern.c_str(); *p != '\0'; ++p) {
        if (*p == '%' && p[1] == 'M') {
            message += methodName;
            ++p;
        } else if (*p == '%' && p[1] == 'N') {
            message += name;
            ++p;
        } else if (*p == '%' && p[1] == 'n') {
            message += decimalText(number);
            ++p;
        } else {
            message += *p;
        }
    }
    return message;
}

std::string foreignCharacterMessage(const std::string& methodName, const std::string& piece,
                                    const std::string& character) {
    return localized(MessageId::AsmForeignCharacterInVariable, {methodName, piece, character});
}

std::string invalidNumberMessage(const std::string& text) {
    return localized(MessageId::AsmInvalidNumber, {text});
}

ErrorSpan errorSpan(int code) {
    const ErrorText* text = findText(code);
    return text != nullptr ? text->span : ErrorSpan::Given;
}

} // namespace tessaro
