// The machine, away from the page: a Session of the WebAssembly core answers one request at a
// time, and a Run goes in slices of about kSliceMs, between which a Stop can arrive.
'use strict';
importScripts('tessaro-core.js');

const kSliceMs = 50;
let core = null;
let session = null;
let viewOptions = {};
let running = false;
let stopAsked = false;

// A pause that lets waiting messages (a Stop) in: a message to itself, since timers nested
// this deep wait at least 4 ms each.
const channel = new MessageChannel();
const waiting = [];
channel.port1.onmessage = () => waiting.shift()();
function yieldToMessages() {
    return new Promise((resolve) => {
        waiting.push(resolve);
        channel.port2.postMessage(null);
    });
}

const ready = createTessaroCore().then((module) => {
    core = module;
    session = new core.Session();
});

function reply(id, result) {
    postMessage({ id, result, view: session.view(viewOptions) });
}

// A Run: slices sized to take about kSliceMs, so that a Stop is heard within one of them.
async function run(id) {
    let outcome = session.startRun();
    running = true;
    stopAsked = false;
    let budget = 200000;
    const started = performance.now();
    const startCount = session.microInstructions();
    while (outcome === 'slice') {
        await yieldToMessages();
        if (stopAsked) {
            session.requestStop();
        }
        const sliceStart = performance.now();
        outcome = session.runSlice(budget);
        const took = performance.now() - sliceStart;
        if (took > 0 && outcome === 'slice') {
            budget = Math.max(10000, Math.min(50000000, Math.round((budget * kSliceMs) / took)));
        }
        const seconds = (performance.now() - started) / 1000;
        postMessage({
            progress: true,
            executed: session.microInstructions() - startCount,
            seconds,
        });
    }
    running = false;
    const seconds = (performance.now() - started) / 1000;
    const executed = session.microInstructions() - startCount;
    reply(id, { outcome, executed, seconds });
}

const commands = {
    compile: (text) => session.compile(text),
    loadMicroprogram: (text) => session.loadMicroprogram(text),
    microStep: () => session.microStep(),
    subCycle: () => session.subCycle(),
    ijvmStep: () => session.ijvmStep(),
    reset: () => session.reset(),
    stepBackMicro: () => session.stepBackMicro(),
    stepBackIjvm: () => session.stepBackIjvm(),
    setInput: (value) => session.setInput(value),
    toggleLineBreakpoint: (line) => session.toggleLineBreakpoint(line),
    toggleMicroBreakpoint: (address) => session.toggleMicroBreakpoint(address),
    clearLineBreakpoints: () => session.clearLineBreakpoints(),
    listing: () => session.listing(),
    statistics: () => session.statistics(),
    view: (options) => {
        viewOptions = options;
        return null;
    },
    examples: () => core.examples(),
    bundledMicroprogram: () => core.bundledMicroprogram(),
    checkMicroprogram: (text, seed, programs) => core.checkMicroprogram(text, seed, programs),
    setLanguage: (name) => core.setLanguage(name),
    datapathGeometry: () => core.datapathGeometry(),
};

onmessage = async (event) => {
    const { id, command, args } = event.data;
    await ready;
    if (command === 'stop') {
        stopAsked = true;
        postMessage({ id, result: running });
        return;
    }
    if (command === 'run') {
        if (running) {
            postMessage({ id, result: { outcome: 'busy' } });
            return;
        }
        run(id);
        return;
    }
    // Marks may change during a run, as on the desktop: the next slice stops at them.
    const allowedWhileRunning = ['view', 'statistics', 'toggleLineBreakpoint', 'toggleMicroBreakpoint'];
    if (running && !allowedWhileRunning.includes(command)) {
        postMessage({ id, result: 'busy', view: session.view(viewOptions) });
        return;
    }
    reply(id, commands[command](...(args || [])));
};
