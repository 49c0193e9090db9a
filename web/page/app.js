// The page: the desktop's main window in a browser. The machine lives in a worker
// (worker.js); every command goes there and comes back with the presentation model's view,
// which this module only renders.
import { DatapathPicture } from './datapath.js';
import { ProgramEditor, highlightMalLine } from './editor.js';
import { browserLanguage, language, setLanguage, tr } from './texts.js';

const storageKeys = {
    program: 'tessaro.program', microprogram: 'tessaro.microprogram', language: 'tessaro.language',
    name: 'tessaro.fileName', modified: 'tessaro.modified',
};
const $ = (id) => document.getElementById(id);

const worker = new Worker('worker.js');
const pending = new Map();
let nextId = 1;
let running = false;
let runFinished = Promise.resolve();
let loadedText = null; // the text compiled last, while it is loaded
let compiledText = null; // the text compiled last, loaded or not: the lines breakpoints name
let shownRegisters = [];
let lastView = null;
let format = 0;
let fileName = localStorage.getItem(storageKeys.name) || 'program.jvm';
let listingTexts = [];
let bundledMicroprogram = '';

worker.onmessage = (event) => {
    const message = event.data;
    if (message.progress) {
        status(tr('In esecuzione: ') + tr('%1 micro-istruzioni in %2 s (%3 milioni al secondo)',
            message.executed, message.seconds.toFixed(2), rate(message.executed, message.seconds)));
        return;
    }
    const waiting = pending.get(message.id);
    pending.delete(message.id);
    if (message.view) {
        showView(message.view);
    }
    waiting(message.result);
};
worker.onerror = (event) => status(String(event.message));

function call(command, ...args) {
    const id = nextId++;
    return new Promise((resolve) => {
        pending.set(id, resolve);
        worker.postMessage({ id, command, args });
    });
}

function rate(executed, seconds) {
    return seconds > 0 ? (executed / seconds / 1e6).toFixed(1) : '0.0';
}

function status(text) {
    $('status').textContent = text;
}

function viewOptions() {
    return {
        addressRadix: format === 0 ? 10 : 16, valueRadix: format === 0 ? 10 : 16, rawMethodArea: format === 2,
        linkPointer: tr('Link Ptr'), previousPc: tr('PC PREC'), previousLv: tr('LV PREC'),
    };
}

// ---- Rendering the model --------------------------------------------------------------------

function fillList(list, lines, decorate) {
    const items = lines.map((text, index) => {
        const li = document.createElement('li');
        li.textContent = text || ' ';
        if (decorate) {
            decorate(li, index);
        }
        return li;
    });
    list.replaceChildren(...items);
}

function selectLine(list, index) {
    const old = list.querySelector('li.selected');
    if (old) {
        old.classList.remove('selected');
    }
    const item = list.children[index];
    if (item) {
        item.classList.add('selected');
        item.scrollIntoView({ block: 'nearest' });
    }
}

function registerText(value) {
    return format === 0 ? String(value) : (value >>> 0).toString(16).toUpperCase();
}

function showView(view) {
    lastView = view;
    const p = view.picture;
    // A sub-cycle reveals the registers only with the C bus, as on the desktop.
    if (p.phase >= 3 || shownRegisters.length === 0) {
        shownRegisters = view.registers.map((r) => ({ name: r.name, value: r.value, text: registerText(r.value) }));
        renderRegisters(view);
        fillList($('methodArea'), view.methodArea);
        selectLine($('methodArea'), view.registers[2].value);
        fillList($('constantPool'), view.constantPool);
        $('constantPool').scrollTop = $('constantPool').scrollHeight;
        fillList($('stack'), view.stack);
        fillList($('frame'), view.frame);
        $('output').textContent = printable(view.output);
        editor.setCurrentLine(loadedText !== null && loadedText === editor.value ? view.currentLine : 0);
    }
    // The marks live in the session; the editor and the listing only draw them.
    editor.setBreakpoints(view.breakpointLines);
    markListing(view.microBreakpoints);
    picture.show(p, shownRegisters, view.mpc);
    renderMir(p);
    selectLine($('listing'), view.lastMpc);
    $('phase').textContent = p.phase < 3 ? tr(['Esecuzione', 'Bus B', 'ALU', 'Bus C'][p.phase]) : '';
    $('stepBackMicro').disabled = running || !view.canStepBack;
    $('stepBackIjvm').disabled = running || !view.canStepBack;
}

