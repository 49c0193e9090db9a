// The WebAssembly core against the native command-line tool: the same programs give the same
// output, outcome and micro-instruction count. Run by CTest with TESSARO_CLI (tessaro-cli),
// TESSARO_WEB_DIR (the folder holding tessaro-core.js) and TESSARO_SOURCE_DIR.
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { spawnSync } = require('node:child_process');

const cli = process.env.TESSARO_CLI;
const sourceDir = process.env.TESSARO_SOURCE_DIR;
const createTessaroCore = require(path.join(process.env.TESSARO_WEB_DIR, 'tessaro-core.js'));
const coreReady = createTessaroCore();
const examples = path.join(sourceDir, 'examples');
const maxSteps = 200000000;

const exitOutcome = { 0: 'halt', 1: 'error', 2: 'bound', 3: 'err', 4: 'memory' };

// What `tessaro-cli run --stats` does with a program text and its standard input.
function native(source, input, steps, microprogram) {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'tessaro-web-'));
    const program = path.join(dir, 'program.jvm');
    fs.writeFileSync(program, source);
    const args = ['run', program, '--stats', '--max-steps', String(steps)];
    if (microprogram !== undefined) {
        fs.writeFileSync(path.join(dir, 'micro.mal'), microprogram);
        args.push('--microprogram', path.join(dir, 'micro.mal'));
    }
    const run = spawnSync(cli, args, { input, encoding: 'latin1' });
    fs.rmSync(dir, { recursive: true });
    const counted = /^micro-instructions: (\d+)$/m.exec(run.stderr);
    return {
        output: run.stdout,
        outcome: exitOutcome[run.status],
        microInstructions: counted ? Number(counted[1]) : undefined,
    };
}

function sameAsNative(core, source, input, steps = maxSteps) {
    const expected = native(source, input, steps);
    const got = core.runProgram(source, input, steps);
    assert.strictEqual(got.outcome, expected.outcome, got.message);
    assert.strictEqual(Buffer.from(got.output, 'latin1').toString('latin1'), expected.output);
    if (expected.microInstructions !== undefined) {
        assert.strictEqual(got.microInstructions, expected.microInstructions);
    }
    return got;
}

test('every example runs as on the command line', async () => {
    const core = await coreReady;
    for (const file of fs.readdirSync(examples).filter((f) => f.endsWith('.jvm')).sort()) {
        const base = path.join(examples, file.slice(0, -4));
        const input = fs.existsSync(`${base}.in`) ? fs.readFileSync(`${base}.in`, 'latin1') : '';
        const got = sameAsNative(core, fs.readFileSync(`${base}.jvm`, 'utf8'), input);
        assert.strictEqual(got.output, fs.readFileSync(`${base}.out`, 'latin1'), file);
    }
});

test('every way a run ends, as on the command line', async (t) => {
    const core = await coreReady;
    const loop = '.main\nL1: GOTO L1\nHALT\n.end-main\n';
    const cases = [
        { name: 'bound in slices', source: loop, input: '', steps: 1001 },
        { name: 'bound between instructions', source: '.main\nL1: OUT\nBIPUSH 65\nGOTO L1\n.end-main\n', input: '', steps: 999 },
        { name: 'ERR', source: '.main\nBIPUSH 66\nOUT\nERR\n.end-main\n', input: '' },
        { name: 'past the end of the code', source: '.main\nBIPUSH 1\nPOP\n.end-main\n', input: '' },
        { name: 'input not a number', source: '.main\nIN\nOUT\nHALT\n.end-main\n', input: '12abc' },
        { name: 'input exhausted reads 0', source: '.main\nIN\nIN\nIADD\nBIPUSH 48\nIADD\nOUT\nHALT\n.end-main\n', input: ' 7 ' },
        { name: 'a byte past 127 stays one character', source: '.main\nBIPUSH -48\nOUT\nHALT\n.end-main\n', input: '' },
        { name: 'hexadecimal input', source: '.main\nIN\nOUT\nHALT\n.end-main\n', input: '0x41\n' },
    ];
    for (const c of cases) {
        await t.test(c.name, () => sameAsNative(core, c.source, c.input, c.steps));
    }
});

test('a program with errors gives them, placed in its lines', async () => {
    const core = await coreReady;
    const source = '.main\nBIPUSH 1\nFOO\nHALT\n.end-main\n';
    const got = core.runProgram(source, '', 1000);
    assert.strictEqual(got.outcome, 'error');
    assert.ok(got.errors.length > 0);
    const error = got.errors.find((e) => e.line === 3);
    assert.ok(error, JSON.stringify(got.errors));
    assert.strictEqual(source.substr(error.start, error.length), 'FOO');
});

