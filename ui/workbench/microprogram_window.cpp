#include "ui/workbench/microprogram_window.h"

#include "data/bundled.h"
#include "mal/micro_assembler.h"
#include "ui/app/main_window.h"
#include "ui/app/text_file.h"
#include "ui/editor/mal_editor.h"
#include "ui/editor/mal_highlighter.h"
#include "ui/workbench/instruction_set_page.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tessaro {

namespace {

QString caption() {
    return MicroprogramWindow::tr("Microprogramma");
}
QString fileFilter() {
    return MicroprogramWindow::tr("Microprogrammi MAL (*.mal);;Tutti i file (*)");
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

MicroprogramWindow::MicroprogramWindow(MainWindow* form) : QWidget(form, Qt::Window), m_form(form) {
    setObjectName(QStringLiteral("MicroprogramWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(900, 700);

    m_editor = new MalEditor(this);
    m_editor->setObjectName(QStringLiteral("MalEditor"));
    new MalHighlighter(m_editor->document());
    connect(m_editor, &QPlainTextEdit::textChanged, this, &MicroprogramWindow::updateTitle);

    m_problems = new QListWidget(this);
    m_problems->setObjectName(QStringLiteral("ProblemList"));
    connect(m_problems, &QListWidget::itemClicked, this, &MicroprogramWindow::problemClicked);
    m_checkList = new QListWidget(this);
    m_checkList->setObjectName(QStringLiteral("CheckList"));
    m_checkList->setFont(m_editor->font());
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLabel"));
    m_status->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    auto* open = button(this, QStringLiteral("OpenButton"), tr("Apri..."));
    auto* save = button(this, QStringLiteral("SaveButton"), tr("Salva"));
    auto* saveAs = button(this, QStringLiteral("SaveAsButton"), tr("Salva con nome..."));
    auto* revert = button(this, QStringLiteral("RevertButton"), tr("Ripristina originale..."));
    auto* translate = button(this, QStringLiteral("TranslateButton"), tr("Traduci e carica"));
    translate->setToolTip(tr("Traduce il microprogramma e lo carica (Ctrl+T)"));
    auto* checkButton = button(this, QStringLiteral("CheckButton"), tr("Verifica"));
    checkButton->setToolTip(tr("Confronta ogni istruzione IJVM con il suo significato"));
    for (QPushButton* b : {open, save, saveAs, revert}) {
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    buttons->addWidget(translate);
    buttons->addWidget(checkButton);
    connect(open, &QPushButton::clicked, this, &MicroprogramWindow::open);
    connect(save, &QPushButton::clicked, this, &MicroprogramWindow::save);
    connect(saveAs, &QPushButton::clicked, this, &MicroprogramWindow::saveAs);
    connect(revert, &QPushButton::clicked, this, &MicroprogramWindow::revertToBundled);
    connect(translate, &QPushButton::clicked, this, &MicroprogramWindow::translateAndLoad);
    connect(checkButton, &QPushButton::clicked, this, &MicroprogramWindow::check);
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this,
            &MicroprogramWindow::save);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this), &QShortcut::activated, this,
            &MicroprogramWindow::translateAndLoad);

    auto* problemsBox = new QWidget(this);
    auto* problemsLayout = new QVBoxLayout(problemsBox);
    problemsLayout->setContentsMargins(0, 0, 0, 0);
    problemsLayout->addWidget(new QLabel(tr("Errori della traduzione"), problemsBox));
    problemsLayout->addWidget(m_problems);
    auto* checkBox = new QWidget(this);
    auto* checkLayout = new QVBoxLayout(checkBox);
    checkLayout->setContentsMargins(0, 0, 0, 0);
    checkLayout->addWidget(new QLabel(tr("Verifica delle istruzioni"), checkBox));
    checkLayout->addWidget(m_checkList);
    auto* lower = new QSplitter(Qt::Horizontal, this);
    lower->addWidget(problemsBox);
    lower->addWidget(checkBox);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(createEditorTabs());
    split->addWidget(lower);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(split, 1);
    layout->addWidget(m_status);

    openFile(form->paths().microprogramSource());
}

void MicroprogramWindow::restoreUnsaved(const QString& path, const QString& text) {
    if (path.isEmpty() || path == m_path || !QFileInfo::exists(path) || !openFile(path)) {
        openFile(m_form->paths().microprogramSource());
    }
    m_editor->setPlainText(text);
    updateTitle();
}

bool MicroprogramWindow::isModified() const {
    return isMicroprogramModified() || (m_instructions != nullptr && m_instructions->isModified());
}

bool MicroprogramWindow::isMicroprogramModified() const {
    return m_editor->toPlainText() != m_savedText;
}

void MicroprogramWindow::updateTitle() {
    const QString name = QFileInfo(m_path).fileName();
    setWindowTitle(caption() + QStringLiteral(" - ") + name +
                   (isModified() ? QStringLiteral(" *") : QString()));
    if (m_tabs != nullptr) {
        const auto marked = [](const QString& path, bool modified) {
            return QFileInfo(path).fileName() + (modified ? QStringLiteral(" *") : QString());
        };
        m_tabs->setTabText(m_tabs->indexOf(m_editor), marked(m_path, isMicroprogramModified()));
        m_tabs->setTabText(m_tabs->indexOf(m_instructions),
                           marked(m_instructions->filePath(), m_instructions->isModified()));
    }
}

void MicroprogramWindow::showBox(const QString& text) {
    emit messageShown(caption(), text);
    QMessageBox box(QMessageBox::Warning, caption(), text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool MicroprogramWindow::openFile(const QString& path) {
    const TextFileResult read = TextFile::read(path);
    if (!read.ok) {
        showBox(QStringLiteral("%1\n\n%2").arg(QDir::toNativeSeparators(path), read.error));
        return false;
    }
    m_path = path;
    m_savedText = read.text;
    m_editor->setPlainText(read.text);
    m_problems->clear();
    updateTitle();
    return true;
}

bool MicroprogramWindow::saveFile(const QString& path) {
    const QString text = m_editor->toPlainText();
    const TextFileResult written = TextFile::write(path, text);
    if (!written.ok) {
        showBox(QStringLiteral("%1\n\n%2").arg(QDir::toNativeSeparators(path), written.error));
        return false;
    }
    m_path = path;
    m_savedText = text;
    updateTitle();
    m_status->setText(tr("Salvato in %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

bool MicroprogramWindow::maybeSave() {
    if (!isModified()) {
        return true;
    }
    const QString text =
        m_instructions->isModified()
            ? tr("Il microprogramma o l'insieme di istruzioni è stato modificato. Salvare le "
                 "modifiche?")
            : tr("Il microprogramma è stato modificato. Salvare le modifiche?");
    emit messageShown(caption(), text);
    QMessageBox box(QMessageBox::Question, caption(), text, QMessageBox::NoButton, this);
    QPushButton* yes = box.addButton(tr("Salva"), QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(tr("Non salvare"), QMessageBox::DestructiveRole);
    box.addButton(tr("Annulla"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.exec();
    if (box.clickedButton() == yes) {
        return save();
    }
    return box.clickedButton() == no;
}

void MicroprogramWindow::open() {
    if (!maybeSave()) {
        return;
    }
    if (showsInstructionSet()) {
        openInstructionSet();
        return;
    }
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Apri microprogramma"), QFileInfo(m_path).absolutePath(), fileFilter());
    if (!path.isEmpty()) {
        openFile(path);
    }
}

bool MicroprogramWindow::save() {
    const bool microprogramSaved = saveFile(m_path);
    return saveInstructionSet() && microprogramSaved;
}

bool MicroprogramWindow::saveAs() {
    if (showsInstructionSet()) {
        return saveInstructionSetAs();
    }
    QString path =
        QFileDialog::getSaveFileName(this, tr("Salva microprogramma"), m_path, fileFilter());
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".mal");
    }
    return saveFile(path);
}

void MicroprogramWindow::revertToBundled() {
    const QString text =
        tr("Sostituire il testo degli editor con il microprogramma e l'insieme di istruzioni "
           "originali di Tessaro?\nLe modifiche non salvate andranno perse; i file restano "
           "come sono finché non si salva.");
    emit messageShown(caption(), text);
    QMessageBox box(QMessageBox::Question, caption(), text, QMessageBox::NoButton, this);
    QPushButton* yes = box.addButton(tr("Ripristina"), QMessageBox::AcceptRole);
    box.addButton(tr("Annulla"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.exec();
    if (box.clickedButton() != yes) {
        return;
    }
    const std::string_view bundled = bundledMicroprogram();
    m_editor->setPlainText(
        TextFile::decode(QByteArray(bundled.data(), static_cast<qsizetype>(bundled.size()))));
    m_instructions->showBuiltin();
    updateTitle();
    m_status->setText(tr("Ripristinati il microprogramma e l'insieme di istruzioni originali "
                         "(non ancora salvati né caricati)"));
}

// What is translated is the editor's text as saving would write it, saved or not, and it never
// goes through a file: another instance on the same data root cannot swap it.
AssembledMicroprogram MicroprogramWindow::translateEditor(QByteArray& source) {
    source = TextFile::encode(m_editor->toPlainText());
    AssembledMicroprogram translated = MicroAssembler::assemble(
        std::string_view(source.constData(), static_cast<std::size_t>(source.size())));
    showProblems(translated);
    return translated;
}

void MicroprogramWindow::showProblems(const AssembledMicroprogram& translated) {
    m_problems->clear();
    for (const MalProblem& problem : translated.problems) {
        auto* item = new QListWidgetItem(
            problem.line > 0
                ? tr("Riga %1: %2").arg(problem.line).arg(QString::fromStdString(problem.message))
                : QString::fromStdString(problem.message),
            m_problems);
        item->setData(Qt::UserRole, problem.line);
    }
    if (!translated.problems.empty()) {
        m_problems->setCurrentRow(0);
        problemClicked(m_problems->item(0));
    }
}

void MicroprogramWindow::problemClicked(QListWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    if (item->data(Qt::UserRole + 1).toBool()) {
        selectInstructionSetLine(item->data(Qt::UserRole).toInt());
        return;
    }
    m_tabs->setCurrentWidget(m_editor);
    m_editor->selectLine(item->data(Qt::UserRole).toInt());
}

bool MicroprogramWindow::translateAndLoad() {
    QByteArray source;
    AssembledMicroprogram translated = translateEditor(source);
    // The two go into use together or not at all: a routine and its instruction belong together.
    const EditedInstructionSet edited = readInstructionSet();
    if (!edited.set) {
        const std::size_t count = translated.problems.size() + edited.errors.size();
        m_status->setText(count == 1 ? tr("1 errore: né il microprogramma né l'insieme di "
                                          "istruzioni sono stati caricati, restano in uso "
                                          "quelli precedenti")
                                     : tr("%1 errori: né il microprogramma né l'insieme di "
                                          "istruzioni sono stati caricati, restano in uso "
                                          "quelli precedenti")
                                           .arg(count));
        return false;
    }
    if (!translated.ok()) {
        const std::size_t count = translated.problems.size();
        m_status->setText(count == 1
                              ? tr("1 errore: il microprogramma non è stato caricato, resta in uso "
                                   "quello precedente")
                              : tr("%1 errori: il microprogramma non è stato caricato, resta in "
                                   "uso quello precedente")
                                    .arg(count));
        return false;
    }
    // MP/velkora.bin gets the store only now, so that it never holds a store with problems.
    const QString bin = m_form->paths().controlStoreFile();
    const bool written =
        TextFile::writeBytes(bin, QByteArray::fromStdString(controlStoreText(translated.records)))
            .ok;
    const int count = translated.instructionCount;
    m_form->installMicroprogram(std::move(translated), source, m_path);
    m_form->installInstructionSet(edited.set, m_instructions->bytes());
    const int missing = listMissingRoutines(*edited.set);
    QString done = tr("Microprogramma tradotto e caricato: %1 microistruzioni").arg(count);
    if (missing > 0) {
        done +=
            QStringLiteral("; ") + (missing == 1 ? tr("1 istruzione senza routine")
                                                 : tr("%1 istruzioni senza routine").arg(missing));
    }
    m_status->setText(done);
    if (!written) {
        showBox(tr("Il microprogramma è caricato, ma %1 non può essere scritto")
                    .arg(QDir::toNativeSeparators(bin)));
    }
    return true;
}

bool MicroprogramWindow::check() {
    QByteArray source;
    m_checkList->clear();
    m_results.clear();
    const AssembledMicroprogram translated = translateEditor(source);
    const EditedInstructionSet edited = readInstructionSet();
    if (!translated.ok() || !edited.set) {
        m_status->setText(tr("Correggere gli errori della traduzione prima della "
                             "verifica"));
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    MicroprogramCheck checker(translated.records);
    checker.setInstructionSet(edited.set);
    m_results = checker.run(CheckOptions{});
    QApplication::restoreOverrideCursor();
    if (m_results.empty()) {
        showBox(QString::fromStdString(checker.error()));
        return false;
    }
    int failed = 0;
    int unchecked = 0;
    for (const InstructionCheck& result : m_results) {
        auto* item = new QListWidgetItem(QString::fromStdString(verdictLine(result)), m_checkList);
        if (!result.notChecked.empty()) {
            // Nothing says what it should do, so nothing says it is wrong.
            ++unchecked;
            item->setForeground(QColor(0x60, 0x60, 0x60));
        } else if (!result.passed()) {
            ++failed;
            item->setForeground(QColor(0xC0, 0x00, 0x00));
        }
        for (const std::string& line : failureDetails(result)) {
            new QListWidgetItem(QStringLiteral("    ") + QString::fromStdString(line), m_checkList);
        }
    }
    const std::size_t checked = m_results.size() - static_cast<std::size_t>(unchecked);
    QString verdict = failed == 0 ? tr("Verifica superata: tutte le %1 istruzioni "
                                       "sono eseguite correttamente")
                                        .arg(checked)
                      : failed == 1
                          ? tr("Verifica: 1 istruzione errata su %1").arg(checked)
                          : tr("Verifica: %1 istruzioni errate su %2").arg(failed).arg(checked);
    if (unchecked > 0) {
        verdict += QStringLiteral("; ") + (unchecked == 1
                                               ? tr("1 istruzione non verificata")
                                               : tr("%1 istruzioni non verificate").arg(unchecked));
    }
    m_status->setText(verdict);
    return failed == 0;
}

void MicroprogramWindow::closeEvent(QCloseEvent* event) {
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    discardChanges();
    event->accept();
}

void MicroprogramWindow::discardChanges() {
    // Not saving means leaving the changes: the window shows the file when it opens again.
    if (isMicroprogramModified()) {
        m_editor->setPlainText(m_savedText);
    }
    m_instructions->discardChanges();
    updateTitle();
}

} // namespace tessaro
