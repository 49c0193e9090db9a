// The datapath picture, drawn in SVG on the desktop's own geometry (the core's table, read from
// the module as JSON) from the presentation model: the decoder and control lines of the
// micro-instruction executed last, the B and C bus traces, the bus values and the ALU's text,
// each revealed in its phase of the sub-cycle (0 execute, 1 B bus, 2 ALU, 3 C bus).

const svgNs = 'http://www.w3.org/2000/svg';
// The desktop figure's palette.
const colours = {
    paper: '#ffffff', ink: '#20242c', wire: '#60646c', busFill: '#c2cad6', busEdge: '#8c929c',
    registerFill: '#f6f8fc', decoderFill: '#fff6d6', aluFill: '#e2ecfa', storeFill: '#f0f0e8',
    caption: '#464c5a', idle: '#000000', active: '#ff0000', trace: '#0000ff', value: '#000080',
    panel: '#58687a', result: '#ffff00',
};

function element(name, attributes, text) {
    const node = document.createElementNS(svgNs, name);
    for (const [key, value] of Object.entries(attributes)) {
        node.setAttribute(key, value);
    }
    if (text !== undefined) {
        node.textContent = text;
    }
    return node;
}

const points = (line) => line.map(([x, y]) => `${x},${y}`).join(' ');
const middleOf = ([x, y, width, height]) => [x + width / 2, y + height / 2];

export class DatapathPicture {
    constructor(svg) {
        this.svg = svg;
        this.geometry = null;
        this.parts = {};
    }

    /// Draws the figure from the core's geometry (datapathGeometry of the module).
    setGeometry(geometry) {
        this.geometry = geometry;
        this.parts = {};
        this.svg.replaceChildren();
        this.build(geometry);
    }

    add(key, name, attributes, text) {
        const node = element(name, attributes, text);
        this.svg.appendChild(node);
        if (key) {
            this.parts[key] = node;
        }
        return node;
    }

    rect(key, [x, y, width, height], fill, stroke, strokeWidth = 1) {
        const attributes = stroke
            ? { x: x + 0.5, y: y + 0.5, width: width - 1, height: height - 1, fill, stroke, 'stroke-width': strokeWidth }
            : { x, y, width, height, fill };
        return this.add(key, 'rect', attributes);
    }

    text(key, [x, y], content, { size = 10, bold = false, anchor = 'middle', fill = colours.ink, rotate = false } = {}) {
        const attributes = {
            x, y, fill, 'font-family': 'DejaVu Sans, Liberation Sans, Arial, sans-serif', 'font-size': size,
            'font-weight': bold ? 'bold' : 'normal', 'text-anchor': anchor, 'dominant-baseline': 'central',
        };
        if (rotate) {
            attributes.transform = `rotate(-90 ${x} ${y})`;
        }
        return this.add(key, 'text', attributes, content);
    }

    line(key, line, colour, { width = 2, arrow = true } = {}) {
        if (line.length < 2) {
            return null;
        }
        const node = this.add(key, 'polyline', {
            points: points(line), fill: 'none', stroke: colour, 'stroke-width': width,
            'stroke-linejoin': 'miter', 'marker-end': arrow ? 'url(#arrow)' : 'none',
        });
        return node;
    }

    // The slash and bit count that mark a bundle, on its longest segment.
    bundleMark(line, bits) {
        let longest = 0;
        let longestLength = -1;
        for (let i = 0; i + 1 < line.length; ++i) {
            const length = Math.hypot(line[i + 1][0] - line[i][0], line[i + 1][1] - line[i][1]);
            if (length > longestLength) {
                longestLength = length;
                longest = i;
            }
        }
        const [ax, ay] = line[longest];
        const [bx, by] = line[longest + 1];
        const [mx, my] = [(ax + bx) / 2, (ay + by) / 2];
        this.add(null, 'line', { x1: mx - 4, y1: my + 4, x2: mx + 4, y2: my - 4, stroke: colours.wire, 'stroke-width': 1.2 });
        const vertical = Math.abs(bx - ax) < Math.abs(by - ay);
        const at = vertical ? [mx + 6, my] : [mx, my - 16 < 0 ? my + 10 : my - 10];
        this.text(null, at, String(bits), { size: 9, anchor: vertical ? 'start' : 'middle', fill: colours.caption });
    }

