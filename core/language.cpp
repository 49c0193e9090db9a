#include "core/language.h"

#include <atomic>
#include <cctype>
#include <cstddef>

namespace tessaro {

namespace {

std::atomic<Language> g_language{Language::Italian};

struct Entry {
    std::string_view italian;
    std::string_view english;
};

// The Italian texts the core prints, with the English for each. Patterns keep their
// placeholders: %M, %N, %n for the assembler's error table, %1 ... %9 elsewhere.
constexpr Entry kCatalogue[] = {
    // The assembler (ijvm/error_texts.cpp).
    {"Errore nel metodo %M. L'etichetta %N: esiste già",
     "Error in method %M. The label %N: already exists"},
    {"Errore nella dichiarazione delle costanti: %M già esistente",
     "Error in the declaration of the constants: %M already exists"},
    {"Errore nella dichiarazione delle variabili nel metodo %M: %N: già esistente",
     "Error in the declaration of the variables in method %M: %N: already exists"},
    {"Errore: Il metodo %M deve terminare con .end-method",
     "Error: The method %M must end with .end-method"},
    {"Errore nel metodo %M in prossimità dell'istruzione %n: %N non esiste.",
     "Error in method %M near instruction %n: %N does not exist."},
    {"Errore: Ogni programma deve contenere il metodo main",
     "Error: Every program must contain the method main"},
    {"Errore nel metodo %M. L'etichetta %N non esiste.",
     "Error in method %M. The label %N does not exist."},
    {"Errore nel metodo %M. La costante %N non esiste.",
     "Error in method %M. The constant %N does not exist."},
    {"Errore nel metodo %M. La variabile %N non esiste.",
     "Error in method %M. The variable %N does not exist."},
    {"Errore nel metodo %MAll'istruzione INVOKEVIRTUAL. Il metodo %N non esiste.",
     "Error in method %M at the instruction INVOKEVIRTUAL. The method %N does not exist."},
    {"Errore. Metodo %M già esistente.", "Error. Method %M already exists."},
    {"Errore: L'area delle costanti deve terminare con .end-constant",
     "Error: The constant area must end with .end-constant"},
    {"Errore nel metodo %M: La parentesi è stata aperta ma non chiusa.",
     "Error in method %M: The parenthesis was opened but not closed."},
    {"Errore nel metodo %M: La parentesi tonda non è stata aperta",
     "Error in method %M: The round parenthesis was not opened"},
    {"Errore nel metodo %M: L'area delle variabili deve terminare con .end-var",
     "Error in method %M: The variable area must end with .end-var"},
    {"Errore %1", "Error %1"},
    {"Errore nella dichiarazione delle variabili nel metodo %1: %2: il carattere '%3' non è "
     "ammesso",
     "Error in the declaration of the variables in method %1: %2: the character '%3' is not "
     "allowed"},
    {"Errore: il numero %1 non è valido.", "Error: the number %1 is not valid."},
    // The number reader (core/number_text.cpp) and the file readers.
    {"Errore: il numero %1 non è valido. Il programma sarà adesso terminato.",
     "Error: the number %1 is not valid. The program will now end."},
    {"Errore nel metodo FileReader::open(): impossibile aprire il file",
     "Error in method FileReader::open(): cannot open the file"},
    {"Errore nel metodo FileReaderMic1::open(): impossibile aprire il file",
     "Error in method FileReaderMic1::open(): cannot open the file"},
    // The micro-assembler (mal/translate.cpp).
    {"impossibile aprire il file %1", "cannot open the file %1"},
    {"il file di uscita %1 è il sorgente stesso", "the output file %1 is the source itself"},
    {"impossibile scrivere il file %1", "cannot write the file %1"},
    {"più di 512 righe di istruzioni: gli indirizzi da 512 in poi non esistono nel control store",
     "more than 512 lines of instructions: the addresses from 512 on do not exist in the "
     "control store"},
    {"etichetta %1 più lunga di 29 caratteri", "label %1 longer than 29 characters"},
    {"riga più lunga di 254 caratteri: la lettura del file termina qui",
     "line longer than 254 characters: reading the file ends here"},
    {"errore di lettura del file", "error reading the file"},
    {"il file non contiene istruzioni", "the file contains no instructions"},
    {"etichetta e istruzione superano 69 caratteri: il commento è tagliato",
     "label and instruction exceed 69 characters: the comment is cut"},
    {"carattere non ammesso nell'istruzione: %1", "character not allowed in the instruction: %1"},
    {"istruzione di %1 caratteri dopo la risoluzione dei salti (al massimo 49)",
     "instruction of %1 characters once the jumps are resolved (at most 49)"},
    {"nome di etichetta %1 più lungo di 29 caratteri", "label name %1 longer than 29 characters"},
    {"indirizzo %1 fuori dal control store (0-511)",
     "address %1 outside the control store (0-511)"},
    {"etichetta non definita: %1", "undefined label: %1"},
    {"GOTO senza etichetta", "GOTO without a label"},
    {"IF non nella forma IF (Z) GOTO etichetta; ELSE GOTO etichetta (oppure IF (N) ...)",
     "IF not in the form IF (Z) GOTO label; ELSE GOTO label (or IF (N) ...)"},
    {"destinazione ELSE %1 non sotto 256: il ramo vero non può raggiungere la destinazione "
     "dell'IF",
     "ELSE target %1 not below 256: the true branch cannot reach the target of the IF"},
    {"NextAddr %1 fuori dal control store (0-511)",
     "NextAddr %1 outside the control store (0-511)"},
    {"più di un salto nella riga: %1 dopo il primo salto non è ammesso",
     "more than one jump in the line: %1 after the first jump is not allowed"},
    {"indirizzo %1 già occupato dal salto del ramo vero dell'IF della riga %2: %3",
     "address %1 already taken by the jump of the true branch of the IF on line %2: %3"},
    {"indirizzo %1 già occupato dall'istruzione della riga %2: %3",
     "address %1 already taken by the instruction on line %2: %3"},
    {"il salto del ramo vero dell'IF di questa riga va perso",
     "the jump of the true branch of the IF on this line is lost"},
    {"l'istruzione di questa riga va persa", "the instruction on this line is lost"},
};

char lowerAscii(char ch) {
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

} // namespace

void setLanguage(Language language) {
    g_language.store(language);
}

Language language() {
    return g_language.load();
}

std::optional<Language> languageNamed(std::string_view name) {
    // A locale name: the language is what stands before the territory and the encoding.
    const std::size_t end = name.find_first_of("_.@-");
    const std::string_view code = name.substr(0, end);
    if (code.size() != 2) {
        return std::nullopt;
    }
    const std::string lower{lowerAscii(code[0]), lowerAscii(code[1])};
    if (lower == "it") {
        return Language::Italian;
    }
    if (lower == "en") {
        return Language::English;
    }
    return std::nullopt;
}

std::optional<std::string_view> englishOf(std::string_view italian) {
    for (const Entry& entry : kCatalogue) {
        if (entry.italian == italian) {
            return entry.english;
        }
    }
    return std::nullopt;
}

std::string localized(std::string_view italian) {
    if (language() == Language::English) {
        if (const std::optional<std::string_view> english = englishOf(italian)) {
            return std::string(*english);
        }
    }
    return std::string(italian);
}

std::string localized(std::string_view italianPattern,
                      std::initializer_list<std::string_view> arguments) {
    const std::string pattern = localized(italianPattern);
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '9') {
            const auto index = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (index < arguments.size()) {
                text += *(arguments.begin() + index);
                ++i;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}

} // namespace tessaro
