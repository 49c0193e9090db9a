<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="it">
<context>
    <name>tessaro::AppPaths</name>
    <message>
        <source>Impossibile creare la cartella %1</source>
        <translation>Cannot create the folder %1</translation>
    </message>
</context>
<context>
    <name>tessaro::ClockView</name>
    <message>
        <source>decoder</source>
        <translation>decoder</translation>
    </message>
    <message>
        <source>B bus</source>
        <translation>B bus</translation>
    </message>
    <message>
        <source>ALU</source>
        <translation>ALU</translation>
    </message>
    <message>
        <source>C bus</source>
        <translation>C bus</translation>
    </message>
    <message>
        <source>one cycle</source>
        <translation>one cycle</translation>
    </message>
    <message>
        <source>registers
loaded</source>
        <translation>registers
loaded</translation>
    </message>
</context>
<context>
    <name>tessaro::ConsoleWindow</name>
    <message>
        <source>Console</source>
        <translation>Console</translation>
    </message>
</context>
<context>
    <name>tessaro::DatapathPainter</name>
    <message>
        <source>C bus</source>
        <translation>C bus</translation>
    </message>
    <message>
        <source>B bus</source>
        <translation>B bus</translation>
    </message>
    <message>
        <source>C decoder</source>
        <translation>C decoder</translation>
    </message>
    <message>
        <source>B decoder</source>
        <translation>B decoder</translation>
    </message>
    <message>
        <source>ALU</source>
        <translation>ALU</translation>
    </message>
    <message>
        <source>Shifter</source>
        <translation>Shifter</translation>
    </message>
    <message>
        <source>Control store</source>
        <translation>Control store</translation>
    </message>
    <message>
        <source>512 words of 36 bits</source>
        <translation>512 words of 36 bits</translation>
    </message>
    <message>
        <source>Next address</source>
        <translation>Next address</translation>
    </message>
    <message>
        <source>Main memory</source>
        <translation>Main memory</translation>
    </message>
    <message>
        <source>MAR, MDR: words
PC, MBR: bytes</source>
        <translation>MAR, MDR: words
PC, MBR: bytes</translation>
    </message>
</context>
<context>
    <name>tessaro::DatapathView</name>
    <message>
        <source>ALU</source>
        <translation>ALU</translation>
    </message>
</context>
<context>
    <name>tessaro::InfoDialog</name>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>microprogrammed machine</source>
        <translation>microprogrammed machine</translation>
    </message>
    <message>
        <source>A teaching simulator of the Mic-1 microarchitecture</source>
        <translation>A teaching simulator of the Mic-1 microarchitecture</translation>
    </message>
    <message>
        <source>and of the IJVM instruction set</source>
        <translation>and of the IJVM instruction set</translation>
    </message>
    <message>
        <source>Microprogram, assembler and datapath view included</source>
        <translation>Microprogram, assembler and datapath view included</translation>
    </message>
    <message>
        <source>Written by the Tessaro developers</source>
        <translation>Written by the Tessaro developers</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
</context>
<context>
    <name>tessaro::MachineViews</name>
    <message>
        <source>Link Ptr</source>
        <translation>Link Ptr</translation>
    </message>
    <message>
        <source>PC PREC</source>
        <translation>PREV PC</translation>
    </message>
    <message>
        <source>LV PREC</source>
        <translation>PREV LV</translation>
    </message>
</context>
<context>
    <name>tessaro::MainWindow</name>
    <message>
        <source>Il programma deve prima essere compilato e caricato in memoria</source>
        <translation>The program must first be compiled and loaded into memory</translation>
    </message>
    <message>
        <source>Il programma è stato compilato e caricato in memoria</source>
        <translation>The program has been compiled and loaded into memory</translation>
    </message>
    <message>
        <source>Il microprogramma %1 contiene errori:
</source>
        <translation>The microprogram %1 contains errors:
</translation>
    </message>
    <message>
        <source>
... (%1 in tutto)</source>
        <translation>
... (%1 in all)</translation>
    </message>
    <message>
        <source>
