// The main window's arrangement: the layout table scaled to the window's size, the program
// editor given the height it gains, and the fonts scaled with the controls.

#include "ui/app/main_window.h"

#include "ui/app/window_layout.h"
#include "ui/picture/clock_view.h"
#include "ui/picture/datapath_view.h"

#include <QAction>
#include <QFontMetricsF>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace tessaro {

namespace {

// The program editor's caption row and its error list, in table coordinates.
constexpr int kCaptionHeight = 20;
constexpr int kCaptionWidth = 88;
constexpr int kErrorListHeight = 97;

void setTabStops(QPlainTextEdit* editor) {
    editor->setTabStopDistance(8 *
                               QFontMetricsF(editor->font()).horizontalAdvance(QLatin1Char(' ')));
}

} // namespace

void MainWindow::applyLayout() {
    resize(kWindowSize);
    m_central->setMinimumSize(kClientMinimumSize);
    arrangeControls();
    m_microprogramListing->raise();
    m_errorList->raise();
    m_subCycleAction->setVisible(true);
    m_micAction->setVisible(true);
}

void MainWindow::arrangeControls() {
    const WindowArrangement arrangement = arrangeWindow(size(), m_central->size());
    const bool rescaled = arrangement.scale != m_layoutScale;
    m_layoutScale = arrangement.scale;
    // The pictures first: their size is fixed, so the table's placement must find it set.
    m_picture->setScale(arrangement.scale);
    m_clock->setScale(arrangement.scale);
    applyWindowLayout(m_central, arrangement);
    m_registers->place(arrangement);
    if (rescaled) {
        scaleFonts(m_central, arrangement.scale);
        setTabStops(m_programEditor);
        setTabStops(m_microprogramListing);
    }

    m_editorBeside = arrangement.editorBeside;
    const int bottom = arrangement.clientHeight;
    if (m_editorBeside) {
        // A column from the top of the window to its bottom: caption, editor, error list.
        const QRect column = arrangement.editorColumn;
        const int caption = arrangement.length(kCaptionHeight);
        const int captionWidth = arrangement.length(kCaptionWidth);
        m_programCaption->setGeometry(column.x(), 0, captionWidth, caption);
        m_programPath->setGeometry(column.x() + captionWidth, 0, column.width() - captionWidth,
                                   caption);
        m_programEditor->setGeometry(column.x(), caption, column.width(), bottom - caption);
        const int errors = arrangement.length(kErrorListHeight);
        m_errorList->setGeometry(column.x(), bottom - errors, column.width(), errors);
    } else {
        // Below the picture the editor takes the height that the scale leaves unused.
        QRect editor = m_programEditor->geometry();
        editor.setHeight(editor.height() + arrangement.heightGained);
        m_programEditor->setGeometry(editor);
    }
    showEditorOrClock();

    // Lines cut to fit a list are cut again for its new width (between sub-cycles the lists
    // would show what is not yet revealed, so they wait for the next refresh).
    if (rescaled && programLoaded() && !isRunning() &&
        session.subCyclePhase() == SubCyclePhase::Execute) {
        showConstantPool();
        showMethodArea();
        selectCurrentInstruction();
        showStack();
        showFrame();
    }
}

void MainWindow::showEditorOrClock() {
    const bool editor = m_editorBeside || !m_clockShown;
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_programEditor, m_programCaption, m_programPath}) {
        w->setVisible(editor);
    }
    m_clock->setVisible(m_editorBeside || m_clockShown);
    // With the editor beside, the clock has the place below the picture to itself.
    m_buttons[6]->setVisible(!m_editorBeside);
}

} // namespace tessaro
