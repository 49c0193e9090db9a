// The microprogram window as a student meets it: edit a routine, translate and load it, run
// the program on it, break it, check it; and the questions before anything is lost.

#include "data/bundled.h"
#include "modal_driver.h"
#include "ui/mal_editor.h"
#include "ui/mal_highlighter.h"
#include "ui/microprogram_window.h"
#include "ui/text_file.h"
#include "ui/tform1.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include <memory>

using namespace tessaro;

namespace {

const char* const kSum = ".main\nBIPUSH 7\nBIPUSH 3\nIADD\nHALT\n.end-main\n";
const char* const kForever = ".main\nl: GOTO l\n.end-main\n";
const QString kAdd = QStringLiteral("iadd3    MDR = TOS = MDR + H");
const QString kSubtract = QStringLiteral("iadd3    MDR = TOS = MDR - H");

// Presses the button of a message box whose text is caption.
ModalDriver::Answer press(const QString& caption) {
    return [caption](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == caption) {
                b->click();
                return;
            }
        }
        QFAIL(qPrintable("no button " + caption));
    };
}

QString bundledText() {
    const std::string_view text = bundledMicroprogram();
    return TextFile::decode(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

} // namespace

class TestMicroprogramWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    std::unique_ptr<TForm1> m_form;
    std::unique_ptr<ModalDriver> m_driver;
    QStringList m_messages;

    template <typename T> T* child(QWidget* parent, const char* name) {
        T* found = parent->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("no child %s", name);
        }
        return found;
    }
    MicroprogramWindow* window() {
        MicroprogramWindow* w = m_form->microprogramWindow();
        if (w == nullptr) {
            qFatal("the microprogram window is not open");
        }
        return w;
    }
    void click(const char* name) { child<QPushButton>(window(), name)->click(); }
    QListWidget* list(const char* name) { return child<QListWidget>(window(), name); }
    QString status() { return child<QLabel>(window(), "StatusLabel")->text(); }
    void replace(const QString& from, const QString& to) {
        QString text = window()->editor()->toPlainText();
        QVERIFY2(text.contains(from), qPrintable(from));
        window()->editor()->setPlainText(text.replace(from, to));
    }
    void load(const char* program) {
        auto* editor = child<QPlainTextEdit>(m_form.get(), "Memo1");
        editor->setPlainText(QString::fromUtf8(program));
        editor->document()->setModified(true);
        child<QPushButton>(m_form.get(), "BitBtn5")->click();
        QVERIFY(m_form->programLoaded());
        m_messages.clear();
    }
    // Steps to the HALT and gives the top of the stack.
    std::int32_t stepToHalt() {
        for (int i = 0; i < 100 && !m_form->session.atHalt(); ++i) {
            child<QPushButton>(m_form.get(), "BitBtn2")->click();
        }
        return m_form->machine().TOS();
    }
    void openFromMenu() {
        for (QAction* action : m_form->menuBar()->findChildren<QAction*>()) {
            if (action->text() == QStringLiteral("&Microprogramma...")) {
                action->trigger();
                return;
            }
        }
        QFAIL("no menu entry for the microprogram window");
    }

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QString error;
        QVERIFY2(AppPaths(m_root.path()).prepare(&error), qPrintable(error));
    }

    void init() {
        // Every case starts from the bundled microprogram on disk.
        const AppPaths paths(m_root.path());
        QVERIFY(TextFile::write(paths.microprogramSource(), bundledText()).ok);
        m_driver = std::make_unique<ModalDriver>();
        m_form = std::make_unique<TForm1>(paths);
        m_messages.clear();
        connect(m_form.get(), &TForm1::messageShown, this,
                [this](const QString&, const QString& text) { m_messages.append(text); });
        openFromMenu();
        connect(window(), &MicroprogramWindow::messageShown, this,
                [this](const QString&, const QString& text) { m_messages.append(text); });
    }

    void cleanup() {
        window()->editor()->setPlainText(window()->editor()->toPlainText()); // keeps changes
        if (window()->isModified()) {
            QVERIFY(window()->saveFile(window()->filePath()));
        }
        child<QPlainTextEdit>(m_form.get(), "Memo1")->clear();
        m_form.reset();
        QCOMPARE(m_driver->pending(), std::size_t{0});
        m_driver.reset();
    }

    void theMenuOpensTheMicroprogramOfTheDataFolder() {
        QVERIFY(window()->isVisible());
        QCOMPARE(window()->filePath(), m_form->paths().microprogramSource());
        QCOMPARE(window()->editor()->toPlainText(), bundledText());
        QVERIFY(window()->windowTitle().contains(QStringLiteral("velkora.mal")));
        QVERIFY(!window()->isModified());
        // Line numbers in a margin wide enough for three digits.
        QWidget* margin = child<QWidget>(window()->editor(), "LineNumbers");
        QVERIFY(margin->width() >= window()->editor()->lineNumberWidth());
    }

    void anEditedRoutineIsUsedAtOnceAndAProgramStaysLoaded() {
        load(kSum);
        const std::int32_t startPc = m_form->machine().PC();
        QCOMPARE(stepToHalt(), 10);

        replace(kAdd, kSubtract);
        QVERIFY(window()->windowTitle().endsWith(QStringLiteral(" *")));
        click("TranslateButton");
        QCOMPARE(list("ProblemList")->count(), 0);
        QVERIFY2(status().contains(QStringLiteral("caricato")), qPrintable(status()));
        // The program is still loaded, back at its start, and runs on the new routine.
        QVERIFY(m_form->programLoaded());
        QCOMPARE(m_form->machine().PC(), startPc);
        QCOMPARE(stepToHalt(), 4);
        // The listing and its caption follow; the control store file holds the new store.
        QVERIFY(child<QPlainTextEdit>(m_form.get(), "Memo2")->toPlainText().contains(kSubtract));
        QCOMPARE(child<QLabel>(m_form.get(), "Label33")->text(),
                 QDir::toNativeSeparators(window()->filePath()));
        QVERIFY(QFileInfo(m_form->paths().controlStoreFile()).size() > 0);
        const QByteArray store = [&] {
            QFile f(m_form->paths().controlStoreFile());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        // Translating does not save: the file on disk is untouched.
        QCOMPARE(TextFile::read(window()->filePath()).text, bundledText());

        // A problem: nothing is loaded, the subtracting routine stays in use.
        replace(QStringLiteral("iadd2    H = TOS"),
                QStringLiteral("iadd2    H = TOS; goto nowhere"));
        click("TranslateButton");
        QListWidget* problems = list("ProblemList");
        QVERIFY(problems->count() > 0);
        QVERIFY2(problems->item(0)->text().startsWith(QStringLiteral("Riga ")),
                 qPrintable(problems->item(0)->text()));
        QVERIFY(status().contains(QStringLiteral("non è stato caricato")));
        const int line =
            problems->item(0)->text().section(QLatin1Char(' '), 1, 1).chopped(1).toInt();
        window()->editor()->moveCursor(QTextCursor::Start);
        emit problems->itemClicked(problems->item(0));
        QCOMPARE(window()->editor()->currentLine(), line);
        QVERIFY(
            window()->editor()->textCursor().selectedText().contains(QStringLiteral("nowhere")));
        child<QPushButton>(m_form.get(), "BitBtn4")->click(); // Reset
        QCOMPARE(stepToHalt(), 4);
        QVERIFY(child<QPlainTextEdit>(m_form.get(), "Memo2")->toPlainText().contains(kSubtract));
        QFile f(m_form->paths().controlStoreFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), store);
    }

    void aRunInProgressIsStoppedBeforeTheStoreIsReplaced() {
        load(kForever);
        child<QPushButton>(m_form.get(), "BitBtn3")->click();
        QTRY_VERIFY(m_form->session.microInstructions() > 1000);
        QVERIFY(m_form->isRunning());
        click("TranslateButton");
        QVERIFY(!m_form->isRunning());
        QVERIFY(m_form->programLoaded());
        QVERIFY(m_form->session.microInstructions() < 1000);
    }

    void theCheckListsEveryInstructionAndNamesTheWrongOne() {
        click("CheckButton");
        QListWidget* results = list("CheckList");
        QCOMPARE(results->count(), 25);
        QCOMPARE(results->item(1)->text(), QStringLiteral("IADD ok 4"));
        QVERIFY(status().contains(QStringLiteral("superata")));

        replace(QStringLiteral("isub3    MDR = TOS = MDR - H"),
                QStringLiteral("isub3    MDR = TOS = MDR + H"));
        click("CheckButton");
        QCOMPARE(results->findItems(QStringLiteral("ISUB FAIL"), Qt::MatchExactly).size(), 1);
        QCOMPARE(
            results->findItems(QStringLiteral(" FAIL"), Qt::MatchContains | Qt::MatchCaseSensitive)
                .size(),
            1);
        QVERIFY(
            !results->findItems(QStringLiteral("micro-addresses executed: 0 5"), Qt::MatchContains)
                 .isEmpty());
        // Checking loads nothing.
        load(kSum);
        QCOMPARE(stepToHalt(), 10);
    }

    void revertingAsksAndReplacesOnlyTheText() {
        replace(kAdd, kSubtract);
        m_driver->then(press(QStringLiteral("Annulla")));
        click("RevertButton");
        QVERIFY(window()->editor()->toPlainText().contains(kSubtract));

        QVERIFY(TextFile::write(window()->filePath(), window()->editor()->toPlainText()).ok);
        m_driver->then(press(QStringLiteral("Ripristina")));
        click("RevertButton");
        QCOMPARE(window()->editor()->toPlainText(), bundledText());
        QVERIFY(TextFile::read(window()->filePath()).text.contains(kSubtract));
        QVERIFY(m_messages.size() == 2);
        QVERIFY(TextFile::write(window()->filePath(), bundledText()).ok);
    }

    void closingWithChangesAsksFirst() {
        replace(kAdd, kSubtract);
        m_driver->then(press(QStringLiteral("Annulla")));
        window()->close();
        QVERIFY(window()->isVisible());
        QVERIFY(window()->isModified());

        m_driver->then(press(QStringLiteral("Non salvare")));
        window()->close();
        QVERIFY(!window()->isVisible());
        openFromMenu();
        QCOMPARE(window()->editor()->toPlainText(), bundledText());

        replace(kAdd, kSubtract);
        m_driver->then(press(QStringLiteral("Salva")));
        window()->close();
        QVERIFY(TextFile::read(window()->filePath()).text.contains(kSubtract));
        QVERIFY(TextFile::write(window()->filePath(), bundledText()).ok);
        QVERIFY(window()->openFile(window()->filePath()));
    }

    void saveAsAndOpenChangeTheFile() {
        const QString other = m_root.filePath(QStringLiteral("mine.mal"));
        replace(kAdd, kSubtract);
        QVERIFY(window()->saveFile(other));
        QVERIFY(!window()->isModified());
        QVERIFY(window()->windowTitle().contains(QStringLiteral("mine.mal")));
        QVERIFY(window()->openFile(m_form->paths().microprogramSource()));
        QCOMPARE(window()->editor()->toPlainText(), bundledText());
        QVERIFY(window()->openFile(other));
        QVERIFY(window()->editor()->toPlainText().contains(kSubtract));
        QVERIFY(!window()->openFile(m_root.filePath(QStringLiteral("absent.mal"))));
        QCOMPARE(window()->filePath(), other);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(window()->openFile(m_form->paths().microprogramSource()));
    }

    void theHighlighterColoursEachKindOfText() {
        window()->editor()->setPlainText(
            QStringLiteral("iadd3    MDR = TOS = MDR + H; wr; goto Main1 / sum 12"));
        const QTextBlock block = window()->editor()->document()->firstBlock();
        const QList<QTextLayout::FormatRange> formats = block.layout()->formats();
        auto kindAt = [&](const QString& word) -> QColor {
            const int at = static_cast<int>(block.text().indexOf(word));
            for (const QTextLayout::FormatRange& range : formats) {
                if (at >= range.start && at < range.start + range.length) {
                    return range.format.foreground().color();
                }
            }
            return {};
        };
        using Kind = MalHighlighter::Kind;
        QCOMPARE(kindAt(QStringLiteral("iadd3")),
                 MalHighlighter::format(Kind::Label).foreground().color());
        QCOMPARE(kindAt(QStringLiteral("TOS")),
                 MalHighlighter::format(Kind::Register).foreground().color());
        QCOMPARE(kindAt(QStringLiteral("wr")),
                 MalHighlighter::format(Kind::Keyword).foreground().color());
        QCOMPARE(kindAt(QStringLiteral("/ sum")),
                 MalHighlighter::format(Kind::Comment).foreground().color());
        QCOMPARE(kindAt(QStringLiteral("12")),
                 MalHighlighter::format(Kind::Comment).foreground().color());
        window()->editor()->setPlainText(QStringLiteral("x    H = 1"));
        const QTextBlock second = window()->editor()->document()->firstBlock();
        bool numbered = false;
        for (const QTextLayout::FormatRange& range : second.layout()->formats()) {
            numbered |=
                range.start == 9 && range.format.foreground().color() ==
                                        MalHighlighter::format(Kind::Number).foreground().color();
        }
        QVERIFY(numbered);
        QVERIFY(window()->openFile(window()->filePath()));
    }
};

QTEST_MAIN(TestMicroprogramWindow)
#include "test_microprogram_window.moc"
