// The datapath picture, drawn in SVG from the presentation model: which register drives the
// B bus, which the C bus writes, the control lines, the bus values and the ALU's text, each
// revealed in its phase of the sub-cycle (0 execute, 1 B bus, 2 ALU, 3 C bus).

const svgNs = 'http://www.w3.org/2000/svg';
const order = ['MAR', 'MDR', 'PC', 'MBR', 'SP', 'LV', 'CPP', 'TOS', 'OPC', 'H'];
const registerIndex = { MAR: 0, MDR: 1, PC: 2, SP: 3, LV: 4, CPP: 5, TOS: 6, OPC: 7, H: 8, MBR: 9 };
const box = { x: 150, width: 120, height: 30, top: 16, pitch: 42 };
const cBusX = 110;
const bBusX = 310;
const aluTop = box.top + order.length * box.pitch + 22;
const aluY = aluTop + 20;
const shifterY = aluTop + 70;

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

function rowY(name) {
    return box.top + order.indexOf(name) * box.pitch;
}

export class DatapathPicture {
    constructor(svg) {
        this.svg = svg;
        this.parts = {};
        this.build();
    }

    add(key, name, attributes, text) {
        const node = element(name, attributes, text);
        this.svg.appendChild(node);
        if (key) {
            this.parts[key] = node;
        }
        return node;
    }

    build() {
        const s = this.svg;
        s.setAttribute('viewBox', `0 0 540 ${shifterY + 70}`);
        // Buses: C on the left, B on the right, A from H to the ALU.
        this.add('cBus', 'path', { d: `M${cBusX} ${shifterY + 15} V${box.top + 15}`, class: 'bus' });
        this.add('bBus', 'path', { d: `M${bBusX} ${box.top + box.pitch + 15} V${aluY}`, class: 'bus' });
        this.add('aBus', 'path', { d: `M${box.x + 60} ${rowY('H') + box.height} V${aluY}`, class: 'bus' });
        this.add('bToAlu', 'path', { d: `M${bBusX} ${aluY} H${box.x + 110} V${aluY + 4}`, class: 'bus' });
        this.add('aluToShifter', 'path', { d: `M${box.x + 60} ${aluY + 40} V${shifterY}`, class: 'bus' });
        this.add('shifterToC', 'path', { d: `M${box.x} ${shifterY + 15} H${cBusX}`, class: 'bus' });
        this.add(null, 'text', { x: cBusX - 4, y: box.top - 4, class: 'caption', 'text-anchor': 'middle' }, 'C');
        this.add(null, 'text', { x: bBusX + 4, y: box.top + box.pitch + 8, class: 'caption', 'text-anchor': 'middle' }, 'B');
        for (const name of order) {
            const y = rowY(name);
            if (name !== 'MBR') {
                this.add(`c${name}`, 'path', { d: `M${cBusX} ${y + 15} H${box.x}`, class: 'bus' });
            }
            if (name !== 'MAR' && name !== 'H') {
                this.add(`b${name}`, 'path', { d: `M${box.x + box.width} ${y + 15} H${bBusX}`, class: 'bus' });
            }
            this.add(`box${name}`, 'rect', { x: box.x, y, width: box.width, height: box.height, class: 'register' });
            this.add(null, 'text', { x: box.x + 6, y: y + 20, class: 'name' }, name);
            this.add(`value${name}`, 'text', { x: box.x + box.width - 6, y: y + 20, class: 'value', 'text-anchor': 'end' }, '0');
        }
        // ALU and shifter.
        const left = box.x;
        this.add('alu', 'path', { d: `M${left} ${aluY} H${left + 120} L${left + 95} ${aluY + 40} H${left + 25} Z`, class: 'unit' });
        this.add(null, 'text', { x: left + 60, y: aluY + 25, class: 'name', 'text-anchor': 'middle' }, 'ALU');
        this.add('shifter', 'rect', { x: left + 10, y: shifterY, width: 100, height: 30, class: 'unit' });
        this.add(null, 'text', { x: left + 60, y: shifterY + 20, class: 'name', 'text-anchor': 'middle' }, 'Shifter');
        this.add('aluText', 'text', { x: left + 130, y: aluY + 25, class: 'alu-text' }, 'ALU');
        this.add('bValue', 'text', { x: bBusX + 8, y: aluY - 8, class: 'bus-value' }, '');
        this.add('cValue', 'text', { x: cBusX - 6, y: shifterY + 40, class: 'bus-value', 'text-anchor': 'middle' }, '');
        // Memory and its control lines.
        this.add('memory', 'rect', { x: 380, y: box.top, width: 140, height: 4 * box.pitch - 12, class: 'unit' });
        this.add(null, 'text', { x: 450, y: box.top + 20, class: 'name', 'text-anchor': 'middle' }, 'Main memory');
        const lines = [['read', 'rd'], ['write', 'wr'], ['fetch', 'fetch'], ['jmpc', 'JMPC'], ['jamn', 'JAMN'],
            ['jamz', 'JAMZ'], ['sll8', 'SLL8'], ['sra1', 'SRA1'], ['n', 'N'], ['z', 'Z']];
        lines.forEach(([key, label], i) => {
            const x = 390 + (i % 3) * 45;
            const y = i < 3 ? box.top + 60 + i * 30 : rowY('SP') + 40 + Math.floor((i - 3) / 2) * 34;
            const cx = i < 3 ? 400 : 390 + ((i - 3) % 2) * 70;
            this.add(`line_${key}`, 'circle', { cx, cy: y - 5, r: 6, class: 'control' });
            this.add(null, 'text', { x: cx + 12, y, class: 'caption' }, label);
            void x;
        });
    }

    /// Shows the state p of the model with the register values given (those the page shows).
    show(p, registers) {
        const set = (key, on, cls = 'active') => this.parts[key] && this.parts[key].classList.toggle(cls, on);
        const bName = p.bSource >= 0 ? Object.keys(registerIndex).find((n) => registerIndex[n] === p.bSource) : null;
        for (const name of order) {
            const index = registerIndex[name];
            const value = registers.find((r) => r.name === name);
            this.parts[`value${name}`].textContent = value ? String(value.text) : '0';
            set(`box${name}`, name === bName && p.phase >= 0, 'source');
            set(`box${name}`, p.phase >= 3 && index < 9 && (p.cBits >> index) & 1, 'destination');
            set(`b${name}`, p.phase >= 1 && name === bName);
            set(`c${name}`, p.phase >= 3 && index < 9 && ((p.cBits >> index) & 1) === 1);
        }
        set('bBus', p.phase >= 1 && bName !== null);
        set('bToAlu', p.phase >= 1 && bName !== null);
        set('aBus', p.phase >= 2);
        set('aluToShifter', p.phase >= 2);
        set('shifterToC', p.phase >= 3 && p.cBits !== 0);
        set('cBus', p.phase >= 3 && p.cBits !== 0);
        for (const key of ['read', 'write', 'fetch', 'jmpc', 'jamn', 'jamz', 'sll8', 'sra1', 'n', 'z']) {
            set(`line_${key}`, Boolean(p[key]));
        }
        this.parts.bValue.textContent = p.phase >= 1 && bName !== null ? String(p.bBus) : '';
        this.parts.aluText.textContent = p.phase >= 2 ? p.aluText : 'ALU';
        this.parts.cValue.textContent = p.phase >= 3 ? String(p.cBus) : '';
    }
}