Riga %1: %2</source>
        <translation>
Line %1: %2</translation>
    </message>
    <message>
        <source>MicroProgram</source>
        <translation>MicroProgram</translation>
    </message>
    <message>
        <source>Il programma è stato modificato. Salvare le modifiche?</source>
        <translation>The program has been modified. Save the changes?</translation>
    </message>
    <message>
        <source>Salva</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Non salvare</source>
        <translation>Don&apos;t Save</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Esecuzione fermata: il programma è stato sostituito</source>
        <translation>Run stopped: the program was replaced</translation>
    </message>
    <message>
        <source>IJVM Error:</source>
        <translation>IJVM Error:</translation>
    </message>
    <message>
        <source>Errore: il numero %1 non è valido. Resta il valore precedente, %2.</source>
        <translation>Error: the number %1 is not valid. The previous value, %2, stays.</translation>
    </message>
    <message>
        <source>(vuoto)</source>
        <translation>(empty)</translation>
    </message>
    <message>
        <source>Constant Pool</source>
        <translation>Constant Pool</translation>
    </message>
    <message>
        <source>Method Area</source>
        <translation>Method Area</translation>
    </message>
    <message>
        <source>Stack</source>
        <translation>Stack</translation>
    </message>
    <message>
        <source>MicroProgram:</source>
        <translation>MicroProgram:</translation>
    </message>
    <message>
        <source>IJVMProgram:</source>
        <translation>IJVMProgram:</translation>
    </message>
    <message>
        <source>Assembly IJVM</source>
        <translation>Assembly IJVM</translation>
    </message>
    <message>
        <source>Pseudo Assembly-Hex</source>
        <translation>Pseudo Assembly-Hex</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>Standard I/O</source>
        <translation>Standard I/O</translation>
    </message>
    <message>
        <source>Mic</source>
        <translation>Mic</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Compile and Load</source>
        <translation>Compile and Load</translation>
    </message>
    <message>
        <source>SubCicle</source>
        <translation>SubCycle</translation>
    </message>
    <message>
        <source>Clock</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Ferma l&apos;esecuzione (Esc)</source>
        <translation>Stop the run (Esc)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>IJVMProgram</source>
        <translation>IJVMProgram</translation>
    </message>
    <message>
        <source>S&amp;keleton</source>
        <translation>S&amp;keleton</translation>
    </message>
    <message>
        <source>&amp;Microprogramma...</source>
        <translation>&amp;Microprogram...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>SubCycle</source>
        <translation>SubCycle</translation>
    </message>
    <message>
        <source>IJVM</source>
        <translation>IJVM</translation>
    </message>
    <message>
        <source>Indietro Mic</source>
        <translation>Back Mic</translation>
    </message>
    <message>
        <source>Indietro IJVM</source>
        <translation>Back IJVM</translation>
    </message>
    <message>
        <source>Punto di arresto</source>
        <translation>Breakpoint</translation>
    </message>
    <message>
        <source>Statistiche</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Option</translation>
    </message>
    <message>
        <source>BackColor </source>
        <translation>BackColor </translation>
    </message>
    <message>
        <source>Window Color</source>
        <translation>Window Color</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>&amp;Info</source>
        <translation>&amp;Info</translation>
    </message>
    <message>
        <source>Punto di arresto sul micro-indirizzo %1</source>
        <translation>Breakpoint at micro-address %1</translation>
    </message>
    <message>
        <source>Punto di arresto tolto dal micro-indirizzo %1</source>
        <translation>Breakpoint removed from micro-address %1</translation>
    </message>
    <message>
        <source>Punto di arresto alla riga %1</source>
        <translation>Breakpoint on line %1</translation>
    </message>
    <message>
        <source>Punto di arresto tolto dalla riga %1</source>
        <translation>Breakpoint removed from line %1</translation>
    </message>
    <message>
        <source>Nessuna istruzione caricata da questa riga in poi: compilare prima</source>
        <translation>No instruction loaded from this line on: compile first</translation>
    </message>
    <message>
        <source>IJVM files (*.jvm);;JAS files (*.jas);;All files (*.*)</source>
        <translation>IJVM files (*.jvm);;JAS files (*.jas);;All files (*.*)</translation>
    </message>
    <message>
        <source>    /* Il seguente codice è lo scheletro di un programma IJVM */</source>
        <translation>    /* The following code is the skeleton of an IJVM program  */</translation>
    </message>
    <message>
        <source> // Inserire i nomi delle costanti con i rispettivi valori</source>
        <translation> // Insert the names of the constants with their values</translation>
    </message>
    <message>
        <source>.method nomemetodo() // Inserire gli eventuali parametri separati da virgole</source>
        <translation>.method methodname() // Insert the parameters, if any, separated by commas</translation>
    </message>
    <message>
        <source> // Inserire le variabili locali del meotodo.</source>
        <translation> // Insert the local variables of the method.</translation>
    </message>
    <message>
        <source>// Inserire le istruzioni del metodo.</source>
        <translation>// Insert the instructions of the method.</translation>
    </message>
    <message>
        <source>// Inserire le istruzioni del metodo main.</source>
        <translation>// Insert the instructions of the main method.</translation>
    </message>
    <message>
        <source>SaveAs IJVM File</source>
        <translation>SaveAs IJVM File</translation>
    </message>
    <message>
        <source>Open IJVM File</source>
        <translation>Open IJVM File</translation>
    </message>
    <message>
        <source>Esecuzione fermata: il microprogramma è stato sostituito</source>
        <translation>Run stopped: the microprogram was replaced</translation>
    </message>
    <message>
        <source>Nessuna micro-istruzione da questa riga in poi</source>
        <translation>No micro-instruction from this line on</translation>
    </message>
    <message>
        <source>Il programma è stato modificato: compilare prima</source>
        <translation>The program has been changed: compile it first</translation>
    </message>
    <message>
        <source>Clic: punto di arresto sull&apos;istruzione di questa riga</source>
        <translation>Click: breakpoint on this line&apos;s instruction</translation>
    </message>
    <message>
        <source>Clic: punto di arresto su questo micro-indirizzo</source>
        <translation>Click: breakpoint on this micro-address</translation>
    </message>
    <message>
        <source>◀ Mic</source>
        <translation>◀ Mic</translation>
    </message>
    <message>
        <source>Indietro di una micro-istruzione (Ctrl+F7)</source>
        <translation>Back one micro-instruction (Ctrl+F7)</translation>
    </message>
    <message>
        <source>◀ IJVM</source>
        <translation>◀ IJVM</translation>
    </message>
    <message>
        <source>Indietro di un&apos;istruzione IJVM (Ctrl+F8)</source>
        <translation>Back one IJVM instruction (Ctrl+F8)</translation>
    </message>
    <message>
        <source>(nuovo)</source>
        <translation>(new)</translation>
    </message>
    <message>
        <source>Tessaro si è chiuso senza salvare le modifiche al microprogramma %1. Ripristinarle nell&apos;editor?</source>
        <translation>Tessaro closed without saving the changes to the microprogram %1. Restore them in the editor?</translation>
    </message>
    <message>
        <source>Tessaro si è chiuso senza salvare le modifiche al programma %1. Ripristinarle nell&apos;editor?</source>
        <translation>Tessaro closed without saving the changes to the program %1. Restore them in the editor?</translation>
    </message>
    <message>
        <source>Ripristina</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Scarta</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>Colore dello sfondo dell&apos;editor</source>
        <translation>Editor background colour</translation>
    </message>
    <message>
        <source>Colore del testo dell&apos;editor</source>
        <translation>Editor text colour</translation>
    </message>
    <message>
        <source>Il testo avrebbe lo stesso colore dello sfondo e non si vedrebbe: resta il colore di prima.</source>
        <translation>The text would have the colour of the background and could not be seen: the previous colour stays.</translation>
    </message>
    <message>
        <source>Console</source>
        <translation>Console</translation>
    </message>
    <message>
        <source>L&apos;insieme di istruzioni %1 non è usato: è in uso quello originale di Tessaro.</source>
        <translation>The instruction set %1 is not used: Tessaro&apos;s original one is in use.</translation>
    </message>
    <message>
        <source>Istruzioni di %1 senza la loro routine nel microprogramma:</source>
        <translation>Instructions of %1 without their routine in the microprogram:</translation>
    </message>
    <message>
        <source>Insieme di istruzioni</source>
        <translation>Instruction set</translation>
    </message>
    <message>
        <source>Il programma non si assembla con il nuovo insieme di istruzioni: Compile and Load ne mostra gli errori</source>
        <translation>The program does not assemble with the new instruction set: Compile and Load shows its errors</translation>
    </message>
    <message>
        <source>Tessaro si è chiuso senza salvare le modifiche all&apos;insieme di istruzioni %1. Ripristinarle nell&apos;editor?</source>
        <translation>Tessaro closed without saving the changes to the instruction set %1. Restore them in the editor?</translation>
    </message>
