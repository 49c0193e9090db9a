#pragma once

#include <QPoint>
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
/// Width a window must have in addition to kWindowSize, at scale 1, for the program editor to
/// move into a column of its own beside the lists.
inline constexpr int kEditorColumnWidth = 380;

/// How the layout table, drawn for kWindowSize, is shown in a window of another size: every
/// rectangle scaled by one factor from an origin, so that the window looks the same, only
/// larger. A window wide for its height gives the program editor a full-height column on the
/// right, where it shows far more lines than in its place below the picture.
struct WindowArrangement {
    qreal scale = 1;           ///< factor from table to client coordinates
    QPoint origin;             ///< client position of the table's (0, 0)
    int clientHeight = 0;      ///< the editor column reaches down to here
    int heightGained = 0;      ///< window height beyond what the scaled table uses
    bool editorBeside = false; ///< the program editor in the column beside the lists
    QRect editorColumn;        ///< the column (client coordinates) when editorBeside

    /// A table rectangle in client coordinates. Shared edges stay shared: each edge is scaled
    /// and rounded on its own.
    QRect map(const QRect& table) const;
    /// A length of the table in client pixels.
    int length(int table) const;
};

/// The arrangement for a window of windowSize whose client area is clientSize. Below
/// kWindowSize the table is used as it is (the client area keeps its minimum size).
WindowArrangement arrangeWindow(QSize windowSize, QSize clientSize);

/// Puts every control of the table found below client at its place in arrangement. The value
/// labels on the picture are placed by their own panel.
void applyWindowLayout(QWidget* client, const WindowArrangement& arrangement);

/// Scales the font of client and of every control below it that has a font of its own by
/// factor, from the font it had at the first call.
void scaleFonts(QWidget* client, qreal factor);

} // namespace tessaro
