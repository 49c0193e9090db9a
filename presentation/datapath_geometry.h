#pragma once

// Every coordinate of the datapath picture, the clock picture and the labels that the main
// window lays over them. The drawing code reads nothing but this table, so moving a register
// row or a bus is a change of one number here.
//
// Two coordinate systems are used and each constant says which:
//  - window: relative to the main window's client area (where the labels are placed);
//  - picture: relative to the top left corner of the datapath picture (kPictureRect).

#include "machine/control_word.h"
#include "machine/registers.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace tessaro::geometry {

// ---------------------------------------------------------------------------------------------
// Plain types, so that every front end reads the same numbers: the desktop window turns them
// into its toolkit's types, the browser page reads them as JSON (datapath_geometry_json.h).
// Rectangles follow the usual integer convention: right() and bottom() are the last pixel
// inside.
// ---------------------------------------------------------------------------------------------

/// A point in pixels.
struct Point {
    int px = 0;
    int py = 0;

    constexpr int x() const { return px; }
    constexpr int y() const { return py; }
    constexpr Point operator+(Point o) const { return {px + o.px, py + o.py}; }
    constexpr Point operator-(Point o) const { return {px - o.px, py - o.py}; }
    constexpr Point operator-() const { return {-px, -py}; }
    constexpr bool operator==(const Point&) const = default;
};

/// A size in pixels.
struct Size {
    int w = 0;
    int h = 0;

    constexpr int width() const { return w; }
    constexpr int height() const { return h; }
    constexpr bool operator==(const Size&) const = default;
};

/// A rectangle: its top left corner and its size.
struct Rect {
    int left = 0;
    int top = 0;
    int w = 0;
    int h = 0;

    constexpr int x() const { return left; }
    constexpr int y() const { return top; }
    constexpr int width() const { return w; }
    constexpr int height() const { return h; }
    constexpr int right() const { return left + w - 1; }
    constexpr int bottom() const { return top + h - 1; }
    constexpr Point topLeft() const { return {left, top}; }
    constexpr Size size() const { return {w, h}; }
    /// The middle pixel, rounded towards the top left.
    constexpr Point center() const { return {(left + right()) / 2, (top + bottom()) / 2}; }
    constexpr Rect translated(Point by) const { return {left + by.px, top + by.py, w, h}; }
    constexpr Rect adjusted(int dx1, int dy1, int dx2, int dy2) const {
        return {left + dx1, top + dy1, w - dx1 + dx2, h - dy1 + dy2};
    }
    constexpr bool isNull() const { return w == 0 && h == 0; }
    constexpr bool operator==(const Rect&) const = default;
};

// ---------------------------------------------------------------------------------------------
// Window layout of the surfaces
// ---------------------------------------------------------------------------------------------

/// The datapath picture (window coordinates).
inline constexpr Rect kPictureRect{7, 16, 801, 481};
/// The microprogram listing lies on the picture here (window); the figure leaves it free and
/// calls it the control store.
inline constexpr Rect kListingRect{360, 56, 425, 193};
/// The bus overlay region of the window layout (window). Every trace lies inside the picture,
/// so the overlay child of the picture covers the picture only.
inline constexpr Rect kBusOverlayRect{0, 0, 849, 601};
/// The clock picture (window).
inline constexpr Rect kClockRect{216, 576, 352, 116};

/// Converts a window point into picture coordinates.
constexpr Point toPicture(Point window) {
    return window - kPictureRect.topLeft();
}
/// Converts a window rectangle into picture coordinates.
constexpr Rect toPicture(Rect window) {
    return window.translated(-kPictureRect.topLeft());
}
/// Converts a picture rectangle into window coordinates.
constexpr Rect toWindow(Rect picture) {
    return picture.translated(kPictureRect.topLeft());
}