function printable(text) {
    return [...text].map((c) => (c === '\n' ? '\u21B5' : c === '\t' ? '\u2192' : c < ' ' ? '\u00B7' : c)).join('');
}

function renderRegisters(view) {
    const items = view.registers.map((r) => {
        const div = document.createElement('div');
        div.dataset.name = r.name;
        div.textContent = `${r.name} ${registerText(r.value)}`;
        return div;
    });
    const mpc = document.createElement('div');
    mpc.dataset.name = 'MPC';
    mpc.textContent = `MPC ${registerText(view.mpc)}`;
    const count = document.createElement('div');
    count.dataset.name = 'count';
    count.textContent = `# ${view.microInstructions}`;
    $('registers').replaceChildren(...items, mpc, count);
}

function renderMir(p) {
    const fields = [['Addr', 0, 9], ['JAM', 9, 3], ['ALU', 12, 8], ['C', 20, 9], ['Mem', 29, 3], ['B', 32, 4]];
    $('mir').replaceChildren(...fields.map(([name, from, width]) => {
        const span = document.createElement('span');
        span.innerHTML = `<b>${name}</b>`;
        span.append(p.mirBits.slice(from, from + width));
        return span;
    }));
}

function renderListing() {
    fillList($('listing'), listingTexts.map((text, address) => `${String(address).padStart(3, ' ')}: ${text}`), (li) => {
        li.title = tr('Punto di arresto');
    });
    if (lastView) {
        markListing(lastView.microBreakpoints);
        selectLine($('listing'), lastView.lastMpc);
    }
}

function markListing(addresses) {
    const marked = new Set(addresses);
    [...$('listing').children].forEach((li, address) => li.classList.toggle('breakpoint', marked.has(address)));
}

// ---- Commands ---------------------------------------------------------------------------------

const editor = new ProgramEditor($('editor'), {
    onChange: (text) => {
        localStorage.setItem(storageKeys.program, text);
        setModified(true);
    },
    onToggleBreakpoint: (line) => toggleLineBreakpoint(line),
});
const picture = new DatapathPicture($('datapath'));

async function compile() {
    if (running) {
        return;
    }
    const text = editor.value;
    const result = await call('compile', text);
    compiledText = text;
    showErrors(result.errors);
    if (result.loaded) {
        loadedText = text;
        status(tr('Il programma è stato compilato e caricato in memoria'));
    } else {
        loadedText = null;
        status(tr('Il programma contiene %1 errori', result.errors.length));
    }
    await refresh();
}

function showErrors(errors) {
    editor.setErrors(errors);
    fillList($('errors'), errors.map((e) => tr('Riga %1: %2', e.line, e.message)), (li, index) => {
        li.addEventListener('click', () => editor.select(errors[index].start, errors[index].length));
    });
}

function ready() {
    if (loadedText === null) {
        status(tr('Nessun programma caricato: premere Compile and Load'));
        return false;
    }
    if (loadedText !== editor.value) {
        status(tr('Il programma è stato modificato: compilare prima'));
        return false;
    }
    return true;
}

function describe(outcome, view) {
    if (outcome === 'halted') {
        status(tr('Programma terminato (HALT): ') + view.microInstructions);
    } else if (outcome === 'err') {
        status(tr('Programma terminato con ERR'));
    } else if (outcome === 'breakpoint') {
        status(view.breakpointKind === 1 ? tr('Fermato dal punto di arresto sul micro-indirizzo %1', view.breakpointAddress)
            : tr('Fermato dal punto di arresto a PC = %1', view.breakpointAddress));
    } else if (outcome === 'atHistoryStart') {
        status(tr('Nessun passo da annullare'));
    } else if (outcome === 'memoryFull') {
        status(tr('Esecuzione fermata: il programma ha esaurito la memoria'));
    } else if (outcome === 'notLoaded') {
        status(tr('Nessun programma caricato: premere Compile and Load'));
    }
}