</context>
<context>
    <name>tessaro::MessageDialog</name>
    <message>
        <source>Il programma deve prima essere compilato e caricato in memoria</source>
        <translation>The program must first be compiled and loaded into memory</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
</context>
<context>
    <name>tessaro::MicroprogramWindow</name>
    <message>
        <source>Microprogramma</source>
        <translation>Microprogram</translation>
    </message>
    <message>
        <source>Microprogrammi MAL (*.mal);;Tutti i file (*)</source>
        <translation>MAL microprograms (*.mal);;All files (*)</translation>
    </message>
    <message>
        <source>Apri...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>Salva</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Salva con nome...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <source>Ripristina originale...</source>
        <translation>Restore Original...</translation>
    </message>
    <message>
        <source>Traduci e carica</source>
        <translation>Translate and Load</translation>
    </message>
    <message>
        <source>Traduce il microprogramma e lo carica (Ctrl+T)</source>
        <translation>Translates the microprogram and loads it (Ctrl+T)</translation>
    </message>
    <message>
        <source>Verifica</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>Confronta ogni istruzione IJVM con il suo significato</source>
        <translation>Compares every IJVM instruction with its meaning</translation>
    </message>
    <message>
        <source>Errori della traduzione</source>
        <translation>Translation errors</translation>
    </message>
    <message>
        <source>Verifica delle istruzioni</source>
        <translation>Check of the instructions</translation>
    </message>
    <message>
        <source>Salvato in %1</source>
        <translation>Saved to %1</translation>
    </message>
    <message>
        <source>Il microprogramma è stato modificato. Salvare le modifiche?</source>
        <translation>The microprogram has been modified. Save the changes?</translation>
    </message>
    <message>
        <source>Non salvare</source>
        <translation>Don&apos;t Save</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Apri microprogramma</source>
        <translation>Open microprogram</translation>
    </message>
    <message>
        <source>Salva microprogramma</source>
        <translation>Save microprogram</translation>
    </message>
    <message>
        <source>Ripristina</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Riga %1: %2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>%1 errori: il microprogramma non è stato caricato, resta in uso quello precedente</source>
        <translation>%1 errors: the microprogram was not loaded, the previous one stays in use</translation>
    </message>
    <message>
        <source>Microprogramma tradotto e caricato: %1 microistruzioni</source>
        <translation>Microprogram translated and loaded: %1 micro-instructions</translation>
    </message>
    <message>
        <source>Il microprogramma è caricato, ma %1 non può essere scritto</source>
        <translation>The microprogram is loaded, but %1 cannot be written</translation>
    </message>
    <message>
        <source>Correggere gli errori della traduzione prima della verifica</source>
        <translation>Correct the translation errors before the check</translation>
    </message>
    <message>
        <source>Verifica superata: tutte le %1 istruzioni sono eseguite correttamente</source>
        <translation>Check passed: all %1 instructions are carried out correctly</translation>
    </message>
    <message>
        <source>Verifica: %1 istruzioni errate su %2</source>
        <translation>Check: %1 wrong instructions out of %2</translation>
    </message>
    <message>
        <source>1 errore: il microprogramma non è stato caricato, resta in uso quello precedente</source>
        <translation>1 error: the microprogram was not loaded, the previous one stays in use</translation>
    </message>
    <message>
        <source>Verifica: 1 istruzione errata su %1</source>
        <translation>Check: 1 wrong instruction out of %1</translation>
    </message>
    <message>
        <source>Il microprogramma o l&apos;insieme di istruzioni è stato modificato. Salvare le modifiche?</source>
        <translation>The microprogram or the instruction set has been modified. Save the changes?</translation>
    </message>
    <message>
        <source>Sostituire il testo degli editor con il microprogramma e l&apos;insieme di istruzioni originali di Tessaro?
