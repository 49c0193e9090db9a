#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace tessaro {

/// Where a control of the main window goes, by its object name.
struct Placement {
    const char* objectName;
    QRect rect;
    bool show; ///< shown again when the layout is applied (controls another view may hide)
};

/// The main window's size and the smallest size of its client area.
inline constexpr QSize kWindowSize{1032, 748};
inline constexpr QSize kClientMinimumSize{1024, 697};

/// Puts every control of the table found below client at its place. The value labels on the
/// picture are placed by their own panel.
void applyWindowLayout(QWidget* client);

} // namespace tessaro
