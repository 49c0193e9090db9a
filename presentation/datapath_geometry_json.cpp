#include "presentation/datapath_geometry_json.h"

#include "presentation/datapath_geometry.h"

#include <string_view>

namespace tessaro {

namespace {

namespace g = geometry;

// JSON written value by value, with the commas between the values of an object or array.
class JsonWriter {
public:
    std::string text;

    void key(std::string_view name) {
        separate();
        text += '"';
        text += name;
        text += "\":";
        m_afterKey = true;
    }
    void open(char bracket) {
        separate();
        text += bracket;
        m_first = true;
    }
    void close(char bracket) {
        text += bracket;
        m_first = false;
    }
    void number(int value) {
        separate();
        text += std::to_string(value);
    }
    void string(std::string_view value) {
        separate();
        text += '"';
        text += value; // names of the figure: plain ASCII, nothing to escape
        text += '"';
    }
    void boolean(bool value) {
        separate();
        text += value ? "true" : "false";
    }
    void point(g::Point p) {
        open('[');
        number(p.x());
        number(p.y());
        close(']');
    }
    void rect(const g::Rect& r) {
        open('[');
        number(r.x());
        number(r.y());
        number(r.width());
        number(r.height());
        close(']');
    }
    void polyline(const g::Polyline& line) {
        open('[');
        for (int i = 0; i < line.count; ++i) {
            point(line.points[static_cast<std::size_t>(i)]);
        }
        close(']');
    }

private:
    void separate() {
        if (m_afterKey) {
            m_afterKey = false;
            return;
        }
        if (!m_first) {
            text += ',';
        }
        m_first = false;
    }

    bool m_first = true;
    bool m_afterKey = false;
};

constexpr std::string_view kControlLineNames[] = {"SRA1", "SLL8", "JMPC", "N", "Z", "NZ"};
constexpr std::string_view kWireNames[] = {"Addr",       "Jam",        "AluControl", "CField",
                                           "BField",     "MemControl", "NextToMpc",  "MpcToStore",
                                           "StoreToMir", "MbrToNext",  "FlagFork"};
static_assert(std::size(kControlLineNames) == g::kControlLines.size());
static_assert(std::size(kWireNames) == g::kWires.size());

void writeRegisters(JsonWriter& out) {
    out.key("registers");
    out.open('[');
    for (int row = 0; row < static_cast<int>(g::kRegisterRows.size()); ++row) {
        const g::RegisterRow& r = g::kRegisterRows[static_cast<std::size_t>(row)];
        out.open('{');
        out.key("name");
        out.string(r.name());
        out.key("index");
        out.number(r.reg);
        out.key("cBit");
        out.number(r.cBit());
        out.key("box");
        out.rect(g::registerBox(row));
        out.key("label");
        out.rect(g::toPicture(g::registerLabelRect(row)));
        out.key("cStub");
        out.rect(g::cStub(row));
        out.key("cVertical");
        out.rect(g::cVertical(row));
        out.key("onBBus");
        out.boolean(r.onBBus());
        out.key("bConnection");
        out.rect(g::bConnection(row));
        out.key("bVertical");
        out.rect(g::bVertical(row));
        out.close('}');
    }
    out.close(']');
}

void writeLines(JsonWriter& out) {
    out.key("bLines"); // by B code; empty for codes without a register
    out.open('[');
    for (int code = 0; code < 16; ++code) {
        out.polyline(g::bDecoderLine(code));
    }
    out.close(']');
    out.key("cLines"); // by C bit
    out.open('[');
    for (int bit = 0; bit < 9; ++bit) {
        out.polyline(g::cDecoderLine(bit));
    }
    out.close(']');
    out.key("controlLines");
    out.open('{');
    for (std::size_t i = 0; i < g::kControlLines.size(); ++i) {
        out.key(kControlLineNames[i]);
        out.polyline(g::controlLinePath(g::kControlLines[i]));
    }
    out.close('}');
    out.key("wires");
    out.open('[');
    for (std::size_t i = 0; i < g::kWires.size(); ++i) {
        const g::WirePath wire = g::wirePath(g::kWires[i]);
        out.open('{');
        out.key("name");
        out.string(kWireNames[i]);
        out.key("points");
        out.polyline(wire.path);
        out.key("bits");
        out.number(wire.bits);
        out.key("arrow");
        out.boolean(wire.arrow);
        out.close('}');
    }
    out.close(']');
}

void writeParts(JsonWriter& out) {
    const g::Layout& l = g::kLayout;
    const std::pair<std::string_view, g::Rect> parts[] = {
        {"cDrop", l.cDrop},
        {"cRun", g::cRun()},
        {"bStub", l.bStub},
        {"aBus", l.aBus},
        {"aluToShifter", l.aluToShifter},
        {"shifter", l.shifter},
        {"cDecoder", l.cDecoder},
        {"bDecoder", l.bDecoder},
        {"nBox", l.nBox},
        {"zBox", l.zBox},
        {"controlStore", l.controlStore},
        {"mpcBox", l.mpcBox},
        {"mirBox", l.mirBox},
        {"nextAddress", l.nextAddress},
        {"memory", l.memory},
        {"aluPanel", l.aluPanel},
        {"busCValue", g::toPicture(g::kBusCValueRect)},
        {"busBValue", g::toPicture(g::kBusBValueRect)},
        {"nValue", g::toPicture(g::kNValueRect)},
        {"zValue", g::toPicture(g::kZValueRect)},
        {"mpcValue", g::toPicture(g::kMpcValueRect)},
    };
    for (const auto& [name, rect] : parts) {
        out.key(name);
        out.rect(rect);
    }
    out.key("alu");
    out.open('[');
    for (const g::Point corner : g::aluOutline()) {
        out.point(corner);
    }
    out.close(']');
    out.key("mirBits");
    out.open('[');
    for (int i = 0; i < g::kMirBits; ++i) {
        out.rect(g::toPicture(g::mirBitRect(i)));
    }
    out.close(']');
    out.key("mirFields");
    out.open('[');
    for (std::size_t field = 0; field < g::kMirFieldNames.size(); ++field) {
        out.open('{');
        out.key("name");
        out.string(g::kMirFieldNames[field]);
        out.key("first");
        out.number(g::kMirFieldStart[field]);
        out.key("last");
        out.number(g::kMirFieldStart[field + 1] - 1);
        out.close('}');
    }
    out.close(']');
}

} // namespace

std::string datapathGeometryJson() {
    JsonWriter out;
    out.open('{');
    out.key("size");
    out.open('[');
    out.number(g::kPictureRect.width());
    out.number(g::kPictureRect.height());
    out.close(']');
    writeRegisters(out);
    writeLines(out);
    writeParts(out);
    out.close('}');
    return out.text;
}

} // namespace tessaro
