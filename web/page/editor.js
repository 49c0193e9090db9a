// A program editor: a textarea over a highlighted copy of its text, with a margin of line
// numbers where a click sets a breakpoint, error marks under the faulty spans, and the line
// of the current instruction lit.

const keywords = new Set([
    'BIPUSH', 'DUP', 'ERR', 'GOTO', 'HALT', 'IADD', 'IAND', 'IFEQ', 'IFLT', 'IF_ICMPEQ', 'IINC',
    'ILOAD', 'IN', 'INVOKEVIRTUAL', 'IOR', 'IRETURN', 'ISTORE', 'ISUB', 'LDC_W', 'NOP', 'OUT',
    'POP', 'SWAP', 'WIDE',
]);

function escapeHtml(text) {
    return text.replace(/[&<>]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;' })[c]);
}

const malWords = new Set(['rd', 'wr', 'fetch', 'goto', 'if', 'else', 'and', 'or', 'not']);
const malRegisters = new Set(['MAR', 'MDR', 'PC', 'MBR', 'MBRU', 'SP', 'LV', 'CPP', 'TOS', 'OPC', 'H', 'N', 'Z']);

/// One line of MAL source as highlighted HTML: a label at the start, registers, keywords,
/// numbers, and the comment after "/".
export function highlightMalLine(line) {
    const comment = line.indexOf('/');
    const code = comment >= 0 ? line.slice(0, comment) : line;
    const rest = comment >= 0 ? line.slice(comment) : '';
    const html = code.replace(/^([A-Za-z_][A-Za-z0-9_]*)|(\b\d+\b)|([A-Za-z_][A-Za-z0-9_]*)|([^A-Za-z0-9_]+)/g,
        (all, label, number, word, other) => {
            if (label !== undefined) {
                return `<span class="label">${escapeHtml(label)}</span>`;
            }
            if (number !== undefined) {
                return `<span class="number">${number}</span>`;
            }
            if (word !== undefined) {
                if (malWords.has(word.toLowerCase())) {
                    return `<span class="keyword">${word}</span>`;
                }
                return malRegisters.has(word.toUpperCase()) ? `<span class="directive">${word}</span>` : escapeHtml(word);
            }
            return escapeHtml(other);
        });
    return html + (rest ? `<span class="comment">${escapeHtml(rest)}</span>` : '');
}

/// One line of IJVM source as highlighted HTML.
export function highlightLine(line) {
    const comment = line.indexOf('//');
    const code = comment >= 0 ? line.slice(0, comment) : line;
    const rest = comment >= 0 ? line.slice(comment) : '';
    const html = code.replace(/(\.[A-Za-z-]+)|([A-Za-z_][A-Za-z0-9_]*:)|(-?\b(?:0[xX][0-9a-fA-F]+|\d+)\b)|([A-Za-z_][A-Za-z0-9_]*)|([^A-Za-z0-9_.-]+|.)/g,
        (all, directive, label, number, word, other) => {
            if (directive) {
                return `<span class="directive">${escapeHtml(directive)}</span>`;
            }
            if (label) {
                return `<span class="label">${escapeHtml(label)}</span>`;
            }
            if (number) {
                return `<span class="number">${number}</span>`;
            }
            if (word) {
                return keywords.has(word.toUpperCase()) ? `<span class="keyword">${word}</span>` : escapeHtml(word);
            }
            return escapeHtml(other);
        });
    return html + (rest ? `<span class="comment">${escapeHtml(rest)}</span>` : '');
}

export class ProgramEditor {
    constructor(root, { onChange, onToggleBreakpoint, highlight = highlightLine }) {
        this.root = root;
        this.highlight = highlight;
        this.gutter = root.querySelector('.gutter');
        this.layer = root.querySelector('.highlight');
        this.text = root.querySelector('textarea');
        this.errors = [];
        this.breakpoints = new Set();
        this.currentLine = 0;
        this.text.addEventListener('input', () => {
            this.errors = [];
            this.render();
            onChange(this.text.value);
        });
        this.text.addEventListener('scroll', () => this.syncScroll());
        this.text.addEventListener('keydown', (event) => {
            if (event.key === 'Tab' && !event.ctrlKey && !event.altKey) {
                event.preventDefault();
                document.execCommand('insertText', false, '\t');
            }
        });
        this.gutter.addEventListener('click', (event) => {
            const row = event.target.closest('[data-line]');
            if (row) {
                onToggleBreakpoint(Number(row.dataset.line));
            }
        });
    }

    get value() {
        return this.text.value;
    }

    set value(text) {
        this.text.value = text;
        this.errors = [];
        this.render();
    }

    setErrors(errors) {
        this.errors = errors;
        this.render();
    }

    setBreakpoints(lines) {
        this.breakpoints = new Set(lines);
        this.renderGutter();
    }

    setCurrentLine(line) {
        if (line !== this.currentLine) {
            this.currentLine = line;
            this.render();
            this.revealLine(line);
        }
    }

    /// Selects characters start .. start + length and brings them into view.
    select(start, length) {
        this.text.focus();
        this.text.setSelectionRange(start, start + length);
        const line = this.text.value.slice(0, start).split('\n').length;
        this.revealLine(line);
    }

    revealLine(line) {
        if (line <= 0) {
            return;
        }
        const height = parseFloat(getComputedStyle(this.text).lineHeight) || 16;
        const top = (line - 1) * height;
        if (top < this.text.scrollTop || top + height > this.text.scrollTop + this.text.clientHeight) {
            this.text.scrollTop = Math.max(0, top - this.text.clientHeight / 3);
        }
    }

    syncScroll() {
        this.layer.scrollTop = this.text.scrollTop;
        this.layer.scrollLeft = this.text.scrollLeft;
        this.gutter.scrollTop = this.text.scrollTop;
    }

    renderGutter() {
        const count = this.text.value.split('\n').length;
        const errorLines = new Set(this.errors.map((e) => e.line));
        const rows = [];
        for (let line = 1; line <= count; ++line) {
            const classes = ['row'];
            if (this.breakpoints.has(line)) {
                classes.push('breakpoint');
            }
            if (errorLines.has(line)) {
                classes.push('error');
            }
            if (line === this.currentLine) {
                classes.push('current');
            }
            rows.push(`<div class="${classes.join(' ')}" data-line="${line}">${line}</div>`);
        }
        this.gutter.innerHTML = rows.join('') + '<div class="row">&nbsp;</div>';
        this.syncScroll();
    }

    render() {
        const source = this.text.value;
        // Error spans are marked on the plain text first, then each line is highlighted.
        const marks = [...this.errors].sort((a, b) => a.start - b.start);
        const lines = source.split('\n');
        let offset = 0;
        const html = lines.map((line, index) => {
            const lineStart = offset;
            offset += line.length + 1;
            const inLine = marks.filter((e) => e.start < lineStart + line.length + 1 && e.start + Math.max(1, e.length) > lineStart);
            let body;
            if (inLine.length === 0) {
                body = this.highlight(line);
            } else {
                let at = 0;
                body = '';
                for (const e of inLine) {
                    const from = Math.max(at, e.start - lineStart);
                    const to = Math.min(line.length, Math.max(from + 1, e.start - lineStart + e.length));
                    body += this.highlight(line.slice(at, from));
                    body += `<span class="error-mark" title="${escapeHtml(e.message)}">${escapeHtml(line.slice(from, to)) || '&nbsp;'}</span>`;
                    at = to;
                }
                body += this.highlight(line.slice(at));
            }
            const current = index + 1 === this.currentLine ? ' current' : '';
            return `<div class="line${current}">${body || '&nbsp;'}</div>`;
        });
        this.layer.innerHTML = html.join('') + '<div class="line">&nbsp;</div>';
        this.renderGutter();
    }
}