test('microprogram translation and check as on the command line', async () => {
    const core = await coreReady;
    const original = core.bundledMicroprogram();
    const translation = core.translateMicroprogram(' goto nowhere\n');
    assert.strictEqual(translation.ok, false);
    assert.ok(translation.problems.some((p) => p.line === 1), JSON.stringify(translation.problems));

    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'tessaro-web-'));
    fs.writeFileSync(path.join(dir, 'v.mal'), original);
    const expected = spawnSync(cli, ['check', path.join(dir, 'v.mal'), '--seed', '7', '--programs', '3'], { encoding: 'utf8' });
    fs.rmSync(dir, { recursive: true });
    const got = core.checkMicroprogram(original, 7, 3);
    assert.strictEqual(got.lines.join('\n') + '\n', expected.stdout);
    assert.strictEqual(got.passed, expected.status === 0);
});

test('a translated microprogram is the one programs run on', async () => {
    const core = await coreReady;
    const original = core.bundledMicroprogram();
    // An IADD that subtracts: the sum example's output changes exactly as natively.
    const changed = original.replace('MDR = TOS = MDR + H; wr', 'MDR = TOS = MDR - H; wr');
    assert.notStrictEqual(changed, original);
    const source = '.main\nBIPUSH 60\nBIPUSH 5\nIADD\nOUT\nHALT\n.end-main\n';
    assert.strictEqual(core.translateMicroprogram(changed).ok, true);
    const got = core.runProgram(source, '', 100000);
    const expected = native(source, '', 100000, changed);
    assert.strictEqual(got.output, '7');
    assert.strictEqual(got.output, expected.output);
    assert.strictEqual(core.translateMicroprogram(original).ok, true);
    assert.strictEqual(core.runProgram(source, '', 100000).output, 'A');
});

test('the picture geometry is whole JSON and every part lies inside the picture', async () => {
    const core = await coreReady;
    const g = JSON.parse(core.datapathGeometry());
    const [width, height] = g.size;
    const inside = ([x, y, w = 0, h = 0]) => x >= 0 && y >= 0 && x + w <= width && y + h <= height;
    const rects = [g.cDrop, g.cRun, g.bStub, g.aBus, g.shifter, g.controlStore, g.mirBox, g.memory,
        ...g.mirBits, ...g.registers.flatMap((r) => [r.box, r.label, r.cStub, r.bConnection])];
    const lines = [...g.bLines, ...g.cLines, ...Object.values(g.controlLines), ...g.wires.map((w) => w.points)];
    assert.ok(rects.every(inside) && lines.flat().every(inside) && g.alu.every(inside));
    assert.deepStrictEqual(g.registers.map((r) => r.name), ['MAR', 'MDR', 'PC', 'MBR', 'SP', 'LV', 'CPP', 'TOS', 'OPC', 'H']);
    // Each C-decoder line ends at the box of the register its bit writes.
    for (const r of g.registers.filter((reg) => reg.cBit >= 0)) {
        const end = g.cLines[r.cBit].at(-1);
        assert.strictEqual(end[0], r.box[0], r.name);
        assert.ok(end[1] > r.box[1] && end[1] < r.box[1] + r.box[3], r.name);
    }
});

test('the page\'s session keeps its breakpoints by line, across a compile', async () => {
    const core = await coreReady;
    const session = new core.Session();
    const view = () => session.view({});
    session.compile('.main\nBIPUSH 1\n\nloop: GOTO loop\n.end-main\n');
    assert.deepStrictEqual(session.toggleLineBreakpoint(3), { line: 4, on: true });
    assert.strictEqual(session.toggleMicroBreakpoint(7), true);
    // A line inserted above: line 4 now holds an instruction at another address.
    session.compile('.main\nBIPUSH 1\nBIPUSH 2\nloop: GOTO loop\n.end-main\n');
    assert.deepStrictEqual(view().breakpointLines, [4]);
    assert.deepStrictEqual(view().microBreakpoints, [7]);
    session.toggleMicroBreakpoint(7);
    let outcome = session.startRun();
    while (outcome === 'slice') {
        outcome = session.runSlice(1000);
    }
    assert.strictEqual(outcome, 'breakpoint');
    assert.strictEqual(view().currentLine, 4);
    session.clearLineBreakpoints();
    assert.deepStrictEqual(view().breakpointLines, []);
    assert.strictEqual(session.toggleLineBreakpoint(5).line, 0);
    session.delete();
});
