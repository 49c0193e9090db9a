#include "ui/tform1.h"

#include "core/number_text.h"
#include "ui/picture/clock_view.h"
#include "ui/picture/datapath_geometry.h"
#include "ui/picture/datapath_view.h"
#include "ui/picture/info_dialog.h"
#include "ui/picture/message_dialog.h"
#include "ui/text_file.h"

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

const QString kNotLoaded =
    QStringLiteral("Il programma deve prima essere compilato e caricato in memoria");
const QString kLoaded = QStringLiteral("Il programma è stato compilato e caricato in memoria");
const QString kFileFilter =
    QStringLiteral("IJVM files (*.jvm);;JAS files (*.jas);;All files (*.*)");
constexpr std::uint32_t kInputWord = static_cast<std::uint32_t>(-6);
constexpr std::int32_t kHaltDispatch = 112;

// The program skeleton the Skeleton command writes into the editor.
const char* const kSkeleton[] = {
    "    /**********************************************************/",
    "    /* Il seguente codice è lo scheletro di un programma IJVM */",
    "    /**********************************************************/",
    "",
    ".constant",
    " // Inserire i nomi delle costanti con i rispettivi valori",
    ".end-constant",
    "",
    ".method nomemetodo() // Inserire gli eventuali parametri separati da virgole",
    "",
    ".var",
    " // Inserire le variabili locali del meotodo.",
    ".end-var",
    "",
    "// Inserire le istruzioni del metodo.",
    "",
    ".end-method",
    "",
    ".main",
    "",
    "// Inserire le istruzioni del metodo main.",
    "",
    ".end-main",
};

// Register index -> position of its label among Label11..Label20 (MAR MDR PC MBR SP LV CPP TOS
// OPC H).
constexpr int kLabelOfRegister[10] = {0, 1, 2, 4, 5, 6, 7, 8, 9, 3};

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

QString decimal(std::int32_t v) {
    return QString::fromStdString(decimalText(v));
}

} // namespace

TForm1::TForm1(const AppPaths& paths, QWidget* parent) : QMainWindow(parent), m_paths(paths) {
    // 1. The window and its controls; 2. the machine is built with the window.
    createControls();
    createMenus();
    // 3. The Info window shown when start-up ends.
    m_startupInfo = new TForm2(this);
    // 4. Microprogram: translate, list, load into the control store.
    loadMicroprogram();
    // 5. Defaults.
    rawMethodArea = false;
    programLoaded = false;
    valueRadix = 10;
    addressRadix = 10;
    // 6. Even an empty editor is assembled by the first command that needs a program.
    m_memo1->document()->setModified(true);
    // 7. The full layout.
    applyLayout();
}

TForm1::~TForm1() = default;