// ---------------------------------------------------------------------------------------------
// Register rows: one line per row, top to bottom. labelY is the window y of the value label;
// the register box, its C stub, its B connection and its decoder lines all follow from it.
// ---------------------------------------------------------------------------------------------

/// One register of the stack of registers.
struct RegisterRow {
    RegisterIndex reg; ///< the register shown
    int labelY;        ///< window y of the value label

    /// Printed in the box.
    constexpr std::string_view name() const { return register_file::kRegisters[reg].name; }
    /// C-field bit that writes it, -1 for none (MBR).
    constexpr int cBit() const { return register_file::cBitOf(reg); }
    /// Whether a B code puts it on the B bus (not MAR and H).
    constexpr bool onBBus() const {
        for (const register_file::BSource& source : register_file::kBSources) {
            if (source.reg == reg) {
                return true;
            }
        }
        return false;
    }
};

/// Rows in the order of the picture; this order is also the order of the value labels.
inline constexpr std::array<RegisterRow, register_file::kCount> kRegisterRows{{
    {kMAR, 39},
    {kMDR, 66},
    {kPC, 95},
    {kMBR, 124},
    {kSP, 153},
    {kLV, 181},
    {kCPP, 206},
    {kTOS, 237},
    {kOPC, 265},
    {kH, 295},
}};