async function step(command) {
    if (running || !ready()) {
        return;
    }
    const outcome = await call(command);
    describe(outcome, lastView);
    if (outcome === 'done' && command.startsWith('stepBack')) {
        status(tr('Indietro: %1 micro-istruzioni dal reset', lastView.microInstructions));
    } else if (outcome === 'done') {
        status(tr('Micro-istruzioni: %1', lastView.microInstructions));
    }
}

async function run() {
    if (running || !ready()) {
        return;
    }
    setRunning(true);
    runFinished = call('run');
    const result = await runFinished;
    setRunning(false);
    const summary = tr('%1 micro-istruzioni in %2 s (%3 milioni al secondo)', result.executed, result.seconds.toFixed(2), rate(result.executed, result.seconds));
    if (result.outcome === 'stopped') {
        status(tr('Esecuzione fermata: ') + summary);
    } else if (result.outcome === 'halted') {
        status(tr('Programma terminato (HALT): ') + summary);
    } else {
        describe(result.outcome, lastView);
    }
}

function setRunning(on) {
    running = on;
    for (const id of ['compile', 'microStep', 'subCycle', 'ijvmStep', 'run', 'reset', 'stepBackMicro', 'stepBackIjvm']) {
        $(id).disabled = on;
    }
    $('stop').disabled = !on;
}

async function refresh() {
    await call('view', viewOptions());
    listingTexts = await call('listing');
    renderListing();
}

// The session marks the instruction on the line or the first one below it, as on the desktop;
// the lines must be those compiled.
async function toggleLineBreakpoint(line) {
    if (compiledText !== null && compiledText !== editor.value) {
        status(tr('Il programma è stato modificato: compilare prima'));
        return;
    }
    const toggled = await call('toggleLineBreakpoint', line);
    if (!toggled || !toggled.line) {
        status(tr('Nessuna istruzione caricata da questa riga in poi: compilare prima'));
        return;
    }
    status(tr(toggled.on ? 'Punto di arresto alla riga %1' : 'Punto di arresto tolto dalla riga %1', toggled.line));
}

async function toggleMicroBreakpoint(address) {
    const on = await call('toggleMicroBreakpoint', address);
    status(tr(on ? 'Punto di arresto sul micro-indirizzo %1' : 'Punto di arresto tolto dal micro-indirizzo %1', address));
}

function currentEditorLine() {
    const text = $('source');
    return text.value.slice(0, text.selectionStart).split('\n').length;
}

function setProgram(text, name) {
    editor.value = text;
    loadedText = null;
    compiledText = null;
    call('clearLineBreakpoints');
    showErrors([]);
    fileName = name;
    localStorage.setItem(storageKeys.program, text);
    localStorage.setItem(storageKeys.name, name);
    setModified(false);
}

// Edited since it was opened, created or saved: kept across a reload like the text itself.
function setModified(on) {
    localStorage.setItem(storageKeys.modified, on ? '1' : '');
}

function confirmDiscard() {
    return !localStorage.getItem(storageKeys.modified) || confirm(tr('Il programma è stato modificato. Scartare le modifiche?'));
}

// ---- Microprogram window -----------------------------------------------------------------------

const malEditor = new ProgramEditor($('malEditor'), {
    onChange: (text) => localStorage.setItem(storageKeys.microprogram, text),
    onToggleBreakpoint: () => {},
    highlight: highlightMalLine,
});

function showProblems(problems) {
    malEditor.setErrors(problems.map((p) => ({ line: p.line, start: lineStart(malEditor.value, p.line), length: 0, message: p.message })));
    fillList($('malProblems'), problems.map((p) => tr('Riga %1: %2', p.line, p.message)), (li, index) => {
        li.addEventListener('click', () => {
            const start = lineStart(malEditor.value, problems[index].line);
            const end = malEditor.value.indexOf('\n', start);
            malEditor.select(start, (end < 0 ? malEditor.value.length : end) - start);
        });
    });
}

