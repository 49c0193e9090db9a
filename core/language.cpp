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
    // The instruction-set file (ijvm/instruction_set_file.cpp, ijvm/stack_effect.cpp), the
    // missing routines (machine/routine_lines.cpp) and the instructions the check skips.
    {"effetto sulla pila non valido: %1", "malformed stack effect: %1"},
    {"una '(' non è chiusa", "a '(' is not closed"},
    {"una ')' senza '('", "a ')' without '('"},
    {"testo inatteso dopo l'effetto sulla pila", "unexpected text after the stack effect"},
    {"'%1' non è un opcode (decimale, oppure 0xHH)", "'%1' is not an opcode (decimal, or 0xHH)"},
    {"l'opcode %1 è fuori da 0-255", "opcode %1 is outside 0-255"},
    {"manca il mnemonico dopo l'opcode", "no mnemonic after the opcode"},
    {"il mnemonico %1 coincide con la direttiva %2", "mnemonic %1 collides with the directive %2"},
    {"'%1' non è un mnemonico (lettere, cifre e _)",
     "'%1' is not a mnemonic (letters, digits and _)"},
    {"tipo di operando '%1' sconosciuto (byte, var, widevar, const, label, method)",
     "unknown operand kind '%1' (byte, var, widevar, const, label, method)"},
    {"'%1' non è un nome di operando", "'%1' is not an operand name"},
    {"questi operandi non vanno insieme (un operando, oppure var byte)",
     "these operands do not go together (one operand, or var byte)"},
    {"l'opcode %1 è già usato alla riga %2", "opcode %1 is already used at line %2"},
    {"il mnemonico %1 è già usato alla riga %2", "mnemonic %1 is already used at line %2"},
    {"un'espressione finisce troppo presto", "an expression ends too soon"},
    {"nome '%1' sconosciuto", "unknown name '%1'"},
    {"'%1' inatteso", "unexpected '%1'"},
    {"numero '%1' non valido", "bad number '%1'"},
    {"numero troppo grande per 32 bit", "number too large for 32 bits"},
    {"numero non valido", "bad number"},
    {"manca '--' tra le parole tolte dalla pila e quelle messe",
     "no '--' between the popped and the pushed words"},
    {"'%1' non è un nome", "'%1' is not a name"},
    {"il nome '%1' è usato due volte", "the name '%1' is used twice"},
    {"%1 (opcode %2): la riga %3 del control store è oltre l'ultima riga, non una routine",
     "%1 (opcode %2): line %3 of the control store lies past the last line, not a routine"},
    {"%1 (opcode %2): la riga %3 del control store è una riga di riempimento, non una routine",
     "%1 (opcode %2): line %3 of the control store is a filler line, not a routine"},
    {"%1 non verificata (%2)", "%1 not checked (%2)"},
    {"nessun effetto sulla pila", "no stack effect"},
    {"un operando label o method", "a label or method operand"},
    {"%1: l'insieme di istruzioni '%2' non è usato", "%1: the instruction set '%2' is not used"},
    {"%s: avviso: %s\n", "%s: warning: %s\n"},
    // Why a source could not be read.
    {"è una cartella", "it is a directory"},
    {"è più grande di %1 MB, il massimo per un sorgente",
     "it is larger than %1 MB, the most a source may hold"},
    {"errore di lettura", "read error"},
    // The command line (cli/) and the microprogram check (check/).
    {"istruzione          esecuzioni    micro-istruzioni\n",
     "instruction            count  micro-instructions\n"},
    {"%1: atteso %2, trovato %3", "%1: expected %2, found %3"},
    {"non è mai tornato al ciclo principale (%1 micro-istruzioni)",
     "never returned to the main loop (%1 micro-instructions)"},
    {"non ha fermato la macchina (MPC %1 invece dell'indirizzo di HALT %2)",
     "did not stop the machine (MPC %1 instead of the HALT address %2)"},
    {"ha fermato la macchina all'indirizzo di HALT", "stopped the machine at the HALT address"},
    {"TOS (copia della cima della pila)", "TOS (copy of the top of stack)"},
    {"MBR (il prossimo opcode, già letto)", "MBR (the next opcode, fetched)"},
    {"altre %1 parole di memoria differiscono", "%1 more memory words differ"},
    {"impossibile scrivere '%1'", "cannot write '%1'"},
    {"un programma generato non si assembla (%1):\n",
     "a generated program does not assemble (%1):\n"},
    {" FAIL (mai eseguita)", " FAIL (never executed)"},
    {"il più breve programma che fallisce:", "shortest failing program:"},
    {"micro-indirizzi eseguiti:", "micro-addresses executed:"},
    {" ... (%1 in tutto)", " ... (%1 in all)"},
    {" (%1 volte)", " (%1 times)"},
    {"parola di memoria %1", "memory word %1"},
    {" (ingresso)", " (input)"},
    {" (uscita)", " (output)"},
    {" (cima della pila)", " (top of stack)"},
    {" (frame a LV + %1)", " (frame at LV + %1)"},
    {"%1 alla riga %2, partita da uno stato corretto:",
     "%1 at line %2, started from a right state:"},
    {"la chiamata iniziale di main (INVOKEVIRTUAL al byte 0):",
     "the start-up call of main (INVOKEVIRTUAL at byte 0):"},
    {"%6d  %-28s cima della pila %d\n", "%6d  %-28s stack top %d\n"},
    {"%6d  %-28s cima della pila (mai scritta)\n", "%6d  %-28s stack top (never written)\n"},
    {"tessaro-cli run: il programma è andato oltre la fine del suo codice (PC = %d) senza HALT\n",
     "tessaro-cli run: the program ran past the end of its code (PC = %d) without HALT\n"},
    {"tessaro-cli run: nessun HALT entro %lld micro-istruzioni\n",
     "tessaro-cli run: no HALT within %lld micro-instructions\n"},
    {"tessaro-cli run: il programma si è fermato con ERR\n",
     "tessaro-cli run: the program stopped with ERR\n"},
    {"micro-istruzioni: %lld\n", "micro-instructions: %lld\n"},
    {"istruzioni IJVM: %lld\n", "ijvm-instructions: %lld\n"},
    {"secondi: %.6f\n", "seconds: %.6f\n"},
    {"micro-istruzioni/s: %.0f\n", "micro-instructions/s: %.0f\n"},
    {"uso: tessaro-cli run PROGRAMMA.jvm [--microprogram FILE.mal] [--instructions FILE] "
     "[--max-steps N] [--memory-limit N] [--trace] [--stats]\n",
     "usage: tessaro-cli run PROGRAM.jvm [--microprogram FILE.mal] [--instructions FILE] "
     "[--max-steps N] [--memory-limit N] [--trace] [--stats]\n"},
    {"tessaro-cli run: %s richiede un numero intero di almeno 1, non '%s'\n",
     "tessaro-cli run: %s needs a whole number of at least 1, not '%s'\n"},
    {"tessaro-cli run: il programma richiede più di %lld parole di memoria, il limite "
     "(--memory-limit N ne fissa un altro); fermato a PC = %d\n",
     "tessaro-cli run: the program needs more than %lld words of memory, the limit "
     "(--memory-limit N sets another); stopped at PC = %d\n"},
    {"%s: %lld di %lld programmi verificati (%lld %%)\n",
     "%s: %lld of %lld programs checked (%lld %%)\n"},
    {"%s: impossibile scrivere una copia temporanea di '%s'\n",
     "%s: cannot write a temporary copy of '%s'\n"},
    {"tessaro-cli run: %s richiede un valore\n"
     "%s",
     "tessaro-cli run: %s needs a value\n"
     "%s"},
    {"tessaro-cli run: --max-steps richiede un numero intero di almeno 1, non '%s'\n",
     "tessaro-cli run: --max-steps needs a whole number of at least 1, not '%s'\n"},
    {"tessaro-cli run: opzione sconosciuta '%s'\n"
     "%s",
     "tessaro-cli run: unknown option '%s'\n"
     "%s"},
    {"tessaro-cli run: più di un programma indicato\n"
     "%s",
     "tessaro-cli run: more than one program given\n"
     "%s"},
    {"tessaro-cli run: ingresso standard: '%s' non è un numero di una parola (decimale, o nelle "
     "forme 0x1F, 0o17, 0n101; con un segno facoltativo)\n",
     "tessaro-cli run: standard input: '%s' is not a number of one word (decimal, or the forms "
     "0x1F, 0o17, 0n101; with an optional sign)\n"},
    {"uso: tessaro-cli asm PROGRAMMA.jvm [--instructions FILE] [--dump]\n",
     "usage: tessaro-cli asm PROGRAM.jvm [--instructions FILE] [--dump]\n"},
    {"tessaro-cli asm: opzione sconosciuta '%s'\n"
     "%s",
     "tessaro-cli asm: unknown option '%s'\n"
     "%s"},
    {"tessaro-cli asm: più di un programma indicato\n"
     "%s",
     "tessaro-cli asm: more than one program given\n"
     "%s"},
    {"Area dei metodi (%d byte)\n", "Method area (%d bytes)\n"},
    {"Area delle costanti (%d parole)\n", "Constant pool (%d words)\n"},
    {"; metodo %1", "; method %1"},
    {"uso: tessaro-cli check [MICROPROGRAMMA.mal] [--instructions FILE] [--seed N] "
     "[--programs N]\n",
     "usage: tessaro-cli check [MICROPROGRAM.mal] [--instructions FILE] [--seed N] "
     "[--programs N]\n"},
    {"%s: %s richiede un numero intero da %lld a %lld, non '%s'\n",
     "%s: %s needs a whole number from %lld to %lld, not '%s'\n"},
    {"%s: %s richiede un valore\n"
     "%s",
     "%s: %s needs a value\n"
     "%s"},
    {"%s: opzione sconosciuta '%s'\n"
     "%s",
     "%s: unknown option '%s'\n"
     "%s"},
    {"%s: più di un microprogramma indicato\n"
     "%s",
     "%s: more than one microprogram given\n"
     "%s"},
    {"%s: impossibile creare un file di programma temporaneo\n",
     "%s: cannot create a temporary program file\n"},
    {"velkora.mal (incorporato)", "velkora.mal (built in)"},
    {"%s: impossibile scrivere una copia temporanea del microprogramma\n",
     "%s: cannot write a temporary copy of the microprogram\n"},
    {"%s: impossibile creare un file temporaneo del control store\n",
     "%s: cannot create a temporary control-store file\n"},
    {"%s: impossibile leggere '%s': è una cartella\n", "%s: cannot read '%s': it is a directory\n"},
    {"%s: impossibile leggere '%s': %s\n", "%s: cannot read '%s': %s\n"},
    {"%s: impossibile leggere '%s'\n", "%s: cannot read '%s'\n"},
    {"%s: il percorso '%s' è più lungo di %zu byte\n",
     "%s: the path '%s' is longer than %zu bytes\n"},
    {"uso: tessaro-cli mal SORGENTE.mal USCITA.bin\n",
     "usage: tessaro-cli mal SOURCE.mal OUTPUT.bin\n"},
    {"uso: tessaro-cli [--lang it|en] COMANDO [ARGOMENTI]\n"
     "\n"
     "Comandi:\n"
     "  mal SORGENTE.mal USCITA.bin\n"
     "      Traduce un microprogramma MAL in un file del control store. I problemi sono\n"
     "      scritti come SORGENTE:RIGA: messaggio; il file è scritto in ogni caso. Esce con 0\n"
     "      senza problemi, con 1 altrimenti.\n"
     "  asm PROGRAMMA.jvm [--dump]\n"
     "      Assembla un programma IJVM. Gli errori sono scritti come\n"
     "      PROGRAMMA:RIGA:COLONNA: messaggio (uscita 1). --dump scrive l'area dei metodi e\n"
     "      l'area delle costanti.\n"
     "  run PROGRAMMA.jvm [--microprogram FILE.mal] [--max-steps N] [--memory-limit N]\n"
     "                    [--trace] [--stats]\n"
     "      Assembla, carica ed esegue un programma IJVM sul Mic-1 microprogrammato. IN legge\n"
     "      numeri separati da spazi dall'ingresso standard (0 quando sono finiti); OUT scrive\n"
     "      caratteri sull'uscita standard. --memory-limit: il numero massimo di parole di\n"
     "      memoria che il programma può toccare (16777216 se non indicato). Esce con 0 dopo\n"
     "      HALT, 2 quando N micro-istruzioni sono state eseguite senza HALT, 3 dopo ERR, 4\n"
     "      oltre il limite di memoria, 1 per un ingresso errato.\n"
     "  check [MICROPROGRAMMA.mal] [--seed N] [--programs N]\n"
     "      Verifica un microprogramma (quello incorporato se non è indicato) rispetto al\n"
     "      significato di ogni istruzione IJVM: programmi generati girano sulla macchina\n"
     "      microprogrammata e su un interprete diretto, confrontati dopo ogni istruzione.\n"
     "      Una riga per istruzione, 'IADD ok 4' (micro-istruzioni per esecuzione) o\n"
     "      'ISUB FAIL' seguita dal più breve programma che fallisce, da ciò che differisce e\n"
     "      dai micro-indirizzi eseguiti. N programmi per istruzione (50 se non indicato).\n"
     "      Esce con 0 quando tutte passano, con 1 altrimenti.\n"
     "\n"
     "  I sorgenti più grandi di 64 MB sono rifiutati. Una scrittura dell'uscita non riuscita\n"
     "  è un errore.\n"
     "\n"
     "  --lang it|en  la lingua dei messaggi: italiano (quella predefinita) o inglese;\n"
     "                prima o dopo COMANDO\n"
     "  --help        mostra questo testo\n"
     "  --version     mostra la versione\n",
     "usage: tessaro-cli [--lang it|en] COMMAND [ARGS]\n"
     "\n"
     "Commands:\n"
     "  mal SOURCE.mal OUTPUT.bin\n"
     "      Translate a MAL microprogram into a control-store file. Problems are printed as\n"
     "      SOURCE:LINE: message; the file is written in any case. Exit 0 without problems,\n"
     "      1 otherwise.\n"
     "  asm PROGRAM.jvm [--dump]\n"
     "      Assemble an IJVM program. Errors are printed as PROGRAM:LINE:COLUMN: message\n"
     "      (exit 1). --dump prints the method area and the constant pool.\n"
     "  run PROGRAM.jvm [--microprogram FILE.mal] [--max-steps N] [--memory-limit N]\n"
     "                  [--trace] [--stats]\n"
     "      Assemble, load and run an IJVM program on the microprogrammed Mic-1. IN reads\n"
     "      whitespace-separated numbers from standard input (0 when exhausted); OUT writes\n"
     "      characters to standard output. --memory-limit: the most words of memory the\n"
     "      program may touch (default 16777216). Exit 0 after HALT, 2 when N\n"
     "      micro-instructions ran without HALT, 3 after ERR, 4 past the memory limit, 1 for\n"
     "      bad input.\n"
     "  check [MICROPROGRAM.mal] [--seed N] [--programs N]\n"
     "      Check a microprogram (the built-in one by default) against the meaning of every\n"
     "      IJVM instruction: generated programs run on the microprogrammed machine and on a\n"
     "      direct interpreter, compared after every instruction. One line per instruction,\n"
     "      'IADD ok 4' (micro-instructions per execution) or 'ISUB FAIL' followed by the\n"
     "      shortest failing program, what differs and the micro-addresses it executed.\n"
     "      N programs per instruction (default 50). Exit 0 when all pass, 1 otherwise.\n"
     "\n"
     "  Sources larger than 64 MB are refused. A failed write of the output is an error.\n"
     "\n"
     "  --lang it|en  the language of the messages: Italian (the default) or English;\n"
     "                before or after COMMAND\n"
     "  --help        show this text\n"
     "  --version     show the version\n"},
    {"tessaro-cli: impossibile scrivere l'uscita standard%s%s\n",
     "tessaro-cli: cannot write standard output%s%s\n"},
    {"tessaro-cli: comando sconosciuto '%s'\n"
     "\n"
     "%s",
     "tessaro-cli: unknown command '%s'\n"
     "\n"
     "%s"},
    {"tessaro-cli: --lang richiede un valore (it o en)\n",
     "tessaro-cli: --lang needs a value (it or en)\n"},
    {"tessaro-cli: --lang accetta it o en, non '%.*s'\n",
     "tessaro-cli: --lang takes it or en, not '%.*s'\n"},
    {"parola sconosciuta: %1", "unknown word: %1"},
    {"%1 non può stare in questa posizione", "%1 cannot stand in this position"},
    {"istruzione incompleta: %1", "incomplete instruction: %1"},
    {"costante %1: l'ALU produce soltanto 0, 1 e -1",
     "constant %1: the ALU makes only 0, 1 and -1"},
    {"espressione che l'ALU non sa calcolare: %1", "expression the ALU cannot compute: %1"},
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