/// Row of the register written by C-field bit (0 = MAR ... 8 = H), -1 when out of range.
constexpr int rowOfCBit(int bit) {
    for (int row = 0; row < static_cast<int>(kRegisterRows.size()); ++row) {
        if (kRegisterRows[row].cBit() == bit) {
            return row;
        }
    }
    return -1;
}
/// Row of the register selected by a B code, -1 for codes without a register row (0, 8, 11+).
constexpr int rowOfBCode(int code) {
    const register_file::BSource* source =
        code >= 0 ? register_file::bSourceOf(static_cast<std::uint32_t>(code)) : nullptr;
    for (int row = 0; row < static_cast<int>(kRegisterRows.size()); ++row) {
        if (source != nullptr && kRegisterRows[row].reg == source->reg) {
            return row;
        }
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// The figure (picture coordinates)
// ---------------------------------------------------------------------------------------------

/// Columns, sizes and positions of the figure's parts (picture coordinates).
struct Layout {
    // Register column.
    int registerX = 84;
    int registerWidth = 144;
    int registerHeight = 20;
    int registerTopFromLabel = -3; ///< box top relative to the label's picture y
    int nameX = 88;                ///< register name inside the box

    // C bus: the vertical run on the left and its stubs into the registers.
    int cBusX = 48;
    int cBusWidth = 8;
    int cStubHeight = 8; ///< stub rows: centre - 4 .. centre + 4
    // Shifter output: drop, then the bottom run to the left.
    Rect cDrop{171, 392, 8, 8};
    int cRunY = 400;
    int cRunHeight = 8;

    // B bus on the right of the registers, down to the ALU.
    int bBusX = 240;
    int bBusWidth = 6;
    int bConnectionHeight = 9;   ///< connection rows: centre - 4 .. centre + 5
    int bBusBottom = 307;        ///< where the bus meets the ALU's B input
    Rect bStub{240, 307, 6, 11}; ///< into the ALU

    // Decoders: tall boxes beside the stack, one output line per register.
    Rect cDecoder{6, 24, 14, 272};
    Rect bDecoder{282, 44, 14, 226};
    int decoderLineOffset = 7; ///< line y = row centre + offset (MBRU: centre - offset)

    // ALU (a notched trapezoid), A bus, shifter.
    int aluTop = 318;
    int aluBottom = 362;
    int aluTopLeft = 104;
    int aluTopRight = 252;
    int aluBottomLeft = 136;
    int aluBottomRight = 214;
    int aluNotchLeft = 166;
    int aluNotchRight = 184;
    int aluNotchDepth = 10;
    Rect aBus{132, 296, 6, 22};
    Rect aluToShifter{172, 362, 6, 10};
    Rect shifter{130, 372, 94, 20};

    // N and Z flip-flops (around the N and Z value labels).
    Rect nBox{254, 322, 24, 20};
    Rect zBox{254, 354, 24, 20};

    // Control store (the listing), MPC, MIR and the next-address logic.
    Rect controlStore{353, 40, 425, 193};
    Rect mpcBox{300, 68, 50, 24};
    Rect mirBox{346, 320, 432, 42};
    Rect nextAddress{356, 258, 134, 38};
    Rect memory{654, 394, 100, 48}; ///< clear of the SP marker and the format selector

    // ALU panel: the QLabel child "Panel2".
    Rect aluPanel{40, 416, 250, 26};
};

inline constexpr Layout kLayout{};

/// The ALU's outline: a trapezoid with a notch between its two inputs, clockwise from the top
/// left corner.
constexpr std::array<Point, 7> aluOutline() {
    const Layout& l = kLayout;
    return {{{l.aluTopLeft, l.aluTop},
             {l.aluNotchLeft, l.aluTop},
             {(l.aluNotchLeft + l.aluNotchRight) / 2, l.aluTop + l.aluNotchDepth},
             {l.aluNotchRight, l.aluTop},
             {l.aluTopRight, l.aluTop},
             {l.aluBottomRight, l.aluBottom},
             {l.aluBottomLeft, l.aluBottom}}};
}
static_assert((kLayout.aluNotchLeft + kLayout.aluNotchRight) % 2 == 0,
              "the notch's tip lies on a whole pixel");

/// Picture rectangle of a register box.
constexpr Rect registerBox(int row) {
    const int top = kRegisterRows[row].labelY - kPictureRect.y() + kLayout.registerTopFromLabel;
    return {kLayout.registerX, top, kLayout.registerWidth, kLayout.registerHeight};
}
/// Picture y of the middle of a register row.
constexpr int rowCentre(int row) {
    return registerBox(row).y() + kLayout.registerHeight / 2;
}

/// C-bus stub from the vertical run into a register: it spans the gap between bus and box.
constexpr Rect cStub(int row) {
    const int x = kLayout.cBusX + kLayout.cBusWidth;
    return {x, rowCentre(row) - kLayout.cStubHeight / 2, kLayout.registerX - x,
            kLayout.cStubHeight};
}
/// Bottom run of the C bus, from the shifter's drop to the vertical run.
constexpr Rect cRun() {
    return {kLayout.cBusX, kLayout.cRunY, kLayout.cDrop.right() + 1 - kLayout.cBusX,
            kLayout.cRunHeight};
}
/// Vertical C run from the bottom run up to the stub of a row.
constexpr Rect cVertical(int row) {
    const int top = cStub(row).y();
    return {kLayout.cBusX, top, kLayout.cBusWidth, kLayout.cRunY - top};
}
/// Horizontal connection from a register to the B bus.
constexpr Rect bConnection(int row) {
    const int x = kLayout.registerX + kLayout.registerWidth;
    return {x, rowCentre(row) - 4, kLayout.bBusX - x, kLayout.bConnectionHeight};
}
/// The B bus from a register's connection down to the ALU's B input.
constexpr Rect bVertical(int row) {
    const int top = bConnection(row).y();
    return {kLayout.bBusX, top, kLayout.bBusWidth, kLayout.bBusBottom - top};
}

/// A short polyline (at most six points).
struct Polyline {
    std::array<Point, 6> points{};
    int count = 0;
};

/// The output line of the B decoder for B code 1-7, 9, 10 (empty for other codes).
constexpr Polyline bDecoderLine(int code) {
    const int row = rowOfBCode(code);
    if (row < 0) {
        return {};
    }
    // MBR has two codes: the zero-extended byte's line lies above the row centre.
    const register_file::BSource* source =
        register_file::bSourceOf(static_cast<std::uint32_t>(code));
    const bool alt = source->reg == kMBR && source->code != register_file::kBSignedMbr;
    const int y = rowCentre(row) + (alt ? -kLayout.decoderLineOffset : kLayout.decoderLineOffset);
    return {{Point{kLayout.bDecoder.x(), y}, Point{registerBox(row).right() + 1, y}}, 2};
}
/// The output line of the C decoder for C bit 0-8.
constexpr Polyline cDecoderLine(int bit) {
    const int row = rowOfCBit(bit);
    if (row < 0) {
        return {};
    }
    const int y = rowCentre(row) + kLayout.decoderLineOffset;
    return {{Point{kLayout.cDecoder.right() + 1, y}, Point{kLayout.registerX, y}}, 2};
}

/// Control lines that drawControlLines and drawFlagLines colour.
enum class ControlLine { SRA1, SLL8, JMPC, N, Z, NZ };
inline constexpr std::array<ControlLine, 6> kControlLines{ControlLine::SRA1, ControlLine::SLL8,
                                                          ControlLine::JMPC, ControlLine::N,
                                                          ControlLine::Z,    ControlLine::NZ};

/// Picture x of the middle of MIR bit label i (0 = L1).
constexpr int mirBitCentreX(int i);
/// Picture x of the ALU's right (slanted) edge at picture y.
constexpr int aluRightEdgeX(int y) {
    return kLayout.aluTopRight - (y - kLayout.aluTop) *
                                     (kLayout.aluTopRight - kLayout.aluBottomRight) /
                                     (kLayout.aluBottom - kLayout.aluTop);
}

/// Routing of the wires, by y of the horizontal runs and x of the vertical runs.
struct Wiring {
    int sll8Y = 378;         ///< SLL8 into the shifter
    int sra1Y = 386;         ///< SRA1 into the shifter
    int aluControlY = 404;   ///< bottom run of the six ALU function lines
    int aluControlX = 234;   ///< their rise beside the shifter
    int aluControlInY = 360; ///< where they enter the ALU
    int flagForkX = 246;     ///< the ALU output that feeds N and Z
    int flagForkY = 338;
    int flagJoinX = 296; ///< where the N and Z lines meet
    int sharedX = 316;   ///< the shared flag line rises here...
    int sharedY = 286;   ///< ...and enters the next-address logic here
    int mpcRouteX = 326; ///< next-address logic up to MPC
    int mpcRouteY = 272;
    int mpcToStoreY = 52;
    int storeToMirX = 600;
    int mbrInX = 440; ///< the MBR input of the next-address logic
    int cWireY = 452; ///< C field to the C decoder
    int cWireX = 13;
    int bWireY = 10; ///< B field to the B decoder, over the top
    int bWireX = 792;
    int bWireDropY = 380;
};
inline constexpr Wiring kWiring{};

/// Path of a control or flag line (its arrow, if any, is at the last point).
constexpr Polyline controlLinePath(ControlLine line);

/// Lines of the figure that never change colour.
enum class Wire {
    Addr,       ///< NextAddr field to the next-address logic (9 bits)
    Jam,        ///< JAMN and JAMZ to the next-address logic (2 bits)
    AluControl, ///< ALU function bits to the ALU (6 bits)
    CField,     ///< C field to the C decoder (9 bits)
    BField,     ///< B field to the B decoder (4 bits)
    MemControl, ///< Mem field to the memory (3 bits)
    NextToMpc,  ///< next-address logic to MPC (9 bits)
    MpcToStore, ///< MPC addresses the control store
    StoreToMir, ///< the word read from the control store into MIR
    MbrToNext,  ///< MBR into the next-address logic (for JMPC)
    FlagFork,   ///< ALU output to the N and Z flip-flops
};
inline constexpr std::array<Wire, 11> kWires{Wire::Addr,      Wire::Jam,        Wire::AluControl,
                                             Wire::CField,    Wire::BField,     Wire::MemControl,
                                             Wire::NextToMpc, Wire::MpcToStore, Wire::StoreToMir,
                                             Wire::MbrToNext, Wire::FlagFork};

/// Path of a wire; bits > 1 draws it as a bundle marked with its width.
struct WirePath {
    Polyline path;
    int bits = 1;
    bool arrow = true;
};
constexpr WirePath wirePath(Wire wire);

// ---------------------------------------------------------------------------------------------
// Labels placed by the main window (window coordinates)
// ---------------------------------------------------------------------------------------------

/// Value labels and captions that the main window lays over the picture.
enum class LabelId {
    BusCCaption, ///< "Bus C:"
    BusC,        ///< Label28
    BusB,        ///< Label27
    N,           ///< Label29
    Z,           ///< Label30
    MPC,         ///< Label1
};

/// Size of a register value label (room for "-2147483648" in a bold 9-point font).
inline constexpr Size kValueLabelSize{96, 16};

inline constexpr Rect kBusCCaptionRect{9, 20, 38, 16};
inline constexpr Rect kBusCValueRect{48, 20, 96, 16};
/// Between the A and B buses above the ALU, right-aligned against the B bus, so that no value
/// crosses the bus or the ALU's edge.
inline constexpr Rect kBusBValueRect{150, 314, 94, 16};
inline constexpr Rect kNValueRect{266, 342, 12, 16};
inline constexpr Rect kZValueRect{266, 374, 12, 16};
inline constexpr Rect kMpcValueRect{320, 91, 40, 16};

/// Number of MIR bit labels and the first label of each field (NextAddr, JAM, ALU, C, Mem, B).
inline constexpr int kMirBits = static_cast<int>(control_word::kShownBits);
inline constexpr std::array<int, 7> kMirFieldStart = control_word::kShownFieldStart;
inline constexpr std::array<const char*, 6> kMirFieldNames{"Addr", "JAM", "ALU", "C", "Mem", "B"};
/// Window row and spacing of the MIR bit labels: x = first + i * pitch + field * gap.
inline constexpr int kMirBitY = 357;
inline constexpr int kMirBitFirstX = 359;
inline constexpr int kMirBitPitch = 11;
inline constexpr int kMirFieldGap = 5;
inline constexpr Size kMirBitSize{9, 16};

/// Field (0 = NextAddr ... 5 = B) of MIR bit label index i (0 = L1).
constexpr int mirFieldOf(int i) {
    int field = 0;
    while (field < 5 && i >= kMirFieldStart[field + 1]) {
        ++field;
    }
    return field;
}
/// Window rectangle of MIR bit label i (0 = L1, most significant NextAddr bit ... 35 = L36).
constexpr Rect mirBitRect(int i) {
    return {kMirBitFirstX + i * kMirBitPitch + mirFieldOf(i) * kMirFieldGap, kMirBitY,
            kMirBitSize.width(), kMirBitSize.height()};
}
/// Window rectangle of the value label of register row 0-9 (MAR, MDR, PC, MBR, SP, LV, CPP,
/// TOS, OPC, H).
constexpr Rect registerLabelRect(int row) {
    return {136, kRegisterRows[row].labelY, kValueLabelSize.width(), kValueLabelSize.height()};
}
/// Window rectangle of a bus, flag or MPC label.
constexpr Rect labelRect(LabelId id) {
    switch (id) {
    case LabelId::BusCCaption:
        return kBusCCaptionRect;
    case LabelId::BusC:
        return kBusCValueRect;
    case LabelId::BusB:
        return kBusBValueRect;
    case LabelId::N:
        return kNValueRect;
    case LabelId::Z:
        return kZValueRect;
    case LabelId::MPC:
        return kMpcValueRect;
    }
    return {};
}

/// Window rectangle of a label by the main window's object name: "Label11".."Label20" (the
/// registers), "Label27" (B), "Label28" (C), "Label29" (N), "Label30" (Z), "Label1" (MPC),
/// "L1".."L36" (MIR bits) and "LabelBusC" (the "Bus C:" caption). Null Rect for any other.
Rect labelRect(std::string_view objectName);

// ---------------------------------------------------------------------------------------------
// Clock picture (clock-picture coordinates, 352 x 116)
// ---------------------------------------------------------------------------------------------

/// The waveform of one data-path cycle, as seven strokes: 0 the falling stroke at the start,
/// 1-4 the four segments of the low level, 5 the rising stroke at the end, 6 the beginning
/// of the next high level.
struct ClockLayout {
    int highY = 22;
    int lowY = 62;
    int cycleStartX = 40;
    int segmentWidth = 64;
    int nextHighWidth = 34;
    int leadingHighX = 8; ///< the end of the previous high level (static, never red)
};
inline constexpr ClockLayout kClock{};
inline constexpr int kClockStrokes = 7;

/// Start and end of clock stroke s (0-6).
constexpr std::array<Point, 2> clockStroke(int s) {
    const int x0 = kClock.cycleStartX;
    const int xEnd = x0 + 4 * kClock.segmentWidth;
    if (s == 0) {
        return {Point{x0, kClock.highY}, Point{x0, kClock.lowY}};
    }
    if (s >= 1 && s <= 4) {
        return {Point{x0 + (s - 1) * kClock.segmentWidth, kClock.lowY},
                Point{x0 + s * kClock.segmentWidth, kClock.lowY}};
    }
    if (s == 5) {
        return {Point{xEnd, kClock.lowY}, Point{xEnd, kClock.highY}};
    }
    return {Point{xEnd, kClock.highY}, Point{xEnd + kClock.nextHighWidth, kClock.highY}};
}

// ---------------------------------------------------------------------------------------------
// Paths of the lines (picture coordinates)
// ---------------------------------------------------------------------------------------------

constexpr int mirBitCentreX(int i) {
    return mirBitRect(i).x() - kPictureRect.x() + 4;
}

constexpr Polyline controlLinePath(ControlLine line) {
    const int mirBottom = kLayout.mirBox.bottom() + 1;
    const int shifterRight = kLayout.shifter.right() + 1;
    const int nextBottom = kLayout.nextAddress.bottom() + 1;
    const int flagRight = kLayout.nBox.right() + 1;
    const int joinY = (kLayout.nBox.center().y() + kLayout.zBox.center().y() + 1) / 2;
    switch (line) {
    case ControlLine::SLL8: {
        const int x = mirBitCentreX(12);
        return {{Point{x, mirBottom}, Point{x, kWiring.sll8Y}, Point{shifterRight, kWiring.sll8Y}},
                3};
    }
    case ControlLine::SRA1: {
        const int x = mirBitCentreX(13);
        return {{Point{x, mirBottom}, Point{x, kWiring.sra1Y}, Point{shifterRight, kWiring.sra1Y}},
                3};
    }
    case ControlLine::JMPC: {
        const int x = mirBitCentreX(9);
        return {{Point{x, kLayout.mirBox.y()}, Point{x, nextBottom}}, 2};
    }
    case ControlLine::N: {
        const int y = kLayout.nBox.center().y() + 1;
        return {{Point{flagRight, y}, Point{kWiring.flagJoinX, y}, Point{kWiring.flagJoinX, joinY}},
                3};
    }
    case ControlLine::Z: {
        const int y = kLayout.zBox.center().y() + 1;
        return {{Point{flagRight, y}, Point{kWiring.flagJoinX, y}, Point{kWiring.flagJoinX, joinY}},
                3};
    }
    case ControlLine::NZ:
        return {{Point{kWiring.flagJoinX, joinY}, Point{kWiring.sharedX, joinY},
                 Point{kWiring.sharedX, kWiring.sharedY},
                 Point{kLayout.nextAddress.x(), kWiring.sharedY}},
                4};
    }
    return {};
}

constexpr WirePath wirePath(Wire wire) {
    const int mirTop = kLayout.mirBox.y();
    const int mirBottom = kLayout.mirBox.bottom() + 1;
    const int nextBottom = kLayout.nextAddress.bottom() + 1;
    const auto fieldCentre = [](int field) {
        return (mirBitCentreX(kMirFieldStart[field]) +
                mirBitCentreX(kMirFieldStart[field + 1] - 1)) /
               2;
    };
    switch (wire) {
    case Wire::Addr:
        return {{{Point{fieldCentre(0), mirTop}, Point{fieldCentre(0), nextBottom}}, 2}, 9};
    case Wire::Jam: {
        const int x = (mirBitCentreX(10) + mirBitCentreX(11)) / 2;
        return {{{Point{x, mirTop}, Point{x, nextBottom}}, 2}, 2};
    }
    case Wire::AluControl: {
        const int x = (mirBitCentreX(14) + mirBitCentreX(19)) / 2;
        return {{{Point{x, mirBottom}, Point{x, kWiring.aluControlY},
                  Point{kWiring.aluControlX, kWiring.aluControlY},
                  Point{kWiring.aluControlX, kWiring.aluControlInY},
                  Point{aluRightEdgeX(kWiring.aluControlInY), kWiring.aluControlInY}},
                 5},
                6};
    }
    case Wire::CField:
        return {{{Point{fieldCentre(3), mirBottom}, Point{fieldCentre(3), kWiring.cWireY},
                  Point{kWiring.cWireX, kWiring.cWireY},
                  Point{kWiring.cWireX, kLayout.cDecoder.bottom() + 1}},
                 4},
                9};
    case Wire::BField:
        return {{{Point{fieldCentre(5), mirBottom}, Point{fieldCentre(5), kWiring.bWireDropY},
                  Point{kWiring.bWireX, kWiring.bWireDropY}, Point{kWiring.bWireX, kWiring.bWireY},
                  Point{kLayout.bDecoder.center().x() + 1, kWiring.bWireY},
                  Point{kLayout.bDecoder.center().x() + 1, kLayout.bDecoder.y()}},
                 6},
                4};
    case Wire::MemControl:
        return {{{Point{fieldCentre(4), mirBottom}, Point{fieldCentre(4), kLayout.memory.y()}}, 2},
                3};
    case Wire::NextToMpc:
        return {{{Point{kLayout.nextAddress.x(), kWiring.mpcRouteY},
                  Point{kWiring.mpcRouteX, kWiring.mpcRouteY},
                  Point{kWiring.mpcRouteX, kLayout.mpcBox.bottom() + 1}},
                 3},
                9};
    case Wire::MpcToStore:
        return {{{Point{kWiring.mpcRouteX, kLayout.mpcBox.y()},
                  Point{kWiring.mpcRouteX, kWiring.mpcToStoreY},
                  Point{kLayout.controlStore.x(), kWiring.mpcToStoreY}},
                 3},
                9};
    case Wire::StoreToMir:
        return {{{Point{kWiring.storeToMirX, kLayout.controlStore.bottom() + 1},
                  Point{kWiring.storeToMirX, mirTop}},
                 2},
                36};
    case Wire::MbrToNext:
        return {{{Point{kWiring.mbrInX, kLayout.controlStore.bottom() + 9},
                  Point{kWiring.mbrInX, kLayout.nextAddress.y()}},
                 2},
                8};
    case Wire::FlagFork: {
        const int x0 = aluRightEdgeX(kWiring.flagForkY);
        return {{{Point{x0, kWiring.flagForkY}, Point{kWiring.flagForkX, kWiring.flagForkY}}, 2},
                1,
                false};
    }
    }
    return {};
}

} // namespace tessaro::geometry