Le modifiche non salvate andranno perse; i file restano come sono finché non si salva.</source>
        <translation>Replace the editors&apos; text with Tessaro&apos;s original microprogram and instruction set?
Unsaved changes will be lost; the files stay as they are until you save.</translation>
    </message>
    <message>
        <source>Ripristinati il microprogramma e l&apos;insieme di istruzioni originali (non ancora salvati né caricati)</source>
        <translation>Original microprogram and instruction set restored (not saved or loaded yet)</translation>
    </message>
    <message>
        <source>1 errore: né il microprogramma né l&apos;insieme di istruzioni sono stati caricati, restano in uso quelli precedenti</source>
        <translation>1 error: neither the microprogram nor the instruction set was loaded, the previous ones stay in use</translation>
    </message>
    <message>
        <source>%1 errori: né il microprogramma né l&apos;insieme di istruzioni sono stati caricati, restano in uso quelli precedenti</source>
        <translation>%1 errors: neither the microprogram nor the instruction set was loaded, the previous ones stay in use</translation>
    </message>
    <message>
        <source>1 istruzione senza routine</source>
        <translation>1 instruction without a routine</translation>
    </message>
    <message>
        <source>%1 istruzioni senza routine</source>
        <translation>%1 instructions without a routine</translation>
    </message>
    <message>
        <source>1 istruzione non verificata</source>
        <translation>1 instruction not checked</translation>
    </message>
    <message>
        <source>%1 istruzioni non verificate</source>
        <translation>%1 instructions not checked</translation>
    </message>
    <message>
        <source>Insiemi di istruzioni (*.txt);;Tutti i file (*)</source>
        <translation>Instruction sets (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>Il microprogramma: una routine per ogni istruzione IJVM</source>
        <translation>The microprogram: a routine for each IJVM instruction</translation>
    </message>
    <message>
        <source>Le istruzioni IJVM: opcode, mnemonico, operandi ed effetto sulla pila</source>
        <translation>The IJVM instructions: opcode, mnemonic, operands and stack effect</translation>
    </message>
    <message>
        <source>Apri insieme di istruzioni</source>
        <translation>Open instruction set</translation>
    </message>
    <message>
        <source>Salva insieme di istruzioni</source>
        <translation>Save instruction set</translation>
    </message>
</context>
<context>
    <name>tessaro::RegisterPanel</name>
    <message>
        <source>Bus C:</source>
        <translation>Bus C:</translation>
    </message>
</context>
<context>
    <name>tessaro::StatisticsWindow</name>
    <message>
        <source>Statistiche</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Dall&apos;ultimo reset: %1 micro-istruzioni, %2 istruzioni IJVM</source>
        <translation>Since the last reset: %1 micro-instructions, %2 IJVM instructions</translation>
    </message>
    <message>
        <source>Istruzione</source>
        <translation>Instruction</translation>
    </message>
    <message>
        <source>Esecuzioni</source>
        <translation>Executions</translation>
    </message>
    <message>
        <source>Micro-istruzioni</source>
        <translation>Micro-instructions</translation>
    </message>
    <message>
        <source>
Micro-indirizzi più eseguiti
</source>
        <translation>
Most executed micro-addresses
</translation>
    </message>
</context>
</TS>
