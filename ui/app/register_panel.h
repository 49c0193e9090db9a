#pragma once

#include <QColor>

#include <cstdint>

class QLabel;
class QWidget;

namespace tessaro {

class ControlPath;
struct WindowArrangement;

/// The value labels that sit on the datapath picture: the ten registers, the B and C buses,
/// the flags, MPC and the 36 bits of the micro-instruction executed last, with the colours
/// that show which register drove the B bus and which ones the C bus wrote.
class RegisterPanel {
public:
    /// Creates the labels as children of parent, hidden until place().
    explicit RegisterPanel(QWidget* parent);

    /// Puts every label at its place on the picture in arrangement, shown and above the bus
    /// overlay.
    void place(const WindowArrangement& arrangement);

    /// Register, bus, flag and MPC labels, values in radix.
    void showRegisters(const ControlPath& machine, int radix);
    /// B bus label := decimal B (the picture asks for it when it traces the B bus).
    void showBBusValue(const ControlPath& machine);
    /// C bus label := decimal C.
    void showCBusValue(const ControlPath& machine);
    /// Black text for the ten register labels.
    void resetColours();
    /// The register label that drove the B bus, in magenta.
    void markBSource(const ControlPath& machine);
    /// The register labels written from the C bus, in red.
    void markCDestinations(const ControlPath& machine);
    /// The 36 bit labels of the micro-instruction executed last.
    void showMirBits(const ControlPath& machine);

    /// Sets a label's text colour.
    static void setFontColour(QLabel* label, const QColor& colour);

private:
    QLabel* registerLabel(int registerIndex) const;

    QLabel* m_registerLabels[10] = {}; // Label11..Label20: MAR MDR PC MBR SP LV CPP TOS OPC H
    QLabel* m_busCCaption = nullptr;
    QLabel* m_busB = nullptr;  // Label27
    QLabel* m_busC = nullptr;  // Label28
    QLabel* m_flagN = nullptr; // Label29
    QLabel* m_flagZ = nullptr; // Label30
    QLabel* m_mpc = nullptr;   // Label1
    QLabel* m_bits[36] = {};   // L1..L36
};

} // namespace tessaro