    build(g) {
        const s = this.svg;
        s.setAttribute('viewBox', `0 0 ${g.size[0]} ${g.size[1]}`);
        const defs = this.add(null, 'defs', {});
        const marker = element('marker', { id: 'arrow', viewBox: '0 0 8 8', refX: 7, refY: 4, markerWidth: 4, markerHeight: 4, orient: 'auto' });
        marker.appendChild(element('path', { d: 'M0,0 L8,4 L0,8 Z', fill: 'context-stroke' }));
        defs.appendChild(marker);
        this.rect(null, [0, 0, g.size[0], g.size[1]], colours.paper);

        // Buses first, so that boxes and lines sit on them; the traces lie on the buses.
        const topOnB = g.registers.find((r) => r.onBBus);
        const buses = [g.registers[0].cVertical, g.cRun, g.cDrop, topOnB.bVertical, g.bStub, g.aBus, g.aluToShifter];
        for (const r of g.registers) {
            if (r.cBit >= 0) {
                buses.push(r.cStub);
            }
            if (r.onBBus) {
                buses.push(r.bConnection);
            }
        }
        for (const bus of buses) {
            this.rect(null, bus, colours.busFill);
        }
        this.traces = this.add(null, 'g', {});
        this.text(null, [g.registers[0].cVertical[0] - 10, g.cRun[1] - 40], 'C bus', { bold: true, fill: colours.caption, rotate: true });
        this.text(null, [topOnB.bConnection[0] + 3, topOnB.bConnection[1] - 20], 'B bus', { bold: true, anchor: 'start', fill: colours.caption });
        this.text(null, [g.aBus[0] - 9, g.aBus[1] + 11], 'A', { bold: true, fill: colours.caption });

        for (const r of g.registers) {
            this.rect(`box${r.name}`, r.box, colours.registerFill, colours.ink, 1.2);
            this.text(null, [r.box[0] + 4, middleOf(r.box)[1]], r.name, { bold: true, anchor: 'start' });
            this.text(`value${r.name}`, [r.label[0], middleOf(r.label)[1]], '0', { size: 12, bold: true, anchor: 'start', fill: colours.value });
        }
        this.rect(null, g.cDecoder, colours.decoderFill, colours.ink);
        this.text(null, middleOf(g.cDecoder), 'C decoder', { bold: true, rotate: true });
        this.rect(null, g.bDecoder, colours.decoderFill, colours.ink);
        this.text(null, middleOf(g.bDecoder), 'B decoder', { bold: true, rotate: true });

        this.add('alu', 'polygon', { points: points(g.alu), fill: colours.aluFill, stroke: colours.ink, 'stroke-width': 1.4 });
        const aluTop = g.alu[0][1];
        const aluBottom = g.alu[5][1];
        this.text(null, [(g.alu[5][0] + g.alu[6][0]) / 2, (aluTop + aluBottom) / 2 + 5], 'ALU', { size: 13, bold: true });
        this.rect(null, g.shifter, colours.aluFill, colours.ink, 1.2);
        this.text(null, middleOf(g.shifter), 'Shifter', { size: 11, bold: true });
        this.rect(null, g.nBox, colours.registerFill, colours.ink, 1.2);
        this.rect(null, g.zBox, colours.registerFill, colours.ink, 1.2);
        this.text(null, [g.nBox[0] + g.nBox[2] + 11, g.nBox[1] + 3], 'N', { bold: true, fill: colours.caption });
        this.text(null, [g.zBox[0] + g.zBox[2] + 11, g.zBox[1] + 3], 'Z', { bold: true, fill: colours.caption });
        this.text('nValue', [g.nValue[0], middleOf(g.nValue)[1]], '0', { size: 11, anchor: 'start' });
        this.text('zValue', [g.zValue[0], middleOf(g.zValue)[1]], '0', { size: 11, anchor: 'start' });

        const store = g.controlStore;
        this.rect(null, [store[0] - 2, store[1] - 2, store[2] + 4, store[3] + 4], colours.storeFill, colours.ink, 1.2);
        this.text(null, [store[0], store[1] - 11], 'Control store', { size: 11, bold: true, anchor: 'start' });
        this.text(null, [store[0] + 110, store[1] - 11], '512 words of 36 bits', { anchor: 'start', fill: colours.caption });
        this.rect(null, g.mpcBox, colours.registerFill, colours.ink, 1.4);
        this.text(null, [g.mpcBox[0] - 2, g.mpcBox[1] - 9], 'MPC', { bold: true, anchor: 'start' });
        this.text('mpcValue', [g.mpcValue[0], middleOf(g.mpcValue)[1]], '0', { size: 11, anchor: 'start' });
        const next = g.nextAddress;
        this.rect(null, next, colours.decoderFill, colours.ink, 1.2);
        this.text(null, [middleOf(next)[0], next[1] + 12], 'Next address', { bold: true });
        this.text(null, [middleOf(next)[0], next[1] + 28], 'JAMN · JAMZ · JMPC', { size: 9, fill: colours.caption });

        const mir = g.mirBox;
        this.rect(null, mir, colours.registerFill, colours.ink, 1.4);
        for (const field of g.mirFields) {
            const left = g.mirBits[field.first][0];
            const right = g.mirBits[field.last][0] + g.mirBits[field.last][2];
            this.text(null, [(left + right) / 2, mir[1] + 9], field.name, { size: 9, bold: true, fill: colours.caption });
        }
        this.mirBits = g.mirBits.map((bit) => this.text(null, middleOf(bit), '0', { size: 11 }));
        this.text(null, [mir[0] + 4, mir[1] + mir[3] + 10], 'MIR', { bold: true, anchor: 'start' });
        const memory = g.memory;
        this.rect(null, memory, colours.storeFill, colours.ink, 1.2);
        this.text(null, [middleOf(memory)[0], memory[1] + 10], 'Main memory', { bold: true });
        this.text(null, [memory[0] + 6, memory[1] + 26], 'MAR, MDR: words', { size: 9, anchor: 'start', fill: colours.caption });
        this.text(null, [memory[0] + 6, memory[1] + 38], 'PC, MBR: bytes', { size: 9, anchor: 'start', fill: colours.caption });

        for (const wire of g.wires) {
            this.line(null, wire.points, colours.wire, { width: wire.bits > 1 ? 3 : 2, arrow: wire.arrow });
            if (wire.bits > 1) {
                this.bundleMark(wire.points, wire.bits);
            }
        }
        // The lines that a micro-instruction colours.
        g.bLines.forEach((line, code) => this.line(`b${code}`, line, colours.idle));
        g.cLines.forEach((line, bit) => this.line(`c${bit}`, line, colours.idle));
        for (const [name, line] of Object.entries(g.controlLines)) {
            this.line(`control${name}`, line, colours.idle, { arrow: ['SRA1', 'SLL8', 'JMPC', 'NZ'].includes(name) });
        }

        this.rect('aluPanel', g.aluPanel, colours.panel, colours.ink);
        this.text('aluText', middleOf(g.aluPanel), 'ALU', { size: 13, bold: true, fill: colours.idle });
        this.text('bValue', [g.busBValue[0] + g.busBValue[2], middleOf(g.busBValue)[1]], '', { size: 11, bold: true, anchor: 'end' });
        this.text('cValue', [g.busCValue[0], middleOf(g.busCValue)[1]], '', { size: 11, bold: true, anchor: 'start' });
    }