function lineStart(text, line) {
    let at = 0;
    for (let n = 1; n < line && at >= 0; ++n) {
        at = text.indexOf('\n', at) + 1;
    }
    return Math.max(0, at);
}

async function translateMicroprogram() {
    if (running) {
        await call('stop');
        await runFinished;
    }
    const result = await call('loadMicroprogram', malEditor.value);
    showProblems(result.problems);
    if (result.ok) {
        listingTexts = await call('listing');
        renderListing();
        $('malStatus').textContent = tr('Microprogramma tradotto e caricato: %1 microistruzioni', listingTexts.filter((t) => t).length);
    } else {
        $('malStatus').textContent = '';
    }
}

async function checkMicroprogram() {
    $('checkResult').textContent = '...';
    const result = await call('checkMicroprogram', malEditor.value, 1, 50);
    showProblems(result.problems);
    if (result.problems.length > 0) {
        $('checkResult').textContent = '';
        $('malStatus').textContent = tr('Correggere gli errori della traduzione prima della verifica');
        return;
    }
    $('checkResult').textContent = result.lines.join('\n') || result.error;
    const verdicts = result.lines.filter((l) => !l.startsWith(' '));
    const wrong = verdicts.filter((l) => / FAIL/.test(l)).length;
    $('malStatus').textContent = wrong > 0 ? tr('Verifica: %1 istruzioni errate su %2', wrong, verdicts.length)
        : tr('Verifica: tutte le %1 istruzioni sono corrette', verdicts.length);
}

// ---- Files -----------------------------------------------------------------------------------

function openFile() {
    if (confirmDiscard()) {
        $('fileInput').click();
    }
}

$('fileInput').addEventListener('change', async () => {
    const file = $('fileInput').files[0];
    if (file) {
        setProgram(await file.text(), file.name);
        $('fileInput').value = '';
    }
});

