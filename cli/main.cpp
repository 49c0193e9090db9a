#include "cli/commands.h"
#include "core/language.h"
#include "tessaro_version.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

const char* const kUsage =
    "uso: tessaro-cli [--lang it|en] COMANDO [ARGOMENTI]\n"
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
    "  --version     mostra la versione\n";

// Takes every --lang option out of the arguments, wherever it stands, and sets the language of
// the messages; false, after saying why, for a language that does not exist.
bool takeLanguageOption(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        std::string_view value;
        if (arg == "--lang") {
            if (i + 1 >= argc) {
                std::fputs(tessaro::localized("tessaro-cli: --lang richiede un valore (it o en)\n")
                               .c_str(),
                           stderr);
                return false;
            }
            value = argv[++i];
        } else if (arg.starts_with("--lang=")) {
            value = arg.substr(7);
        } else {
            argv[kept++] = argv[i];
            continue;
        }
        const std::optional<tessaro::Language> language = tessaro::languageNamed(value);
        if (!language) {
            std::fprintf(
                stderr,
                tessaro::localized("tessaro-cli: --lang accetta it o en, non '%.*s'\n").c_str(),
                static_cast<int>(value.size()), value.data());
            return false;
        }
        tessaro::setLanguage(*language);
    }
    argc = kept;
    argv[argc] = nullptr;
    return true;
}

// The command's status, or -1 for a name that is no command.
int runCommandNamed(const char* command, int argc, char** argv) {
    if (std::strcmp(command, "mal") == 0) {
        return tessaro::cli::malCommand(argc, argv);
    }
    if (std::strcmp(command, "asm") == 0) {
        return tessaro::cli::asmCommand(argc, argv);
    }
    if (std::strcmp(command, "run") == 0) {
        return tessaro::cli::runCommand(argc, argv);
    }
    if (std::strcmp(command, "check") == 0) {
        return tessaro::cli::checkCommand(argc, argv);
    }
    return -1;
}

// Flushes and closes standard output; false, after saying so, when what the command printed
// did not all arrive (a full disk, a closed device): a result that was lost is no success.
bool finishStandardOutput() {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(stdout) == 0;
    if (flushed && closed) {
        return true;
    }
    const int error = flushError != 0 ? flushError : errno;
    std::fprintf(
        stderr,
        tessaro::localized("tessaro-cli: impossibile scrivere l'uscita standard%s%s\n").c_str(),
        error != 0 ? ": " : "", error != 0 ? std::strerror(error) : "");
    return false;
}

} // namespace

using tessaro::localized;

int main(int argc, char** argv) {
    if (!takeLanguageOption(argc, argv)) {
        return 1;
    }
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(localized(kUsage).c_str(), argc < 2 ? stderr : stdout);
        return argc < 2 ? 1 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("tessaro-cli %s\n", tessaro::kVersion);
        return 0;
    }
    const int status = runCommandNamed(argv[1], argc - 2, argv + 2);
    if (status < 0) {
        std::fprintf(stderr, localized("tessaro-cli: comando sconosciuto '%s'\n\n%s").c_str(),
                     argv[1], localized(kUsage).c_str());
        return 1;
    }
    return finishStandardOutput() ? status : 1;
}