void TForm1::runStartupDialogs(bool showInfo) {
    if (!m_problems.empty()) {
        QString text = QStringLiteral("Il microprogramma %1 contiene errori:\n")
                           .arg(QDir::toNativeSeparators(m_paths.microprogramSource()));
        int shown = 0;
        for (const MalProblem& problem : m_problems) {
            if (++shown > 30) {
                text += QStringLiteral("\n... (%1 in tutto)").arg(m_problems.size());
                break;
            }
            text += QStringLiteral("\nRiga %1: %2")
                        .arg(problem.line)
                        .arg(QString::fromStdString(problem.message));
        }
        showBox(QStringLiteral("MicroProgram"), text);
    }
    if (showInfo && m_startupInfo != nullptr) {
        m_startupInfo->exec();
    }
    // The start-up Info window serves this one showing only.
    delete m_startupInfo;
    m_startupInfo = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Controls

void TForm1::createControls() {
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
    connect(m_picture, &DatapathView::bBusValueShown, this, &TForm1::showBBusValue);
    connect(m_picture, &DatapathView::cBusValueShown, this, &TForm1::showCBusValue);
    m_clock = new ClockView(m_central);
    m_clock->setObjectName(QStringLiteral("Image2"));
    m_clock->hide(); // until the Clock button swaps it with the editor

    m_memo2 = new QPlainTextEdit(m_central);
    m_memo2->setObjectName(QStringLiteral("Memo2"));
    m_memo2->setReadOnly(true);
    m_memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo2->setFont(monoFont(12));
    m_memo2->setTabStopDistance(8 *
                                QFontMetricsF(m_memo2->font()).horizontalAdvance(QLatin1Char(' ')));
    setColours(m_memo2, QColor(0, 0, 255), QColor(0xFF, 0xFF, 0xE1));
    keepSelectionVisible(m_memo2);

    m_memo1 = new QPlainTextEdit(m_central);
    m_memo1->setObjectName(QStringLiteral("Memo1"));
    m_memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo1->setFont(monoFont(13));
    m_memo1->setTabStopDistance(8 *
                                QFontMetricsF(m_memo1->font()).horizontalAdvance(QLatin1Char(' ')));
    setColours(m_memo1, QColor(0x80, 0x00, 0x80), QColor(0xF2, 0xF2, 0xF2));
    keepSelectionVisible(m_memo1);

    auto list = [this](const QString& name, const QColor& text, const QColor& base, bool multi) {
        auto* l = new QListWidget(m_central);
        l->setObjectName(name);
        l->setFont(monoFont(13));
        l->setUniformItemSizes(true);
        l->setSelectionMode(multi ? QAbstractItemView::MultiSelection
                                  : QAbstractItemView::SingleSelection);
        setColours(l, text, base);
        keepSelectionVisible(l);
        return l;
    };
    const QColor lightGrey(0xE6, 0xE6, 0xE6);
    m_listBox1 = list(QStringLiteral("ListBox1"), Qt::black, lightGrey, false);
    m_listBox2 = list(QStringLiteral("ListBox2"), QColor(0, 0, 255), lightGrey, true);
    m_listBox4 =
        list(QStringLiteral("ListBox4"), QColor(255, 0, 0), QColor(0x80, 0x80, 0x80), true);
    m_listBox3 = list(QStringLiteral("ListBox3"), QColor(0, 255, 0), Qt::black, true);
    m_listBox5 = list(QStringLiteral("ListBox5"), Qt::black, Qt::white, false);
    m_listBox5->setFont(windowFont);
    m_listBox5->hide();
    connect(m_listBox5, &QListWidget::currentRowChanged, this, &TForm1::errorClicked);
    connect(m_listBox5, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { errorClicked(m_listBox5->row(item)); });

    m_poolCaption = label(QStringLiteral("LabelConstantPool"), QStringLiteral("Constant Pool"));
    m_methodCaption = label(QStringLiteral("LabelMethodArea"), QStringLiteral("Method Area"));
    m_stackCaption = label(QStringLiteral("LabelStack"), QStringLiteral("Stack"));
    m_microCaption = label(QStringLiteral("LabelMicroProgram"), QStringLiteral("MicroProgram:"));
    m_programCaption = label(QStringLiteral("LabelIJVMProgram"), QStringLiteral("IJVMProgram:"));
    m_label33 = label(QStringLiteral("Label33"), QString());
    m_label34 = label(QStringLiteral("Label34"), QString());
    for (QLabel* caption :
         {m_poolCaption, m_methodCaption, m_stackCaption, m_microCaption, m_programCaption}) {
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
    }
    m_markers[0] = label(QStringLiteral("Label2"), QString());
    m_markers[1] = label(QStringLiteral("Label3"), QString());
    m_markers[2] = label(QStringLiteral("Label4"), QString());

    m_comboBox1 = new QComboBox(m_central);
    m_comboBox1->setObjectName(QStringLiteral("ComboBox1"));
    m_comboBox1->addItems({QStringLiteral("Assembly IJVM"), QStringLiteral("Pseudo Assembly-Hex"),
                           QStringLiteral("Hex")});
    m_comboBox1->setCurrentIndex(0);
    m_comboBox1->view()->setMinimumWidth(150);
    connect(m_comboBox1, &QComboBox::activated, this, &TForm1::formatChanged);

    m_ioGroup = new QGroupBox(QStringLiteral("Standard I/O"), m_central);
    m_ioGroup->setObjectName(QStringLiteral("GroupBox1"));
    m_edit1 = new QLineEdit(QStringLiteral("0"), m_ioGroup);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    connect(m_edit1, &QLineEdit::editingFinished, this, &TForm1::inputLeft);
    m_label5 = new QLabel(m_ioGroup);
    m_label5->setObjectName(QStringLiteral("Label5"));
    m_label5->setTextFormat(Qt::PlainText); // program output is never markup
    m_label5->setFont(monoFont(13));

    // Value labels on the picture.
    const char* const registerNames[10] = {"Label11", "Label12", "Label13", "Label14", "Label15",
                                           "Label16", "Label17", "Label18", "Label19", "Label20"};
    for (int i = 0; i < 10; ++i) {
        m_registerLabels[i] = label(QString::fromLatin1(registerNames[i]), QStringLiteral("0"));
        QFont bold = m_registerLabels[i]->font();
        bold.setBold(true);
        m_registerLabels[i]->setFont(bold);
        setFontColour(m_registerLabels[i], QColor(0, 0, 0x80));
    }
    m_busCCaption = label(QStringLiteral("LabelBusC"), QStringLiteral("Bus C:"));
    m_busB = label(QStringLiteral("Label27"), QStringLiteral("0"));
    m_busC = label(QStringLiteral("Label28"), QStringLiteral("0"));
    m_flagN = label(QStringLiteral("Label29"), QStringLiteral("0"));
    m_flagZ = label(QStringLiteral("Label30"), QStringLiteral("0"));
    m_mpc = label(QStringLiteral("Label1"), QStringLiteral("0"));
    for (int i = 0; i < 36; ++i) {
        m_bits[i] = label(QStringLiteral("L%1").arg(i + 1), QStringLiteral("0"));
        m_bits[i]->setAlignment(Qt::AlignCenter);
    }

    // Command buttons.
    const char* const captions[7] = {"Mic",      "Step", "Run", "Reset", "Compile and Load",
                                     "SubCicle", "Clock"};
    for (int i = 0; i < 7; ++i) {
        m_buttons[i] = new QPushButton(QString::fromUtf8(captions[i]), m_central);
        m_buttons[i]->setObjectName(QStringLiteral("BitBtn%1").arg(i + 1));
        m_buttons[i]->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_buttons[0], &QPushButton::clicked, this, &TForm1::microStepCommand);
    connect(m_buttons[1], &QPushButton::clicked, this, &TForm1::ijvmStepCommand);
    connect(m_buttons[2], &QPushButton::clicked, this, &TForm1::runCommand);
    connect(m_buttons[3], &QPushButton::clicked, this, &TForm1::resetCommand);
    connect(m_buttons[4], &QPushButton::clicked, this, &TForm1::compileAndLoad);
    connect(m_buttons[5], &QPushButton::clicked, this, &TForm1::subCycleStep);
    connect(m_buttons[6], &QPushButton::clicked, this, &TForm1::toggleClock);
    m_button2 = new QPushButton(m_central);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setFocusPolicy(Qt::NoFocus);
    connect(m_button2, &QPushButton::clicked, this, &TForm1::applyLayout);

    // Run progress and its Stop button live in the status bar.
    m_runStatus = new QLabel(this);
    m_runStatus->setObjectName(QStringLiteral("RunStatus"));
    statusBar()->addWidget(m_runStatus, 1);
    m_stopButton = new QPushButton(QStringLiteral("Stop"), this);
    m_stopButton->setObjectName(QStringLiteral("StopButton"));
    m_stopButton->setEnabled(false);
    m_stopButton->setToolTip(QStringLiteral("Ferma l'esecuzione (Esc)"));
    statusBar()->addPermanentWidget(m_stopButton);
    connect(m_stopButton, &QPushButton::clicked, this, &TForm1::stopRun);
}

void TForm1::createMenus() {
    auto add = [this](QMenu* menu, const QString& text, const QKeySequence& key, auto slot) {
        QAction* action = menu->addAction(text);
        if (!key.isEmpty()) {
            action->setShortcut(key);
        }
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    add(file, QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N), &TForm1::newProgram);
    QMenu* open = file->addMenu(QStringLiteral("&Open"));
    // The shortcut of the Open submenu opens a program directly.
    auto* openShortcut = new QAction(this);
    openShortcut->setShortcut(QKeySequence(Qt::Key_F3));
    addAction(openShortcut);
    connect(openShortcut, &QAction::triggered, this, &TForm1::openProgram);
    add(open, QStringLiteral("IJVMProgram"), QKeySequence(), &TForm1::openProgram);
    add(file, QStringLiteral("S&keleton"), QKeySequence(), &TForm1::skeleton);
    file->addSeparator();
    add(file, QStringLiteral("&Save"), QKeySequence(Qt::Key_F2), &TForm1::save);
    add(file, QStringLiteral("Save &As..."), QKeySequence(), &TForm1::saveAs);
    file->addSeparator();
    add(file, QStringLiteral("E&xit"), QKeySequence(), &TForm1::exitProgram);

    QMenu* run = menuBar()->addMenu(QStringLiteral("Run"));
    m_resetAction =
        add(run, QStringLiteral("Reset"), QKeySequence(Qt::Key_F10), &TForm1::resetCommand);
    run->addSeparator();
    m_subCycleAction =
        add(run, QStringLiteral("SubCycle"), QKeySequence(Qt::Key_F6), &TForm1::subCycleStep);
    m_micAction =
        add(run, QStringLiteral("Mic"), QKeySequence(Qt::Key_F7), &TForm1::microStepCommand);
    m_ijvmAction =
        add(run, QStringLiteral("IJVM"), QKeySequence(Qt::Key_F8), &TForm1::ijvmStepCommand);
    m_runAction = add(run, QStringLiteral("Run"), QKeySequence(Qt::Key_F9), &TForm1::runCommand);
    // Shown by the layout step.
    m_subCycleAction->setVisible(false);
    m_micAction->setVisible(false);

    // Esc stops a running program; it works wherever the focus is in the window.
    m_stopAction = new QAction(QStringLiteral("Stop"), this);
    m_stopAction->setShortcut(QKeySequence(Qt::Key_Escape));
    m_stopAction->setShortcutContext(Qt::WindowShortcut);
    m_stopAction->setEnabled(false);
    addAction(m_stopAction);
    connect(m_stopAction, &QAction::triggered, this, &TForm1::stopRun);

    QMenu* option = menuBar()->addMenu(QStringLiteral("Option"));
    add(option, QStringLiteral("BackColor "), QKeySequence(), &TForm1::backColor);
    add(option, QStringLiteral("Window Color"), QKeySequence(), &TForm1::windowColor);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    add(help, QStringLiteral("&Info"), QKeySequence(Qt::Key_F1), &TForm1::info);
}

void TForm1::applyLayout() {
    namespace g = geometry;
    resize(1032, 748);
    m_central->setMinimumSize(1024, 697);

    m_picture->setGeometry(g::kPictureRect);
    m_picture->show();
    m_microCaption->setGeometry(360, -2, 110, 16);
    m_label33->setGeometry(472, -2, 336, 16);
    m_memo2->setGeometry(g::kListingRect);
    m_memo2->show();
    m_programCaption->setGeometry(8, 496, 86, 20);
    m_label34->setGeometry(96, 496, 600, 20);
    m_memo1->setGeometry(8, 520, 689, 177);
    m_listBox5->setGeometry(8, 424, 689, 97);
    m_clock->setGeometry(g::kClockRect);

    m_poolCaption->setGeometry(816, 0, 120, 16);
    m_listBox1->setGeometry(816, 16, 204, 180);
    m_methodCaption->setGeometry(816, 200, 120, 16);
    m_listBox2->setGeometry(816, 216, 136, 180);
    m_stackCaption->setGeometry(816, 408, 80, 16);
    m_listBox4->setGeometry(816, 424, 204, 132);
    m_listBox3->setGeometry(816, 558, 204, 139);
    m_markers[0]->setText(QStringLiteral("<-CPP"));
    m_markers[1]->setText(QStringLiteral("SP->"));
    m_markers[2]->setText(QStringLiteral("LV->"));
    m_markers[0]->setGeometry(944, 0, 60, 16);
    m_markers[1]->setGeometry(768, 432, 44, 16);
    m_markers[2]->setGeometry(768, 536, 44, 16);

    const int buttonY[5] = {230, 264, 296, 329, 361}; // SubCicle, Mic, Step, Run, Reset
    QPushButton* column[5] = {m_buttons[5], m_buttons[0], m_buttons[1], m_buttons[2], m_buttons[3]};
    for (int i = 0; i < 5; ++i) {
        column[i]->setGeometry(958, buttonY[i], 62, 30);
        column[i]->show();
    }
    m_buttons[4]->setGeometry(908, 400, 111, 25);
    m_comboBox1->setGeometry(704, 460, 106, 24);
    m_ioGroup->setGeometry(712, 568, 97, 88);
    m_edit1->setGeometry(8, 24, 81, 22);
    m_label5->setGeometry(8, 52, 81, 24);
    m_buttons[6]->setGeometry(720, 660, 65, 33);
    m_buttons[6]->show();
    m_button2->setGeometry(1023, 0, 1, 1);

    for (int i = 0; i < 10; ++i) {
        m_registerLabels[i]->setGeometry(g::registerLabelRect(i));
        m_registerLabels[i]->show();
    }
    m_busCCaption->setGeometry(g::labelRect(g::LabelId::BusCCaption));
    m_busC->setGeometry(g::labelRect(g::LabelId::BusC));
    m_busB->setGeometry(g::labelRect(g::LabelId::BusB));
    m_flagN->setGeometry(g::labelRect(g::LabelId::N));
    m_flagZ->setGeometry(g::labelRect(g::LabelId::Z));
    m_mpc->setGeometry(g::labelRect(g::LabelId::MPC));
    for (int i = 0; i < 36; ++i) {
        m_bits[i]->setGeometry(g::mirBitRect(i));
        m_bits[i]->show();
    }
    for (QLabel* l : {m_busCCaption, m_busC, m_busB, m_flagN, m_flagZ, m_mpc}) {
        l->show();
    }
    // The value labels sit on the picture, above its bus overlay.
    for (QLabel* l : m_registerLabels) {
        l->raise();
    }
    for (QLabel* l : {m_busCCaption, m_busC, m_busB, m_flagN, m_flagZ, m_mpc}) {
        l->raise();
    }
    for (QLabel* l : m_bits) {
        l->raise();
    }
    m_memo2->raise();
    m_listBox5->raise();
    m_subCycleAction->setVisible(true);
    m_micAction->setVisible(true);
}

// ---------------------------------------------------------------------------------------------
// Start-up

void TForm1::loadMicroprogram() {
    const QString source = m_paths.microprogramSource();
    translator =
        std::make_unique<Translate>(QFile::encodeName(source).toStdString(),
                                    QFile::encodeName(m_paths.controlStoreFile()).toStdString());
    translator->run();
    m_problems = translator->problems;
    m_label33->setText(QDir::toNativeSeparators(source));
    QFile file(source);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        m_listingOffsets = SourceOffsets(bytes);
        m_memo2->setPlainText(TextFile::decode(bytes));
    }
    machine.loadControlStore(QFile::encodeName(m_paths.controlStoreFile()).toStdString());
}