function saveFile() {
    const url = URL.createObjectURL(new Blob([editor.value], { type: 'text/plain' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = fileName;
    link.click();
    setModified(false);
    setTimeout(() => URL.revokeObjectURL(url), 1000);
}

// ---- Language, menus, shortcuts ---------------------------------------------------------------

async function applyLanguage(name) {
    setLanguage(name);
    localStorage.setItem(storageKeys.language, name);
    $('language').value = name;
    for (const node of document.querySelectorAll('[data-text]')) {
        node.textContent = tr(node.dataset.text);
        if (node.dataset.key) {
            const key = document.createElement('kbd');
            key.textContent = node.dataset.key;
            node.append(key);
        }
    }
    $('infoText').textContent = tr('Un simulatore didattico della microarchitettura Mic-1 e del set di istruzioni IJVM, nel browser.');
    $('infoKeys').textContent = tr('Tasti diversi dal desktop: F4 punto di arresto (F5), Maiusc+F1 Info (F1), Ctrl+Invio Compile and Load.');
    await call('setLanguage', name);
    await call('view', viewOptions());
}

const actions = {
    newProgram: () => confirmDiscard() && setProgram('', 'program.jvm'),
    openFile,
    saveFile,
    openMicroprogram: () => $('microprogramDialog').showModal(),
    compile,
    reset: async () => {
        if (!running && ready()) {
            describe(await call('reset'), lastView);
        }
    },
    subCycle: () => step('subCycle'),
    microStep: () => step('microStep'),
    ijvmStep: () => step('ijvmStep'),
    run,
    stop: () => call('stop'),
    stepBackMicro: () => step('stepBackMicro'),
    stepBackIjvm: () => step('stepBackIjvm'),
    toggleBreakpoint: () => toggleLineBreakpoint(currentEditorLine()),
    showStatistics: async () => {
        $('statistics').textContent = await call('statistics');
        $('statisticsDialog').showModal();
    },
    languageIt: () => applyLanguage('it'),
    languageEn: () => applyLanguage('en'),
    showInfo: () => $('infoDialog').showModal(),
};

document.addEventListener('click', (event) => {
    const button = event.target.closest('[data-action]');
    if (button && !button.disabled) {
        actions[button.dataset.action]();
        if (document.activeElement && document.activeElement.closest('.menu')) {
            document.activeElement.blur();
        }
    }
});

// The desktop's keys; F5 and F1 stay the browser's, so F4 and Shift+F1 take their place.
const keys = {
    'Ctrl+n': 'newProgram', F3: 'openFile', F2: 'saveFile', 'Ctrl+Enter': 'compile', F10: 'reset', F6: 'subCycle',
    F7: 'microStep', F8: 'ijvmStep', F9: 'run', Escape: 'stop', 'Ctrl+F7': 'stepBackMicro', 'Ctrl+F8': 'stepBackIjvm',
    F4: 'toggleBreakpoint', 'Shift+F1': 'showInfo',
};
document.addEventListener('keydown', (event) => {
    if ($('microprogramDialog').open) {
        if (event.ctrlKey && event.key === 'Enter') {
            event.preventDefault();
            translateMicroprogram();
        }
        return;
    }
    const name = `${event.ctrlKey ? 'Ctrl+' : ''}${event.shiftKey ? 'Shift+' : ''}${event.key}`;
    const action = keys[name];
    if (action) {
        event.preventDefault();
        actions[action]();
    }
});

$('listing').addEventListener('click', (event) => {
    const item = event.target.closest('li');
    if (item) {
        toggleMicroBreakpoint([...$('listing').children].indexOf(item));
    }
});
$('format').addEventListener('change', async () => {
    format = Number($('format').value);
    shownRegisters = [];
    await call('view', viewOptions());
});
$('language').addEventListener('change', () => applyLanguage($('language').value));
$('input').addEventListener('change', async () => {
    const text = $('input').value.trim();
    const value = /^[-+]?\d+$/.test(text) ? Number(text) : /^0x[0-9a-f]+$/i.test(text) ? parseInt(text, 16) | 0 : NaN;
    if (!Number.isFinite(value) || value > 2147483647 || value < -2147483648) {
        status(tr('Il numero non è valido'));
        return;
    }
    await call('setInput', value);
});
$('translate').addEventListener('click', translateMicroprogram);
$('check').addEventListener('click', checkMicroprogram);
$('restore').addEventListener('click', () => {
    if (confirm(tr('Ripristinare il microprogramma originale?'))) {
        malEditor.value = bundledMicroprogram;
        localStorage.removeItem(storageKeys.microprogram);
    }
});
$('closeMicroprogram').addEventListener('click', () => $('microprogramDialog').close());
for (const button of document.querySelectorAll('dialog .close')) {
    button.addEventListener('click', () => button.closest('dialog').close());
}

// ---- Start -----------------------------------------------------------------------------------

async function start() {
    status(tr('Caricamento...'));
    setRunning(false);
    picture.setGeometry(JSON.parse(await call('datapathGeometry')));
    await applyLanguage(localStorage.getItem(storageKeys.language) || browserLanguage());
    const examples = await call('examples');
    $('exampleMenu').replaceChildren(...examples.map((example) => {
        const button = document.createElement('button');
        button.textContent = example.name;
        button.addEventListener('click', () => confirmDiscard() && setProgram(example.text, example.name));
        return button;
    }));
    bundledMicroprogram = await call('bundledMicroprogram');
    const savedMicroprogram = localStorage.getItem(storageKeys.microprogram);
    malEditor.value = savedMicroprogram ?? bundledMicroprogram;
    if (savedMicroprogram !== null && savedMicroprogram !== bundledMicroprogram) {
        const result = await call('loadMicroprogram', savedMicroprogram);
        showProblems(result.problems);
    }
    const saved = localStorage.getItem(storageKeys.program);
    editor.value = saved ?? (examples.find((e) => e.name === 'hello.jvm') || examples[0]).text;
    await refresh();
    status(tr('Pronto'));
    document.body.dataset.ready = 'true';
}

start();
