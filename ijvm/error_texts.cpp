#include "ijvm/error_texts.h"

#include "core/language.h"
#include "core/number_text.h"

namespace tessaro {

namespace {

// In a pattern "%M" stands for the method's name, "%N" for the name concerned and "%n" for
// the number. There is no code 12.
struct ErrorText {
    int code;
    const char* pattern;
    ErrorSpan span;
};

constexpr ErrorText kErrorTexts[] = {
    {0, "Errore nel metodo %M. L'etichetta %N: esiste già", ErrorSpan::CurrentToken},
    {1, "Errore nella dichiarazione delle costanti: %M già esistente", ErrorSpan::Given},
    {2, "Errore nella dichiarazione delle variabili nel metodo %M: %N: già esistente",
     ErrorSpan::Given},
    {3, "Errore: Il metodo %M deve terminare con .end-method", ErrorSpan::Given},
    {4, "Errore nel metodo %M in prossimità dell'istruzione %n: %N non esiste.",
     ErrorSpan::CurrentToken},
    {5, "Errore: Ogni programma deve contenere il metodo main", ErrorSpan::LastToken},
    {6, "Errore nel metodo %M. L'etichetta %N non esiste.", ErrorSpan::Given},
    {7, "Errore nel metodo %M. La costante %N non esiste.", ErrorSpan::Given},
    {8, "Errore nel metodo %M. La variabile %N non esiste.", ErrorSpan::Given},
    {9, "Errore nel metodo %MAll'istruzione INVOKEVIRTUAL. Il metodo %N non esiste.",
     ErrorSpan::Given},
    {10, "Errore. Metodo %M già esistente.", ErrorSpan::CurrentToken},
    {11, "Errore: L'area delle costanti deve terminare con .end-constant", ErrorSpan::Given},
    {13, "Errore nel metodo %M: La parentesi è stata aperta ma non chiusa.",
     ErrorSpan::CurrentToken},
    {14, "Errore nel metodo %M: La parentesi tonda non è stata aperta", ErrorSpan::CurrentToken},
    {15, "Errore nel metodo %M: L'area delle variabili deve terminare con .end-var",
     ErrorSpan::Given},
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
        return localized("Errore %1", {decimalText(code)});
    }
    // One pass over the pattern: a name that itself holds "%N" is copied as it is.
    const std::string pattern = localized(text->pattern);
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
    return localized("Errore nella dichiarazione delle variabili nel metodo %1: %2: il carattere "
                     "'%3' non è ammesso",
                     {methodName, piece, character});
}

std::string invalidNumberMessage(const std::string& text) {
    return localized("Errore: il numero %1 non è valido.", {text});
}

ErrorSpan errorSpan(int code) {
    const ErrorText* text = findText(code);
    return text != nullptr ? text->span : ErrorSpan::Given;
}

} // namespace tessaro
