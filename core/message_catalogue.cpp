#include "core/message_catalogue.h"

#include <cstddef>
#include <iterator>

namespace tessaro {

namespace {

// Patterns keep their placeholders: %M, %N, %n for the assembler's errors, %1 ... %9 where the
// message takes arguments, and printf's own where the command line formats the text.
constexpr MessageTexts kCatalogue[] = {
    // The IJVM assembler's errors; %M stands for the method, %N for the name concerned, %n for the
    // instruction's number.
    {MessageId::AsmLabelExists, "Errore nel metodo %M. L'etichetta %N: esiste già",
     "Error in method %M. The label %N: already exists"},
    {MessageId::AsmConstantExists, "Errore nella dichiarazione delle costanti: %M già esistente",
     "Error in the declaration of the constants: %M already exists"},
    {MessageId::AsmVariableExists,
     "Errore nella dichiarazione delle variabili nel metodo %M: %N: già esistente",
     "Error in the declaration of the variables in method %M: %N: already exists"},
    {MessageId::AsmMethodNotEnded, "Errore: Il metodo %M deve terminare con .end-method",
     "Error: The method %M must end with .end-method"},
    {MessageId::AsmNameNearInstructionMissing,
     "Errore nel metodo %M in prossimità dell'istruzione %n: %N non esiste.",
     "Error in method %M near instruction %n: %N does not exist."},
    {MessageId::AsmMainMissing, "Errore: Ogni programma deve contenere il metodo main",
     "Error: Every program must contain the method main"},
    {MessageId::AsmLabelMissing, "Errore nel metodo %M. L'etichetta %N non esiste.",
     "Error in method %M. The label %N does not exist."},
    {MessageId::AsmConstantMissing, "Errore nel metodo %M. La costante %N non esiste.",
     "Error in method %M. The constant %N does not exist."},
    {MessageId::AsmVariableMissing, "Errore nel metodo %M. La variabile %N non esiste.",
     "Error in method %M. The variable %N does not exist."},
    {MessageId::AsmInvokedMethodMissing,
     "Errore nel metodo %MAll'istruzione INVOKEVIRTUAL. Il metodo %N non esiste.",
     "Error in method %M at the instruction INVOKEVIRTUAL. The method %N does not exist."},
    {MessageId::AsmMethodExists, "Errore. Metodo %M già esistente.",
     "Error. Method %M already exists."},
    {MessageId::AsmConstantAreaNotEnded,
     "Errore: L'area delle costanti deve terminare con .end-constant",
     "Error: The constant area must end with .end-constant"},
    {MessageId::AsmParenthesisNotClosed,
     "Errore nel metodo %M: La parentesi è stata aperta ma non chiusa.",
     "Error in method %M: The parenthesis was opened but not closed."},
    {MessageId::AsmParenthesisNotOpened,
     "Errore nel metodo %M: La parentesi tonda non è stata aperta",
     "Error in method %M: The round parenthesis was not opened"},
    {MessageId::AsmVariableAreaNotEnded,
     "Errore nel metodo %M: L'area delle variabili deve terminare con .end-var",
     "Error in method %M: The variable area must end with .end-var"},
    {MessageId::AsmUnknownError, "Errore %1", "Error %1"},
    {MessageId::AsmForeignCharacterInVariable,
     "Errore nella dichiarazione delle variabili nel metodo %1: %2: il carattere '%3' non è "
     "ammesso",
     "Error in the declaration of the variables in method %1: %2: the character '%3' is not "
     "allowed"},
    {MessageId::AsmInvalidNumber, "Errore: il numero %1 non è valido.",
     "Error: the number %1 is not valid."},
    {MessageId::NumberTextInvalid,
     "Errore: il numero %1 non è valido. Il programma sarà adesso terminato.",
     "Error: the number %1 is not valid. The program will now end."},
    {MessageId::FileReaderCannotOpen,
     "Errore nel metodo FileReader::open(): impossibile aprire il file",
     "Error in method FileReader::open(): cannot open the file"},
    {MessageId::MicroprogramReaderCannotOpen,
     "Errore nel metodo FileReaderMic1::open(): impossibile aprire il file",
     "Error in method FileReaderMic1::open(): cannot open the file"},
    // Why a source could not be read.
    {MessageId::ReadIsDirectory, "è una cartella", "it is a directory"},
    {MessageId::ReadTooLarge, "è più grande di %1 MB, il massimo per un sorgente",
     "it is larger than %1 MB, the most a source may hold"},
    {MessageId::ReadFailed, "errore di lettura", "read error"},
    // The micro-assembler's problems.
    {MessageId::MalOutputIsSource, "il file di uscita %1 è il sorgente stesso",
     "the output file %1 is the source itself"},
    {MessageId::MalCannotWriteFile, "impossibile scrivere il file %1", "cannot write the file %1"},
    {MessageId::MalTooManyLines,
     "più di 512 righe di istruzioni: gli indirizzi da 512 in poi non esistono nel control "
     "store",
     "more than 512 lines of instructions: the addresses from 512 on do not exist in the "
     "control store"},
    {MessageId::MalLabelTooLong, "etichetta %1 più lunga di 29 caratteri",
     "label %1 longer than 29 characters"},
    {MessageId::MalLineTooLong, "riga più lunga di 254 caratteri: la lettura del file termina qui",
     "line longer than 254 characters: reading the file ends here"},
    {MessageId::MalReadError, "errore di lettura del file", "error reading the file"},
    {MessageId::MalNoInstructions, "il file non contiene istruzioni",
     "the file contains no instructions"},
    {MessageId::MalCommentCut,
     "etichetta e istruzione superano 69 caratteri: il commento è tagliato",
     "label and instruction exceed 69 characters: the comment is cut"},
    {MessageId::MalForeignCharacter, "carattere non ammesso nell'istruzione: %1",
     "character not allowed in the instruction: %1"},
    {MessageId::MalInstructionTooLong,
     "istruzione di %1 caratteri dopo la risoluzione dei salti (al massimo 49)",
     "instruction of %1 characters once the jumps are resolved (at most 49)"},
    {MessageId::MalLabelNameTooLong, "nome di etichetta %1 più lungo di 29 caratteri",
     "label name %1 longer than 29 characters"},
    {MessageId::MalAddressOutside, "indirizzo %1 fuori dal control store (0-511)",
     "address %1 outside the control store (0-511)"},
    {MessageId::MalUndefinedLabel, "etichetta non definita: %1", "undefined label: %1"},
    {MessageId::MalGotoWithoutLabel, "GOTO senza etichetta", "GOTO without a label"},
    {MessageId::MalMalformedIf,
     "IF non nella forma IF (Z) GOTO etichetta; ELSE GOTO etichetta (oppure IF (N) ...)",
     "IF not in the form IF (Z) GOTO label; ELSE GOTO label (or IF (N) ...)"},
    {MessageId::MalElseTargetTooHigh,
     "destinazione ELSE %1 non sotto 256: il ramo vero non può raggiungere la destinazione "
     "dell'IF",
     "ELSE target %1 not below 256: the true branch cannot reach the target of the IF"},
    {MessageId::MalNextAddressOutside, "NextAddr %1 fuori dal control store (0-511)",
     "NextAddr %1 outside the control store (0-511)"},
    {MessageId::MalUnknownWord, "parola sconosciuta: %1", "unknown word: %1"},
    {MessageId::MalMisplaced, "%1 non può stare in questa posizione",
     "%1 cannot stand in this position"},
    {MessageId::MalIncomplete, "istruzione incompleta: %1", "incomplete instruction: %1"},
    {MessageId::MalBadConstant, "costante %1: l'ALU produce soltanto 0, 1 e -1",
     "constant %1: the ALU makes only 0, 1 and -1"},
    {MessageId::MalAluCannotCompute, "espressione che l'ALU non sa calcolare: %1",
     "expression the ALU cannot compute: %1"},
    {MessageId::MalSecondJump, "più di un salto nella riga: %1 dopo il primo salto non è ammesso",
     "more than one jump in the line: %1 after the first jump is not allowed"},
    {MessageId::MalAddressTakenByTrampoline,
     "indirizzo %1 già occupato dal salto del ramo vero dell'IF della riga %2: %3",
     "address %1 already taken by the jump of the true branch of the IF on line %2: %3"},
    {MessageId::MalAddressTakenByInstruction,
     "indirizzo %1 già occupato dall'istruzione della riga %2: %3",
     "address %1 already taken by the instruction on line %2: %3"},
    {MessageId::MalTrampolineLost, "il salto del ramo vero dell'IF di questa riga va perso",
     "the jump of the true branch of the IF on this line is lost"},
    {MessageId::MalInstructionLost, "l'istruzione di questa riga va persa",
     "the instruction on this line is lost"},
    // The instruction-set file and its stack effects.
    {MessageId::SetBadStackEffect, "effetto sulla pila non valido: %1",
     "malformed stack effect: %1"},
    {MessageId::SetUnclosedParenthesis, "una '(' non è chiusa", "a '(' is not closed"},
    {MessageId::SetStrayParenthesis, "una ')' senza '('", "a ')' without '('"},
    {MessageId::SetTextAfterEffect, "testo inatteso dopo l'effetto sulla pila",
     "unexpected text after the stack effect"},
    {MessageId::SetBadOpcode, "'%1' non è un opcode (decimale, oppure 0xHH)",
     "'%1' is not an opcode (decimal, or 0xHH)"},
    {MessageId::SetOpcodeOutOfRange, "l'opcode %1 è fuori da 0-255", "opcode %1 is outside 0-255"},
    {MessageId::SetMissingMnemonic, "manca il mnemonico dopo l'opcode",
     "no mnemonic after the opcode"},
    {MessageId::SetMnemonicIsDirective, "il mnemonico %1 coincide con la direttiva %2",
     "mnemonic %1 collides with the directive %2"},
    {MessageId::SetBadMnemonic, "'%1' non è un mnemonico (lettere, cifre e _)",
     "'%1' is not a mnemonic (letters, digits and _)"},
    {MessageId::SetUnknownOperandKind,
     "tipo di operando '%1' sconosciuto (byte, var, widevar, const, label, method)",
     "unknown operand kind '%1' (byte, var, widevar, const, label, method)"},
    {MessageId::SetBadOperandName, "'%1' non è un nome di operando", "'%1' is not an operand name"},
    {MessageId::SetOperandsClash,
     "questi operandi non vanno insieme (un operando, oppure var byte)",
     "these operands do not go together (one operand, or var byte)"},
    {MessageId::SetOpcodeTaken, "l'opcode %1 è già usato alla riga %2",
     "opcode %1 is already used at line %2"},
    {MessageId::SetMnemonicTaken, "il mnemonico %1 è già usato alla riga %2",
     "mnemonic %1 is already used at line %2"},
    {MessageId::EffectEndsEarly, "un'espressione finisce troppo presto",
     "an expression ends too soon"},
    {MessageId::EffectUnknownName, "nome '%1' sconosciuto", "unknown name '%1'"},
    {MessageId::EffectUnexpected, "'%1' inatteso", "unexpected '%1'"},
    {MessageId::EffectBadNumberText, "numero '%1' non valido", "bad number '%1'"},
    {MessageId::EffectNumberTooLarge, "numero troppo grande per 32 bit",
     "number too large for 32 bits"},
    {MessageId::EffectBadNumber, "numero non valido", "bad number"},
    {MessageId::EffectMissingDashes, "manca '--' tra le parole tolte dalla pila e quelle messe",
     "no '--' between the popped and the pushed words"},
    {MessageId::EffectNotAName, "'%1' non è un nome", "'%1' is not a name"},
    {MessageId::EffectNameTwice, "il nome '%1' è usato due volte", "the name '%1' is used twice"},
    // Instructions without their routine in the microprogram.
    {MessageId::RoutinePastLastLine,
     "%1 (opcode %2): la riga %3 del control store è oltre l'ultima riga, non una routine",
     "%1 (opcode %2): line %3 of the control store lies past the last line, not a routine"},
    {MessageId::RoutineOnFillerLine,
     "%1 (opcode %2): la riga %3 del control store è una riga di riempimento, non una routine",
     "%1 (opcode %2): line %3 of the control store is a filler line, not a routine"},
    // The microprogram check.
    {MessageId::CheckSkipped, "%1 non verificata (%2)", "%1 not checked (%2)"},
    {MessageId::CheckSkipNoEffect, "nessun effetto sulla pila", "no stack effect"},
    {MessageId::CheckSkipLabelOperand, "un operando label o method", "a label or method operand"},
    {MessageId::CheckExpectedFound, "%1: atteso %2, trovato %3", "%1: expected %2, found %3"},
    {MessageId::CheckNeverReturned, "non è mai tornato al ciclo principale (%1 micro-istruzioni)",
     "never returned to the main loop (%1 micro-instructions)"},
    {MessageId::CheckDidNotHalt,
     "non ha fermato la macchina (MPC %1 invece dell'indirizzo di HALT %2)",
     "did not stop the machine (MPC %1 instead of the HALT address %2)"},
    {MessageId::CheckHalted, "ha fermato la macchina all'indirizzo di HALT",
     "stopped the machine at the HALT address"},
    {MessageId::CheckTosWord, "TOS (copia della cima della pila)",
     "TOS (copy of the top of stack)"},
    {MessageId::CheckMbrWord, "MBR (il prossimo opcode, già letto)",
     "MBR (the next opcode, fetched)"},
    {MessageId::CheckMoreWordsDiffer, "altre %1 parole di memoria differiscono",
     "%1 more memory words differ"},
    {MessageId::CheckProgramDoesNotAssemble, "un programma generato non si assembla (%1):\n",
     "a generated program does not assemble (%1):\n"},
    {MessageId::CheckNeverExecuted, " FAIL (mai eseguita)", " FAIL (never executed)"},
    {MessageId::CheckShortestProgram,
     "il più breve programma che fallisce:", "shortest failing program:"},
    {MessageId::CheckMicroAddresses, "micro-indirizzi eseguiti:", "micro-addresses executed:"},
    {MessageId::CheckTraceTotal, " ... (%1 in tutto)", " ... (%1 in all)"},
    {MessageId::CheckTraceRepeats, " (%1 volte)", " (%1 times)"},
    {MessageId::CheckMemoryWord, "parola di memoria %1", "memory word %1"},
    {MessageId::CheckInputWord, " (ingresso)", " (input)"},
    {MessageId::CheckOutputWord, " (uscita)", " (output)"},
    {MessageId::CheckStackTopWord, " (cima della pila)", " (top of stack)"},
    {MessageId::CheckFrameWord, " (frame a LV + %1)", " (frame at LV + %1)"},
    {MessageId::CheckInstructionAtLine, "%1 alla riga %2, partita da uno stato corretto:",
     "%1 at line %2, started from a right state:"},
    {MessageId::CheckStartupCall, "la chiamata iniziale di main (INVOKEVIRTUAL al byte 0):",
     "the start-up call of main (INVOKEVIRTUAL at byte 0):"},
    // How a run ended, as the command line and the browser module tell it.
    {MessageId::RunPastCode,
     "il programma è andato oltre la fine del suo codice (PC = %1) senza HALT",
     "the program ran past the end of its code (PC = %1) without HALT"},
    {MessageId::RunNoHalt, "nessun HALT entro %1 micro-istruzioni",
     "no HALT within %1 micro-instructions"},
    {MessageId::RunStoppedByErr, "il programma si è fermato con ERR",
     "the program stopped with ERR"},
    {MessageId::RunMemoryLimitCli,
     "il programma richiede più di %1 parole di memoria, il limite (--memory-limit N ne "
     "fissa un altro); fermato a PC = %2",
     "the program needs more than %1 words of memory, the limit (--memory-limit N sets "
     "another); stopped at PC = %2"},
    {MessageId::RunBadInputNumber,
     "ingresso standard: '%1' non è un numero di una parola (decimale, o nelle forme 0x1F, "
     "0o17, 0n101; con un segno facoltativo)",
     "standard input: '%1' is not a number of one word (decimal, or the forms 0x1F, 0o17, "
     "0n101; with an optional sign)"},
    {MessageId::RunMemoryLimit,
     "il programma richiede più di %1 parole di memoria, il limite; fermato a PC = %2",
     "the program needs more than %1 words of memory, the limit; stopped at PC = %2"},
    {MessageId::RunHasErrors, "il programma contiene errori", "the program has errors"},
    // The figures of a run.
    {MessageId::StatsTableHeader, "istruzione          esecuzioni    micro-istruzioni\n",
     "instruction            count  micro-instructions\n"},
    {MessageId::StatsMicroInstructions, "micro-istruzioni: %lld\n", "micro-instructions: %lld\n"},
    {MessageId::StatsIjvmInstructions, "istruzioni IJVM: %lld\n", "ijvm-instructions: %lld\n"},
    {MessageId::StatsSeconds, "secondi: %.6f\n", "seconds: %.6f\n"},
    {MessageId::StatsRate, "micro-istruzioni/s: %.0f\n", "micro-instructions/s: %.0f\n"},
    // The assembled program, as the command line dumps it.
    {MessageId::DumpMethodArea, "Area dei metodi (%d byte)\n", "Method area (%d bytes)\n"},
    {MessageId::DumpConstantPool, "Area delle costanti (%d parole)\n",
     "Constant pool (%d words)\n"},
    {MessageId::DumpMethodHeader, "; metodo %1", "; method %1"},
    // The command line.
    {MessageId::CliInstructionSetUnused, "%1: l'insieme di istruzioni '%2' non è usato",
     "%1: the instruction set '%2' is not used"},
    {MessageId::CliWarning, "%s: avviso: %s\n", "%s: warning: %s\n"},
    {MessageId::CliTraceLine, "%6d  %-28s cima della pila %d\n", "%6d  %-28s stack top %d\n"},
    {MessageId::CliTraceLineUnwritten, "%6d  %-28s cima della pila (mai scritta)\n",
     "%6d  %-28s stack top (never written)\n"},
    {MessageId::CliRunUsage,
     "uso: tessaro-cli run PROGRAMMA.jvm [--microprogram FILE.mal] [--instructions FILE] "
     "[--max-steps N] [--memory-limit N] [--trace] [--stats]\n",
     "usage: tessaro-cli run PROGRAM.jvm [--microprogram FILE.mal] [--instructions FILE] "
     "[--max-steps N] [--memory-limit N] [--trace] [--stats]\n"},
    {MessageId::CliRunNeedsPositive,
     "tessaro-cli run: %s richiede un numero intero di almeno 1, non '%s'\n",
     "tessaro-cli run: %s needs a whole number of at least 1, not '%s'\n"},
    {MessageId::CliCheckProgress, "%s: %lld di %lld programmi verificati (%lld %%)\n",
     "%s: %lld of %lld programs checked (%lld %%)\n"},
    {MessageId::CliRunNeedsValue,
     "tessaro-cli run: %s richiede un valore\n"
     "%s",
     "tessaro-cli run: %s needs a value\n"
     "%s"},
    {MessageId::CliRunUnknownOption,
     "tessaro-cli run: opzione sconosciuta '%s'\n"
     "%s",
     "tessaro-cli run: unknown option '%s'\n"
     "%s"},
    {MessageId::CliRunTwoPrograms,
     "tessaro-cli run: più di un programma indicato\n"
     "%s",
     "tessaro-cli run: more than one program given\n"
     "%s"},
    {MessageId::CliAsmUsage, "uso: tessaro-cli asm PROGRAMMA.jvm [--instructions FILE] [--dump]\n",
     "usage: tessaro-cli asm PROGRAM.jvm [--instructions FILE] [--dump]\n"},
    {MessageId::CliAsmUnknownOption,
     "tessaro-cli asm: opzione sconosciuta '%s'\n"
     "%s",
     "tessaro-cli asm: unknown option '%s'\n"
     "%s"},
    {MessageId::CliAsmTwoPrograms,
     "tessaro-cli asm: più di un programma indicato\n"
     "%s",
     "tessaro-cli asm: more than one program given\n"
     "%s"},
    {MessageId::CliCheckUsage,
     "uso: tessaro-cli check [MICROPROGRAMMA.mal] [--instructions FILE] [--seed N] "
     "[--programs N]\n",
     "usage: tessaro-cli check [MICROPROGRAM.mal] [--instructions FILE] [--seed N] "
     "[--programs N]\n"},
    {MessageId::CliNeedsNumberInRange,
     "%s: %s richiede un numero intero da %lld a %lld, non '%s'\n",
     "%s: %s needs a whole number from %lld to %lld, not '%s'\n"},
    {MessageId::CliNeedsValue,
     "%s: %s richiede un valore\n"
     "%s",
     "%s: %s needs a value\n"
     "%s"},
    {MessageId::CliUnknownOption,
     "%s: opzione sconosciuta '%s'\n"
     "%s",
     "%s: unknown option '%s'\n"
     "%s"},
    {MessageId::CliTwoMicroprograms,
     "%s: più di un microprogramma indicato\n"
     "%s",
     "%s: more than one microprogram given\n"
     "%s"},
    {MessageId::CliBuiltInMicroprogram, "velkora.mal (incorporato)", "velkora.mal (built in)"},
    {MessageId::CliCannotRead, "%s: impossibile leggere '%s': %s\n", "%s: cannot read '%s': %s\n"},
    {MessageId::CliMalUsage, "uso: tessaro-cli mal SORGENTE.mal USCITA.bin\n",
     "usage: tessaro-cli mal SOURCE.mal OUTPUT.bin\n"},
    {MessageId::CliUsage,
     "uso: tessaro-cli [--lang it|en] COMANDO [ARGOMENTI]\n"
     "\n"
     "Comandi:\n"
     "  mal SORGENTE.mal USCITA.bin\n"
     "      Traduce un microprogramma MAL in un file del control store. I problemi sono\n"
     "      scritti come SORGENTE:RIGA: messaggio; il file è scritto in ogni caso. Esce con "
     "0\n"
     "      senza problemi, con 1 altrimenti.\n"
     "  asm PROGRAMMA.jvm [--dump]\n"
     "      Assembla un programma IJVM. Gli errori sono scritti come\n"
     "      PROGRAMMA:RIGA:COLONNA: messaggio (uscita 1). --dump scrive l'area dei metodi e\n"
     "      l'area delle costanti.\n"
     "  run PROGRAMMA.jvm [--microprogram FILE.mal] [--max-steps N] [--memory-limit N]\n"
     "                    [--trace] [--stats]\n"
     "      Assembla, carica ed esegue un programma IJVM sul Mic-1 microprogrammato. IN "
     "legge\n"
     "      numeri separati da spazi dall'ingresso standard (0 quando sono finiti); OUT "
     "scrive\n"
     "      caratteri sull'uscita standard. --memory-limit: il numero massimo di parole di\n"
     "      memoria che il programma può toccare (16777216 se non indicato). Esce con 0 "
     "dopo\n"
     "      HALT, 2 quando N micro-istruzioni sono state eseguite senza HALT, 3 dopo ERR, 4\n"
     "      oltre il limite di memoria, 1 per un ingresso errato.\n"
     "  check [MICROPROGRAMMA.mal] [--seed N] [--programs N]\n"
     "      Verifica un microprogramma (quello incorporato se non è indicato) rispetto al\n"
     "      significato di ogni istruzione IJVM: programmi generati girano sulla macchina\n"
     "      microprogrammata e su un interprete diretto, confrontati dopo ogni istruzione.\n"
     "      Una riga per istruzione, 'IADD ok 4' (micro-istruzioni per esecuzione) o\n"
     "      'ISUB FAIL' seguita dal più breve programma che fallisce, da ciò che differisce "
     "e\n"
     "      dai micro-indirizzi eseguiti. N programmi per istruzione (50 se non indicato).\n"
     "      Esce con 0 quando tutte passano, con 1 altrimenti.\n"
     "\n"
     "  I sorgenti più grandi di 64 MB sono rifiutati. Una scrittura dell'uscita non "
     "riuscita\n"
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
     "      micro-instructions ran without HALT, 3 after ERR, 4 past the memory limit, 1 "
     "for\n"
     "      bad input.\n"
     "  check [MICROPROGRAM.mal] [--seed N] [--programs N]\n"
     "      Check a microprogram (the built-in one by default) against the meaning of every\n"
     "      IJVM instruction: generated programs run on the microprogrammed machine and on "
     "a\n"
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
    {MessageId::CliCannotWriteOutput, "tessaro-cli: impossibile scrivere l'uscita standard%s%s\n",
     "tessaro-cli: cannot write standard output%s%s\n"},
    {MessageId::CliUnknownCommand,
     "tessaro-cli: comando sconosciuto '%s'\n"
     "\n"
     "%s",
     "tessaro-cli: unknown command '%s'\n"
     "\n"
     "%s"},
    {MessageId::CliLangNeedsValue, "tessaro-cli: --lang richiede un valore (it o en)\n",
     "tessaro-cli: --lang needs a value (it or en)\n"},
    {MessageId::CliLangBadValue, "tessaro-cli: --lang accetta it o en, non '%.*s'\n",
     "tessaro-cli: --lang takes it or en, not '%.*s'\n"},
    // The window's status line after a command.
    {MessageId::StatusRunning, "In esecuzione: %1 micro-istruzioni in %2 s (%3 milioni al secondo)",
     "Running: %1 micro-instructions in %2 s (%3 million per second)"},
    {MessageId::StatusStopped,
     "Esecuzione fermata: %1 micro-istruzioni in %2 s (%3 milioni al secondo)",
     "Run stopped: %1 micro-instructions in %2 s (%3 million per second)"},
    {MessageId::StatusHalted,
     "Programma terminato (HALT): %1 micro-istruzioni in %2 s (%3 milioni al secondo)",
     "Program ended (HALT): %1 micro-instructions in %2 s (%3 million per second)"},
    {MessageId::StatusIjvmStepCut,
     "Istruzione IJVM interrotta: il ciclo principale non è stato raggiunto dopo %1 "
     "micro-istruzioni",
     "IJVM instruction interrupted: the main loop was not reached after %1 micro-instructions"},
    {MessageId::StatusMemoryLimit,
     "Esecuzione fermata: il programma usa più di %1 parole di memoria, il limite (Reset o "
     "Indietro per continuare)",
     "Execution stopped: the program uses more than %1 words of memory, the limit (Reset or Back "
     "to go on)"},
    {MessageId::StatusBreakpointMicro, "Fermato dal punto di arresto sul micro-indirizzo %1",
     "Stopped by the breakpoint at micro-address %1"},
    {MessageId::StatusBreakpointLine, "Fermato dal punto di arresto alla riga %1 (PC = %2)",
     "Stopped by the breakpoint on line %1 (PC = %2)"},
    {MessageId::StatusBreakpointPc, "Fermato dal punto di arresto a PC = %1",
     "Stopped by the breakpoint at PC = %1"},
    {MessageId::StatusBackAtStart, "Indietro: la macchina è già all'ultimo reset o caricamento",
     "Back: the machine is already at the last reset or load"},
    {MessageId::StatusBack, "Indietro: %1 micro-istruzioni dal reset",
     "Back: %1 micro-instructions since the reset"},
};

// The table is read by position, so an entry out of its identifier's place would print another
// message: the build refuses it.
constexpr bool inIdentifierOrder() {
    for (std::size_t i = 0; i < std::size(kCatalogue); ++i) {
        if (static_cast<std::size_t>(kCatalogue[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inIdentifierOrder(), "the catalogue must follow the order of MessageId");
static_assert(std::size(kCatalogue) == static_cast<std::size_t>(MessageId::Count),
              "every MessageId needs its texts");

} // namespace

const MessageTexts& messageTexts(MessageId id) {
    return kCatalogue[static_cast<std::size_t>(id)];
}

std::span<const MessageTexts> messageCatalogue() {
    return kCatalogue;
}

} // namespace tessaro
