#include "ui/app/main_window.h"

#include "ui/app/eliding_combo_box.h"
#include "ui/editor/ijvm_highlighter.h"

#include "core/number_text.h"
#include "ui/app/text_file.h"
#include "ui/app/window_layout.h"
#include "ui/picture/clock_view.h"
#include "ui/picture/datapath_geometry.h"
#include "ui/picture/datapath_view.h"
#include "ui/picture/info_dialog.h"
#include "ui/picture/message_dialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>

namespace tessaro {

namespace {

QFont monoFont(int pixelSize) {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(pixelSize);
    return font;
}

void setColours(QWidget* widget, const QColor& text, const QColor& base) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Base, base);
    widget->setPalette(palette);
}

// Keeps the selection as visible without the focus as with it.
void keepSelectionVisible(QWidget* widget) {
    QPalette palette = widget->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    widget->setPalette(palette);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Controls

void MainWindow::createControls() {
    setWindowTitle(QStringLiteral("Tessaro"));
    setObjectName(QStringLiteral("Form1"));
    m_central = new QWidget(this);
    m_central->setObjectName(QStringLiteral("Form1Client"));
    m_central->setAutoFillBackground(true);
    setCentralWidget(m_central);
    QFont windowFont = font();
    windowFont.setPixelSize(11);
    setFont(windowFont);

    auto label = [this](const QString& name, const QString& text) {
        auto* l = new QLabel(text, m_central);
        l->setObjectName(name);
        l->setTextFormat(Qt::PlainText); // file names and values are never markup
        return l;
    };

    m_picture = new DatapathView(m_central);
    m_picture->setObjectName(QStringLiteral("Image1"));
    // The picture asks for the bus values when it starts tracing a bus.
    connect(m_picture, &DatapathView::bBusValueShown, this,
            [this] { m_registers->showBBusValue(machine()); });
    connect(m_picture, &DatapathView::cBusValueShown, this,
            [this] { m_registers->showCBusValue(machine()); });
    m_clock = new ClockView(m_central);
    m_clock->setObjectName(QStringLiteral("Image2"));
    m_clock->hide(); // until the Clock button swaps it with the editor

    m_microprogramListing = new MarginEditor(m_central);
    m_microprogramListing->setObjectName(QStringLiteral("Memo2"));
    m_microprogramListing->setReadOnly(true);
    m_microprogramListing->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_microprogramListing->setFont(monoFont(12));
    m_microprogramListing->setTabStopDistance(
        8 * QFontMetricsF(m_microprogramListing->font()).horizontalAdvance(QLatin1Char(' ')));
    setColours(m_microprogramListing, QColor(0, 0, 255), QColor(0xFF, 0xFF, 0xE1));
    keepSelectionVisible(m_microprogramListing);

    m_programEditor = new MarginEditor(m_central);
    m_programEditor->setObjectName(QStringLiteral("Memo1"));
    m_programEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_programEditor->setFont(monoFont(13));
    m_programEditor->setTabStopDistance(
        8 * QFontMetricsF(m_programEditor->font()).horizontalAdvance(QLatin1Char(' ')));
    setColours(m_programEditor, QColor(0x80, 0x00, 0x80), QColor(0xF2, 0xF2, 0xF2));
    keepSelectionVisible(m_programEditor);
    m_highlighter = new IjvmHighlighter(m_programEditor->document());

    auto list = [this](const QString& name, const QColor& text, const QColor& base, bool multi) {
        auto* l = new QListWidget(m_central);
        l->setObjectName(name);
        // A size at which the usual lines fit the column; longer ones are cut with an
        // ellipsis and show whole in their tooltip.
        l->setFont(monoFont(11));
        l->setUniformItemSizes(true);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        l->setSelectionMode(multi ? QAbstractItemView::MultiSelection
                                  : QAbstractItemView::SingleSelection);
        setColours(l, text, base);
        keepSelectionVisible(l);
        return l;
    };
    const QColor lightGrey(0xE6, 0xE6, 0xE6);
    m_constantPoolList = list(QStringLiteral("ListBox1"), Qt::black, lightGrey, false);
    m_methodAreaList = list(QStringLiteral("ListBox2"), QColor(0, 0, 255), lightGrey, true);
    m_frameList =
        list(QStringLiteral("ListBox4"), QColor(255, 0, 0), QColor(0x80, 0x80, 0x80), true);
    m_stackList = list(QStringLiteral("ListBox3"), QColor(0, 255, 0), Qt::black, true);
    m_methodAreaList->setFont(monoFont(10)); // "017: INVOKEVIRTUAL" in the narrow column
    m_errorList = list(QStringLiteral("ListBox5"), Qt::black, Qt::white, false);
    m_errorList->setFont(windowFont);
    m_errorList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_errorList->hide();
    connect(m_errorList, &QListWidget::currentRowChanged, this, &MainWindow::errorClicked);
    connect(m_errorList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { errorClicked(m_errorList->row(item)); });

    m_poolCaption = label(QStringLiteral("LabelConstantPool"), tr("Constant Pool"));
    m_methodCaption = label(QStringLiteral("LabelMethodArea"), tr("Method Area"));
    m_stackCaption = label(QStringLiteral("LabelStack"), tr("Stack"));
    m_microCaption = label(QStringLiteral("LabelMicroProgram"), tr("MicroProgram:"));
    m_programCaption = label(QStringLiteral("LabelIJVMProgram"), tr("IJVMProgram:"));
    m_microprogramPath = label(QStringLiteral("Label33"), QString());
    m_programPath = label(QStringLiteral("Label34"), QString());
    for (QLabel* caption :
         {m_poolCaption, m_methodCaption, m_stackCaption, m_microCaption, m_programCaption}) {
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
    }
    m_markers[0] = label(QStringLiteral("Label2"), QStringLiteral("<-CPP"));
    m_markers[1] = label(QStringLiteral("Label3"), QStringLiteral("SP->"));
    m_markers[2] = label(QStringLiteral("Label4"), QStringLiteral("LV->"));

    m_formatBox = new ElidingComboBox(m_central);
    m_formatBox->setObjectName(QStringLiteral("ComboBox1"));
    m_formatBox->addItems({tr("Assembly IJVM"), tr("Pseudo Assembly-Hex"), tr("Hex")});
    m_formatBox->setCurrentIndex(0);
    m_formatBox->view()->setMinimumWidth(150);
    connect(m_formatBox, &QComboBox::activated, this, &MainWindow::formatChanged);

    m_ioGroup = new QGroupBox(tr("Standard I/O"), m_central);
    m_ioGroup->setObjectName(QStringLiteral("GroupBox1"));
    m_inputBox = new QLineEdit(QStringLiteral("0"), m_ioGroup);
    m_inputBox->setObjectName(QStringLiteral("Edit1"));
    connect(m_inputBox, &QLineEdit::editingFinished, this, &MainWindow::inputLeft);
    m_outputLine = new QLabel(m_ioGroup);
    m_outputLine->setObjectName(QStringLiteral("Label5"));
    m_outputLine->setTextFormat(Qt::PlainText); // program output is never markup
    m_outputLine->setFont(monoFont(13));

    // Value labels on the picture.
    m_registers = std::make_unique<RegisterPanel>(m_central);

    // Command buttons.
    const char* const captions[7] = {QT_TR_NOOP("Mic"),
                                     QT_TR_NOOP("Step"),
                                     QT_TR_NOOP("Run"),
                                     QT_TR_NOOP("Reset"),
                                     QT_TR_NOOP("Compile and Load"),
                                     QT_TR_NOOP("SubCicle"),
                                     QT_TR_NOOP("Clock")};
    for (int i = 0; i < 7; ++i) {
        m_buttons[i] = new QPushButton(tr(captions[i]), m_central);
        m_buttons[i]->setObjectName(QStringLiteral("BitBtn%1").arg(i + 1));
        m_buttons[i]->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_buttons[0], &QPushButton::clicked, this, &MainWindow::microStepCommand);
    connect(m_buttons[1], &QPushButton::clicked, this, &MainWindow::ijvmStepCommand);
    connect(m_buttons[2], &QPushButton::clicked, this, &MainWindow::runCommand);
    connect(m_buttons[3], &QPushButton::clicked, this, &MainWindow::resetCommand);
    connect(m_buttons[4], &QPushButton::clicked, this, &MainWindow::compileAndLoad);
    connect(m_buttons[5], &QPushButton::clicked, this, &MainWindow::subCycleStep);
    connect(m_buttons[6], &QPushButton::clicked, this, &MainWindow::toggleClock);
    m_layoutButton = new QPushButton(m_central);
    m_layoutButton->setObjectName(QStringLiteral("Button2"));
    m_layoutButton->setFocusPolicy(Qt::NoFocus);
    connect(m_layoutButton, &QPushButton::clicked, this, &MainWindow::applyLayout);

    // Run progress and its Stop button live in the status bar.
    m_runStatus = new QLabel(this);
    m_runStatus->setObjectName(QStringLiteral("RunStatus"));
    statusBar()->addWidget(m_runStatus, 1);
    m_stopButton = new QPushButton(tr("Stop"), this);
    m_stopButton->setObjectName(QStringLiteral("StopButton"));
    m_stopButton->setEnabled(false);
    m_stopButton->setToolTip(tr("Ferma l'esecuzione (Esc)"));
    statusBar()->addPermanentWidget(m_stopButton);
    connect(m_stopButton, &QPushButton::clicked, this, &MainWindow::stopRun);
    createDebugControls();
}

void MainWindow::createMenus() {
    auto add = [this](QMenu* menu, const QString& text, const QKeySequence& key, auto slot) {
        QAction* action = menu->addAction(text);
        if (!key.isEmpty()) {
            action->setShortcut(key);
        }
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    QMenu* file = menuBar()->addMenu(tr("&File"));
    add(file, tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N), &MainWindow::newProgram);
    QMenu* open = file->addMenu(tr("&Open"));
    // The shortcut of the Open submenu opens a program directly.
    auto* openShortcut = new QAction(this);
    openShortcut->setShortcut(QKeySequence(Qt::Key_F3));
    addAction(openShortcut);
    connect(openShortcut, &QAction::triggered, this, &MainWindow::openProgram);
    add(open, tr("IJVMProgram"), QKeySequence(), &MainWindow::openProgram);
    add(file, tr("S&keleton"), QKeySequence(), &MainWindow::skeleton);
    add(file, tr("&Microprogramma..."), QKeySequence(), &MainWindow::openMicroprogramWindow);
    file->addSeparator();
    add(file, tr("&Save"), QKeySequence(Qt::Key_F2), &MainWindow::save);
    add(file, tr("Save &As..."), QKeySequence(), &MainWindow::saveAs);
    file->addSeparator();
    add(file, tr("E&xit"), QKeySequence(), &MainWindow::exitProgram);

    QMenu* run = menuBar()->addMenu(tr("Run"));
    m_resetAction = add(run, tr("Reset"), QKeySequence(Qt::Key_F10), &MainWindow::resetCommand);
    run->addSeparator();
    m_subCycleAction =
        add(run, tr("SubCycle"), QKeySequence(Qt::Key_F6), &MainWindow::subCycleStep);
    m_micAction = add(run, tr("Mic"), QKeySequence(Qt::Key_F7), &MainWindow::microStepCommand);
    m_ijvmAction = add(run, tr("IJVM"), QKeySequence(Qt::Key_F8), &MainWindow::ijvmStepCommand);
    m_runAction = add(run, tr("Run"), QKeySequence(Qt::Key_F9), &MainWindow::runCommand);
    run->addSeparator();
    add(run, tr("Indietro Mic"), QKeySequence(Qt::CTRL | Qt::Key_F7),
        &MainWindow::stepBackMicroCommand);
    add(run, tr("Indietro IJVM"), QKeySequence(Qt::CTRL | Qt::Key_F8),
        &MainWindow::stepBackIjvmCommand);
    add(run, tr("Punto di arresto"), QKeySequence(Qt::Key_F5), &MainWindow::toggleBreakpoint);
    add(run, tr("Statistiche"), QKeySequence(), &MainWindow::showStatistics);
    add(run, tr("Console"), QKeySequence(), &MainWindow::showConsole);
    // Shown by the layout step.
    m_subCycleAction->setVisible(false);
    m_micAction->setVisible(false);

    // Esc stops a running program; it works wherever the focus is in the window.
    m_stopAction = new QAction(tr("Stop"), this);
    m_stopAction->setShortcut(QKeySequence(Qt::Key_Escape));
    m_stopAction->setShortcutContext(Qt::WindowShortcut);
    m_stopAction->setEnabled(false);
    addAction(m_stopAction);
    connect(m_stopAction, &QAction::triggered, this, &MainWindow::stopRun);

    QMenu* option = menuBar()->addMenu(tr("Option"));
    add(option, tr("BackColor "), QKeySequence(), &MainWindow::backColor);
    add(option, tr("Window Color"), QKeySequence(), &MainWindow::windowColor);

    QMenu* help = menuBar()->addMenu(tr("Help"));
    add(help, tr("&Info"), QKeySequence(Qt::Key_F1), &MainWindow::info);
}

} // namespace tessaro