    /// Shows the state p of the model with the register values given (those the page shows)
    /// and MPC.
    show(p, registers, mpc) {
        const g = this.geometry;
        if (!g) {
            return;
        }
        const paint = (key, on) => this.parts[key] && this.parts[key].setAttribute('stroke', on ? colours.active : colours.idle);
        const written = (r) => r.cBit >= 0 && ((p.cBits >> r.index) & 1) === 1;
        for (const r of g.registers) {
            const value = registers.find((v) => v.name === r.name);
            this.parts[`value${r.name}`].textContent = value ? String(value.text) : '0';
            const colour = p.phase >= 3 && written(r) ? colours.active : r.index === p.bSource ? '#ff00ff' : colours.value;
            this.parts[`value${r.name}`].setAttribute('fill', colour);
        }
        // Decoder and control lines of the micro-instruction executed last.
        g.bLines.forEach((line, code) => paint(`b${code}`, code === p.bCode));
        g.registers.forEach((r) => r.cBit >= 0 && paint(`c${r.cBit}`, written(r)));
        paint('controlSRA1', p.sra1);
        paint('controlSLL8', p.sll8);
        paint('controlJMPC', p.jmpc);
        paint('controlN', p.n);
        paint('controlZ', p.z);
        paint('controlNZ', p.n || p.z);

        // The traces: the B bus from its source down to the ALU, the C bus up to the highest
        // register written.
        const traces = [];
        const source = g.registers.find((r) => r.index === p.bSource);
        if (p.phase >= 1 && source) {
            traces.push(source.bConnection, source.bVertical, g.bStub);
        }
        const destinations = g.registers.filter(written);
        if (p.phase >= 3) {
            const top = destinations.reduce((a, r) => (a === null || r.box[1] < a.box[1] ? r : a), null) || g.registers[0];
            traces.push(g.cDrop, g.cRun, top.cVertical, ...destinations.map((r) => r.cStub));
        }
        this.traces.replaceChildren(...traces.map(([x, y, width, height]) => element('rect', { x, y, width, height, fill: colours.trace })));

        const bits = p.mirBits || '';
        this.mirBits.forEach((node, i) => {
            node.textContent = bits[i] ?? '0';
        });
        this.parts.nValue.textContent = p.n ? '1' : '0';
        this.parts.zValue.textContent = p.z ? '1' : '0';
        this.parts.mpcValue.textContent = String(mpc ?? 0);
        this.parts.bValue.textContent = p.phase >= 1 && source ? String(p.bBus) : '';
        this.parts.aluText.textContent = p.phase >= 2 ? p.aluText : 'ALU';
        this.parts.aluText.setAttribute('fill', p.phase >= 2 ? colours.result : colours.idle);
        this.parts.cValue.textContent = p.phase >= 3 ? `C = ${p.cBus}` : '';
    }
}
