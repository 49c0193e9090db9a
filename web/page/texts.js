// The page's texts: Italian is the source, as on the desktop, and English is looked up from
// it (the desktop's own translations where the same text exists).
const english = {
    'File': 'File',
    'Nuovo': 'New',
    'Apri...': 'Open...',
    'Salva': 'Save',
    'Esempi': 'Examples',
    'Microprogramma...': 'Microprogram...',
    'Esegui': 'Run',
    'Lingua': 'Language',
    'Aiuto': 'Help',
    'Info': 'Info',
    'Compile and Load': 'Compile and Load',
    'Mic': 'Mic',
    'SubCicle': 'SubCicle',
    'Step': 'Step',
    'Run': 'Run',
    'Stop': 'Stop',
    'Reset': 'Reset',
    'Indietro Mic': 'Back Mic',
    'Indietro IJVM': 'Back IJVM',
    'Punto di arresto': 'Breakpoint',
    'Statistiche': 'Statistics',
    'IJVMProgram:': 'IJVMProgram:',
    'MicroProgram:': 'MicroProgram:',
    'Errori': 'Errors',
    'Method Area': 'Method Area',
    'Constant Pool': 'Constant Pool',
    'Stack': 'Stack',
    'Frame': 'Frame',
    'Standard I/O': 'Standard I/O',
    'Ingresso': 'Input',
    'Assembly IJVM': 'Assembly IJVM',
    'Pseudo Assembly-Hex': 'Pseudo Assembly-Hex',
    'Hex': 'Hex',
    'Link Ptr': 'Link Ptr',
    'PC PREC': 'PREV PC',
    'LV PREC': 'PREV LV',
    'Microprogramma': 'Microprogram',
    'Traduci e carica': 'Translate and Load',
    'Verifica': 'Check',
    'Ripristina originale': 'Restore Original',
    'Chiudi': 'Close',
    'Riga %1: %2': 'Line %1: %2',
    'Microprogramma tradotto e caricato: %1 microistruzioni': 'Microprogram translated and loaded: %1 micro-instructions',
    'Correggere gli errori della traduzione prima della verifica': 'Correct the translation errors before the check',
    'Verifica: %1 istruzioni errate su %2': 'Check: %1 wrong instructions out of %2',
    'Verifica: tutte le %1 istruzioni sono corrette': 'Check: all %1 instructions are right',
    'Ripristinare il microprogramma originale?': 'Restore the original microprogram?',
    'Il programma è stato compilato e caricato in memoria': 'The program has been compiled and loaded into memory',
    'Il programma contiene %1 errori': 'The program has %1 errors',
    '%1 micro-istruzioni in %2 s (%3 milioni al secondo)': '%1 micro-instructions in %2 s (%3 million per second)',
    'In esecuzione: ': 'Running: ',
    'Esecuzione fermata: ': 'Run stopped: ',
    'Programma terminato (HALT): ': 'Program ended (HALT): ',
    'Programma terminato con ERR': 'Program ended with ERR',
    'Esecuzione fermata: il programma ha esaurito la memoria': 'Run stopped: the program ran out of memory',
    'Nessun programma caricato: premere Compile and Load': 'No program loaded: press Compile and Load',
    'Il programma è stato modificato: compilare prima': 'The program has been changed: compile it first',
    'Punto di arresto alla riga %1': 'Breakpoint on line %1',
    'Punto di arresto tolto dalla riga %1': 'Breakpoint removed from line %1',
    'Punto di arresto sul micro-indirizzo %1': 'Breakpoint at micro-address %1',
    'Punto di arresto tolto dal micro-indirizzo %1': 'Breakpoint removed from micro-address %1',
    'Fermato dal punto di arresto sul micro-indirizzo %1': 'Stopped by the breakpoint at micro-address %1',
    'Fermato dal punto di arresto a PC = %1': 'Stopped by the breakpoint at PC = %1',
    'Indietro: %1 micro-istruzioni dal reset': 'Back: %1 micro-instructions since the reset',
    'Nessun passo da annullare': 'No step to undo',
    'Nessuna istruzione caricata da questa riga in poi: compilare prima': 'No instruction loaded from this line on: compile first',
    'Il programma è stato modificato. Scartare le modifiche?': 'The program has been modified. Discard the changes?',
    'Caricamento...': 'Loading...',
    'Esecuzione': 'Execute',
    'Bus B': 'B bus',
    'Bus C': 'C bus',
    'Micro-istruzioni: %1': 'Micro-instructions: %1',
    'Pronto': 'Ready',
    'Il numero non è valido': 'The number is not valid',
    'Un simulatore didattico della microarchitettura Mic-1 e del set di istruzioni IJVM, nel browser.':
        'A teaching simulator of the Mic-1 microarchitecture and of the IJVM instruction set, in the browser.',
    'Tasti diversi dal desktop: F4 punto di arresto (F5), Maiusc+F1 Info (F1), Ctrl+Invio Compile and Load.':
        'Keys that differ from the desktop: F4 breakpoint (F5), Shift+F1 Info (F1), Ctrl+Enter Compile and Load.',
};

let current = 'it';

/// "it" or "en" from the browser's languages: Italian for an Italian browser, else English.
export function browserLanguage() {
    const languages = navigator.languages && navigator.languages.length ? navigator.languages : [navigator.language || ''];
    return languages.some((l) => /^it\b/i.test(l)) && /^it/i.test(languages[0] || '') ? 'it' : 'en';
}

export function setLanguage(language) {
    current = language === 'it' ? 'it' : 'en';
    document.documentElement.lang = current;
}

export function language() {
    return current;
}

/// The Italian text in the current language, with %1 ... %9 replaced by the arguments.
export function tr(italian, ...args) {
    const text = current === 'en' && italian in english ? english[italian] : italian;
    return text.replace(/%([1-9])/g, (all, n) => (args[n - 1] !== undefined ? String(args[n - 1]) : all));
}