// ---------------------------------------------------------------------------------------------
// Messages

void TForm1::showMessageWindow(const QString& text) {
    emit messageShown(QStringLiteral("Form3"), text);
    TForm3 window(this);
    window.setText(text);
    window.exec();
}

void TForm1::showBox(const QString& caption, const QString& text) {
    emit messageShown(caption, text);
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void TForm1::showFileError(const QString& path, const QString& reason) {
    showBox(QStringLiteral("Tessaro"),
            QStringLiteral("%1\n\n%2").arg(QDir::toNativeSeparators(path), reason));
}

bool TForm1::hasUnsavedChanges() const {
    const QString text = m_memo1->toPlainText();
    return !text.isEmpty() && text != m_savedText;
}

bool TForm1::maybeSave() {
    if (!hasUnsavedChanges()) {
        return true;
    }
    const QString text = QStringLiteral("Il programma è stato modificato. Salvare le modifiche?");
    emit messageShown(QStringLiteral("Tessaro"), text);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tessaro"), text, QMessageBox::NoButton,
                    this);
    QPushButton* yes = box.addButton(QStringLiteral("Salva"), QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(QStringLiteral("Non salvare"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.exec();
    if (box.clickedButton() == yes) {
        return save();
    }
    return box.clickedButton() == no;
}

// ---------------------------------------------------------------------------------------------
// Views

ViewFormat TForm1::viewFormat() const {
    ViewFormat f;
    f.addressRadix = addressRadix;
    f.valueRadix = valueRadix;
    f.rawMethodArea = rawMethodArea;
    return f;
}

void TForm1::setFontColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->update();
}

QLabel* TForm1::registerLabel(int registerIndex) const {
    return m_registerLabels[kLabelOfRegister[registerIndex]];
}

void TForm1::fillList(QListWidget* list, const QStringList& lines) {
    list->setUpdatesEnabled(false);
    list->clear();
    list->addItems(lines);
    list->setUpdatesEnabled(true);
}

void TForm1::showBBusValue() {
    m_busB->setText(decimal(machine.B));
    m_busB->repaint();
}

void TForm1::showCBusValue() {
    m_busC->setText(decimal(machine.C));
    m_busC->repaint();
}

void TForm1::showRegisters() {
    auto value = [this](std::int32_t v) {
        return QString::fromStdString(radixText(v, valueRadix));
    };
    for (int r = 0; r < 10; ++r) {
        registerLabel(r)->setText(value(machine.registers[r]));
    }
    m_busB->setText(value(machine.B));
    m_busC->setText(value(machine.C));
    m_flagN->setText(decimal(machine.N));
    m_flagZ->setText(decimal(machine.Z));
    m_mpc->setText(value(machine.MPC));
}

void TForm1::resetRegisterColours() {
    if (QLabel* panel = m_picture->aluPanel()) {
        setFontColour(panel, Qt::black);
    }
    for (QLabel* l : m_registerLabels) {
        setFontColour(l, Qt::black);
    }
}

void TForm1::markBSource() {
    static constexpr int kSourceOfCode[16] = {-1, kMDR, kPC,  kSP, kLV, kCPP, kTOS, kOPC,
                                              -1, kMBR, kMBR, -1,  -1,  -1,   -1,   -1};
    const int source = kSourceOfCode[machine.getField(0) & 0xF];
    if (source >= 0) {
        setFontColour(registerLabel(source), QColor(0xFF, 0x00, 0xFF));
    }
}

void TForm1::markCDestinations() {
    const std::uint32_t c = machine.getField(2);
    for (int i = 0; i < 9; ++i) {
        if ((c >> i) & 1U) {
            setFontColour(registerLabel(i), QColor(0xFF, 0x00, 0x00));
        }
    }
}

void TForm1::showMirBits() {
    const Mic* mic = machine.controlStore.peek(static_cast<std::uint32_t>(machine.lastMPC));
    const Mic none;
    const Mic& shown = mic != nullptr ? *mic : none;
    const std::string bits =
        digitString(static_cast<std::uint32_t>(shown.NextAddr) & 0x1FFU, 2, 9) +
        digitString(static_cast<std::uint32_t>(shown.word) & 0x7FFFFFFU, 2, 27);
    for (int i = 0; i < 36 && i < static_cast<int>(bits.size()); ++i) {
        m_bits[i]->setText(QString(QLatin1Char(bits[static_cast<std::size_t>(i)])));
    }
}

void TForm1::selectSpan(QPlainTextEdit* editor, CharSpan span) {
    const int length = editor->document()->characterCount() - 1;
    const int start = std::clamp(span.start, 0, std::max(0, length));
    const int end = std::clamp(span.start + span.length, start, std::max(0, length));
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    // A listing span begins with the comment lines above its instruction: what must be in
    // view is the last line of the span, the instruction itself.
    QScrollBar* bar = editor->verticalScrollBar();
    const int lastLine = editor->document()->findBlock(std::max(start, end - 1)).blockNumber();
    const int lineHeight = std::max(1, editor->fontMetrics().lineSpacing());
    const int visibleLines = std::max(1, editor->viewport()->height() / lineHeight);
    if (lastLine < bar->value()) {
        bar->setValue(lastLine);
    } else if (lastLine >= bar->value() + visibleLines) {
        bar->setValue(lastLine - visibleLines + 1);
    }
}

void TForm1::selectSourceAt(std::uint32_t address) {
    const std::uint32_t* offset = machine.sourceMap.peek(address);
    // The machine re-reads the line from the scratch file; without the file (deleted behind
    // our back) the selection is simply left alone rather than ending the program.
    if (offset == nullptr || !QFileInfo::exists(m_paths.scratchFile())) {
        return;
    }
    const std::string line =
        machine.sourceLine(QFile::encodeName(m_paths.scratchFile()).toStdString(), address);
    selectSpan(m_memo1, m_scratchOffsets.span(*offset, static_cast<long long>(line.size())));
}

void TForm1::selectCurrentLines() {
    const auto pc = static_cast<std::uint32_t>(machine.PC());
    if (machine.MPC == kHaltDispatch) {
        selectSourceAt(pc - 1U);
    } else if (machine.MPC == 0 && pc > 3U) {
        selectSourceAt(pc);
    }
    if (translator != nullptr && machine.MPC >= 0 && machine.MPC < 512) {
        int address = machine.MPC;
        // A trampoline has no source line of its own: show the IF line that placed it.
        const auto trampoline = translator->trampolines.find(address);
        if (translator->lineLength[address] == 0 && trampoline != translator->trampolines.end()) {
            address = trampoline->second;
        }
        selectSpan(m_memo2, m_listingOffsets.span(translator->lineStart[address],
                                                  translator->lineLength[address]));
    }
}

void TForm1::showConstantPool() {
    fillList(m_listBox1, m_views.constantPool(machine, viewFormat()));
    // Entry 0 is the bottom line: a pool longer than the list is seen from its start.
    m_listBox1->scrollToBottom();
}

void TForm1::showMethodArea() {
    fillList(m_listBox2, m_views.methodArea(machine, viewFormat()));
}

void TForm1::selectCurrentInstruction() {
    const InstructionSelection s = m_views.selectCurrentInstruction(machine, m_listBox2->count());
    if (s.scrollTo >= 0) {
        m_listBox2->scrollToItem(m_listBox2->item(s.scrollTo));
    }
    if (s.select >= 0) {
        m_listBox2->item(s.select)->setSelected(true);
        m_listBox2->scrollToItem(m_listBox2->item(s.select));
    }
    if (s.deselect >= 0) {
        m_listBox2->item(s.deselect)->setSelected(false);
    }
}

void TForm1::showStack() {
    fillList(m_listBox3, m_views.stack(machine, viewFormat()));
}

void TForm1::showFrame() {
    fillList(m_listBox4, m_views.frame(machine, viewFormat()));
    if (m_listBox4->count() > 0) {
        m_listBox4->item(0)->setSelected(true);
        m_listBox4->scrollToTop();
    } else if (m_listBox3->count() > 0) {
        m_listBox3->item(0)->setSelected(true);
        m_listBox3->scrollToTop();
    }
}

void TForm1::showIO() {
    // A line feed or another control character would break or hide the one-line output: it
    // is shown as its control picture (the line feed as the symbol for LF).
    QString output = MachineViews::output(machine);
    for (QChar& c : output) {
        if (c.unicode() < 0x20) {
            c = QChar(0x2400 + c.unicode());
        } else if (c.unicode() == 0x7F) {
            c = QChar(0x2421);
        }
    }
    m_label5->setText(output);
    m_edit1->setText(MachineViews::input(machine));
    m_edit1->setModified(false);
}

void TForm1::clearViews() {
    m_listBox1->clear();
    m_listBox2->clear();
    m_listBox3->clear();
    m_listBox4->clear();
    m_listBox5->hide();
    machine.wordMemory[kInputWord] = 0;
    m_edit1->setText(QStringLiteral("0"));
    m_edit1->setModified(false);
}

void TForm1::drawPicture(bool withFlags) {
    m_picture->drawBDecoder(machine);
    m_picture->drawCDecoder(machine);
    m_picture->drawControlLines(machine);
    if (withFlags) {
        m_picture->drawFlagLines(machine);
    }
}

void TForm1::refreshMachinePicture() {
    showMirBits();
    resetRegisterColours();
    markBSource();
    drawPicture(true);
    m_picture->animateBBus(machine, 0);
    m_picture->showALU(machine);
    m_picture->animateCBus(machine, 0);
    m_clock->repaintClock();
    m_clock->drawClock(4);
    markCDestinations();
    showRegisters();
}

void TForm1::refreshAll() {
    refreshMachinePicture();
    showConstantPool();
    showMethodArea();
    showStack();
    showFrame();
    selectCurrentLines();
    showIO();
}

void TForm1::refreshAfterStep() {
    refreshMachinePicture();
    selectCurrentInstruction();
    showStack();
    showFrame();
    showIO();
    selectCurrentLines();
}

// ---------------------------------------------------------------------------------------------
// Compiling

void TForm1::setEditorText(const QString& text) {
    m_memo1->setPlainText(text);
}

bool TForm1::compileIfModified() {
    if (!m_memo1->document()->isModified()) {
        return true;
    }
    programLoaded = false;
    const QString scratch = m_paths.scratchFile();
    const TextFileResult written = TextFile::write(scratch, m_memo1->toPlainText());
    if (!written.ok) {
        // Nothing is assembled; the editor stays modified so that the next command retries.
        showFileError(scratch, written.error);
        return false;
    }
    QFile file(scratch);
    if (!file.open(QIODevice::ReadOnly)) {
        showFileError(scratch, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    // The editor then holds exactly the text the assembler reads, so that the byte offsets it
    // records can be turned into editor positions.
    const int caret = m_memo1->textCursor().position();
    const int scroll = m_memo1->verticalScrollBar()->value();
    setEditorText(TextFile::decode(bytes));
    QTextCursor cursor = m_memo1->textCursor();
    cursor.setPosition(std::min(caret, m_memo1->document()->characterCount() - 1));
    m_memo1->setTextCursor(cursor);
    m_memo1->verticalScrollBar()->setValue(scroll);
    m_memo1->document()->setModified(false);
    m_scratchOffsets = SourceOffsets(bytes);
    machine.loadProgram(QFile::encodeName(scratch).toStdString());
    return true;
}

bool TForm1::checkLoaded() {
    if (programLoaded) {
        return true;
    }
    showMessageWindow(kNotLoaded);
    return false;
}

void TForm1::compileAndLoad() {
    settle();
    if (isRunning() || !compileIfModified()) {
        return;
    }
    m_listBox5->hide();
    if (!machine.errors.empty()) {
        m_listBox5->blockSignals(true);
        m_listBox5->clear();
        for (const ErrorTable& error : machine.errors) {
            m_listBox5->addItem(QString::fromStdString(error.message));
        }
        m_listBox5->blockSignals(false);
        m_listBox5->show();
        m_listBox5->raise();
        const ErrorTable& first = *machine.errors.begin();
        selectSpan(m_memo1, m_scratchOffsets.span(first.position, first.length));
        return;
    }
    refreshAll();
    showMessageWindow(kLoaded);
    programLoaded = true;
}

void TForm1::errorClicked(int row) {
    if (row < 0 || row >= machine.errors.size()) {
        return;
    }
    auto it = machine.errors.begin();
    std::advance(it, row);
    selectSpan(m_memo1, m_scratchOffsets.span(it->position, it->length));
}

// ---------------------------------------------------------------------------------------------
// Execution

void TForm1::settle() {
    m_picture->finishAnimations();
    if (m_edit1->isModified()) {
        inputLeft();
    }
}

bool TForm1::beginExecutionCommand(bool compileFirst) {
    settle();
    if (isRunning()) {
        return false;
    }
    subCyclePhase = 0;
    if (compileFirst && !compileIfModified()) {
        return false;
    }
    return checkLoaded();
}

void TForm1::microStepCommand() {
    if (!beginExecutionCommand(true)) {
        return;
    }
    machine.microStep();
    refreshAfterStep();
}

void TForm1::ijvmStepCommand() {
    if (!beginExecutionCommand(true)) {
        return;
    }
    startExecution(RunMode::IjvmStep);
}

void TForm1::runCommand() {
    if (!beginExecutionCommand(true)) {
        return;
    }
    startExecution(RunMode::Run);
}

void TForm1::resetCommand() {
    if (!beginExecutionCommand(false)) {
        return;
    }
    machine.wordMemory[kInputWord] = 0;
    machine.reset();
    refreshAll();
}

void TForm1::subCycleStep() {
    settle();
    if (isRunning()) {
        return;
    }
    switch (subCyclePhase) {
    case 0:
        if (!checkLoaded()) {
            return;
        }
        machine.microStep();
        showMirBits();
        resetRegisterColours();
        markBSource();
        drawPicture(false);
        m_clock->repaintClock();
        m_clock->drawClock(0);
        break;
    case 1:
        m_picture->animateBBus(machine, 1);
        m_clock->drawClock(1);
        break;
    case 2:
        m_picture->showALU(machine);
        m_clock->drawClock(2);
        break;
    default:
        // One slow trace: a second, immediate one would only cut the slow one short.
        m_picture->animateCBus(machine, 1);
        markCDestinations();
        m_clock->drawClock(3);
        showRegisters();
        selectCurrentInstruction();
        showStack();
        showFrame();
        showIO();
        selectCurrentLines();
        break;
    }
    subCyclePhase = (subCyclePhase + 1) % 4;
}

void TForm1::startExecution(RunMode mode) {
    m_runMode = mode;
    m_stopRequested = false;
    m_executed = 0;
    m_runClock.start();
    executeSlice();
    if (isRunning()) {
        setExecutionControlsEnabled(false);
    }
}

void TForm1::executeSlice() {
    if (!isRunning()) {
        return;
    }
    const std::int64_t before = machine.microCount;
    QElapsedTimer slice;
    slice.start();
    bool done = false;
    std::int64_t budget = m_sliceSize;
    if (m_runMode == RunMode::IjvmStep) {
        budget = std::min(budget, ijvmStepBound - m_executed);
        done = machine.ijvmStepBounded(budget);
    } else {
        done = machine.runFor(budget);
    }
    m_executed += machine.microCount - before;
    // Aim at slices of about 40 ms so that the window stays responsive at any machine speed.
    const qint64 ms = std::max<qint64>(1, slice.elapsed());
    m_sliceSize = std::clamp<std::int64_t>(m_sliceSize * 40 / ms, 10'000, 5'000'000);

    const double seconds = std::max(0.001, static_cast<double>(m_runClock.elapsed()) / 1000.0);
    const QString speed = QStringLiteral("%1 micro-istruzioni in %2 s (%3 milioni al secondo)")
                              .arg(m_executed)
                              .arg(seconds, 0, 'f', 2)
                              .arg(static_cast<double>(m_executed) / seconds / 1e6, 0, 'f', 1);
    if (done) {
        finishExecution(m_runMode == RunMode::Run
                            ? QStringLiteral("Programma terminato (HALT): ") + speed
                            : QString());
        return;
    }
    if (m_runMode == RunMode::IjvmStep && m_executed >= ijvmStepBound) {
        finishExecution(QStringLiteral("Istruzione IJVM interrotta: il ciclo principale non è "
                                       "stato raggiunto dopo %1 micro-istruzioni")
                            .arg(m_executed));
        return;
    }
    if (m_stopRequested) {
        finishExecution(QStringLiteral("Esecuzione fermata: ") + speed);
        return;
    }
    m_runStatus->setText(QStringLiteral("In esecuzione: ") + speed);
    QTimer::singleShot(0, this, &TForm1::executeSlice);
}

void TForm1::finishExecution(const QString& status) {
    const RunMode mode = m_runMode;
    m_runMode = RunMode::None;
    setExecutionControlsEnabled(true);
    m_runStatus->setText(status);
    if (mode == RunMode::Run) {
        refreshAll();
    } else {
        refreshAfterStep();
    }
    emit executionFinished();
}

void TForm1::stopRun() {
    m_stopRequested = true;
}

void TForm1::abandonExecution() {
    if (!isRunning()) {
        return;
    }
    m_runMode = RunMode::None;
    setExecutionControlsEnabled(true);
    m_runStatus->setText(QStringLiteral("Esecuzione fermata: il programma è stato sostituito"));
    emit executionFinished();
}

void TForm1::setExecutionControlsEnabled(bool enabled) {
    for (QPushButton* b :
         {m_buttons[0], m_buttons[1], m_buttons[2], m_buttons[3], m_buttons[4], m_buttons[5]}) {
        b->setEnabled(enabled);
    }
    for (QAction* a : {m_subCycleAction, m_micAction, m_ijvmAction, m_runAction, m_resetAction}) {
        a->setEnabled(enabled);
    }
    m_stopButton->setEnabled(!enabled);
    m_stopAction->setEnabled(!enabled);
}

// ---------------------------------------------------------------------------------------------
// Files

QString TForm1::chooseFile(bool forSave) {
    QFileDialog dialog(
        this, forSave ? QStringLiteral("SaveAs IJVM File") : QStringLiteral("Open IJVM File"),
        m_paths.examplesDir(), kFileFilter);
    dialog.setObjectName(forSave ? QStringLiteral("SaveDialog1") : QStringLiteral("OpenDialog1"));
    dialog.setFileMode(forSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(forSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (forSave) {
        dialog.setDefaultSuffix(QStringLiteral("jvm"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

void TForm1::newProgram() {
    settle();
    if (!maybeSave()) {
        return;
    }
    abandonExecution();
    m_label34->clear();
    setEditorText(QString());
    m_savedText.clear();
    m_listBox5->hide();
    m_memo1->document()->setModified(true);
    clearViews();
}

void TForm1::openProgram() {
    settle();
    if (!maybeSave()) {
        return;
    }
    const QString path = chooseFile(false);
    if (!path.isEmpty()) {
        openProgramFile(path);
    }
}

bool TForm1::openProgramFile(const QString& path) {
    const TextFileResult read = TextFile::read(path);
    if (!read.ok) {
        showFileError(path, read.error);
        return false;
    }
    abandonExecution();
    m_label34->setText(QDir::toNativeSeparators(path));
    setEditorText(read.text);
    m_savedText = read.text;
    const TextFileResult scratch = TextFile::write(m_paths.scratchFile(), read.text);
    m_memo1->document()->setModified(true);
    programLoaded = false;
    clearViews();
    if (!scratch.ok) {
        showFileError(m_paths.scratchFile(), scratch.error);
        return false;
    }
    return true;
}

void TForm1::skeleton() {
    settle();
    if (!maybeSave()) {
        return;
    }
    abandonExecution();
    clearViews();
    QStringList lines;
    for (const char* line : kSkeleton) {
        lines.append(QString::fromUtf8(line));
    }
    setEditorText(lines.join(QLatin1Char('\n')));
    QTextCursor cursor = m_memo1->textCursor();
    cursor.setPosition(0);
    m_memo1->setTextCursor(cursor);
    m_memo1->document()->setModified(true);
}

bool TForm1::saveProgramFile(const QString& path) {
    const QString text = m_memo1->toPlainText();
    const TextFileResult written = TextFile::write(path, text);
    if (!written.ok) {
        showFileError(path, written.error);
        return false;
    }
    m_label34->setText(QDir::toNativeSeparators(path));
    m_savedText = text;
    return true;
}

bool TForm1::save() {
    QString path = m_label34->text();
    if (path.isEmpty()) {
        path = chooseFile(true);
        if (path.isEmpty()) {
            return false;
        }
    }
    return saveProgramFile(QDir::fromNativeSeparators(path));
}

bool TForm1::saveAs() {
    const QString path = chooseFile(true);
    return !path.isEmpty() && saveProgramFile(path);
}

void TForm1::exitProgram() {
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    m_runMode = RunMode::None;
    m_picture->finishAnimations();
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Other commands

void TForm1::formatChanged(int index) {
    settle();
    valueRadix = index == 0 ? 10 : 16;
    addressRadix = index == 0 ? 10 : 16;
    rawMethodArea = index == 2;
    // A running program refreshes every view when it stops.
    if (!isRunning() && checkLoaded()) {
        refreshAll();
    }
}

void TForm1::inputLeft() {
    const std::string text = m_edit1->text().trimmed().toStdString();
    const NumberResult number = checkedAtolong(text);
    std::int32_t& input = machine.wordMemory[kInputWord];
    if (number.ok) {
        input = number.value;
        m_edit1->setModified(false);
        return;
    }
    // The input word keeps its value; the box shows it again before the message appears so
    // that the focus change caused by the message finds a valid number.
    m_edit1->setText(decimal(input));
    m_edit1->setModified(false);
    showBox(QStringLiteral("IJVM Error:"), QString::fromStdString(number.message));
}

void TForm1::backColor() {
    QPalette palette = m_memo1->palette();
    const QColor base = QColorDialog::getColor(palette.color(QPalette::Base), this);
    if (base.isValid()) {
        palette.setColor(QPalette::Base, base);
        m_memo1->setPalette(palette);
    }
    const QColor text = QColorDialog::getColor(palette.color(QPalette::Text), this);
    if (text.isValid()) {
        palette.setColor(QPalette::Text, text);
        m_memo1->setPalette(palette);
    }
}

void TForm1::windowColor() {
    const QColor colour =
        QColorDialog::getColor(m_central->palette().color(QPalette::Window), this);
    if (colour.isValid()) {
        QPalette palette = m_central->palette();
        palette.setColor(QPalette::Window, colour);
        m_central->setPalette(palette);
        QPalette own = this->palette();
        own.setColor(QPalette::Window, colour);
        setPalette(own);
    }
}

void TForm1::toggleClock() {
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_memo1, m_clock, m_programCaption, m_label34}) {
        w->setVisible(w->isHidden());
    }
}

void TForm1::info() {
    TForm2 window(this);
    window.exec();
}

} // namespace tessaro
