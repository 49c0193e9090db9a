// The microprogram window as a student meets it: edit a routine, check it, translate and load
// it, run the program on it; and the questions before anything is lost.

#include "ui/editor/mal_editor.h"
#include "ui/workbench/microprogram_window.h"
#include "window_fixture.h"

#include <QListWidget>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace tessaro;

namespace {

const char* const kSum = ".main\nBIPUSH 7\nBIPUSH 3\nIADD\nHALT\n.end-main\n";
const QString kAdd = QStringLiteral("iadd3    MDR = TOS = MDR + H");
const QString kSubtract = QStringLiteral("iadd3    MDR = TOS = MDR - H");
const Qt::MatchFlags kFailed = Qt::MatchContains | Qt::MatchCaseSensitive;
const std::string kBundled(bundledMicroprogram());

// Another instance on the same data root, reduced to its writes: until destroyed it keeps
// putting its own contents in place of each file, whole (written aside, then renamed).
class OtherInstance {
public:
    explicit OtherInstance(std::vector<std::pair<QString, std::string>> files)
        : m_files(std::move(files)), m_writer([this] { write(); }) {}
    ~OtherInstance() {
        m_stop = true;
        m_writer.join();
    }

private:
    void write() {
        while (!m_stop) {
            for (const auto& [path, content] : m_files) {
                const std::string target = QFile::encodeName(path).toStdString();
                std::ofstream(target + ".new", std::ios::binary) << content;
                std::rename((target + ".new").c_str(), target.c_str());
            }
        }
    }

    std::vector<std::pair<QString, std::string>> m_files;
    std::atomic<bool> m_stop{false};
    std::thread m_writer;
};

} // namespace

class TestMicroprogramWindow : public WindowFixture {
    Q_OBJECT

    MicroprogramWindow* mp() { return window->microprogramWindow(); }
    MalEditor* mpEditor() { return mp()->editor(); }
    void click(const char* name) {
        mp()->findChild<QPushButton*>(QString::fromLatin1(name))->click();
    }
    QListWidget* list(const char* name) {
        return mp()->findChild<QListWidget*>(QString::fromLatin1(name));
    }
    QString status() { return mp()->findChild<QLabel*>(QStringLiteral("StatusLabel"))->text(); }
    void replace(const QString& from, const QString& to) {
        QString text = mpEditor()->toPlainText();
        QVERIFY2(text.contains(from), qPrintable(from));
        mpEditor()->setPlainText(text.replace(from, to));
    }
    // Steps to the HALT and gives the top of the stack.
    std::int32_t stepToHalt() {
        for (int i = 0; i < 100 && !w().session.atHalt(); ++i) {
            button("BitBtn2")->click();
        }
        return machine().TOS();
    }
    QString savedMicroprogram() { return TextFile::read(mp()->filePath()).text; }

private slots:
    void initTestCase() { prepareRoot(); }
    void init() {
        openWindow();
        menuAction(QStringLiteral("&Microprogramma..."))->trigger();
        connect(mp(), &MicroprogramWindow::messageShown, this,
                [this](const QString&, const QString& text) { messages.append(text); });
    }
    void cleanup() {
        mpEditor()->document()->setModified(false); // closing asks no more
        closeWindow();
    }

    void aChangedMicroprogramIsListedWithItsProblemsOrExecutedOnceTranslated() {
        QCOMPARE(mpEditor()->toPlainText(), bundledMicroprogramText());
        load(kSum);
        const std::int32_t startPc = machine().PC();
        const QString broken = QStringLiteral("iadd2    H = TOS; goto nowhere");
        replace(QStringLiteral("iadd2    H = TOS"), broken);
        replace(kAdd, kSubtract);
        QVERIFY(mp()->windowTitle().endsWith(QStringLiteral(" *")));
        click("TranslateButton");
        QListWidget* problems = list("ProblemList");
        QVERIFY(problems->count() > 0);
        QVERIFY(status().contains(QStringLiteral("non è stato caricato")));
        // A click on a problem selects its line.
        const int line =
            problems->item(0)->text().section(QLatin1Char(' '), 1, 1).chopped(1).toInt();
        mpEditor()->moveCursor(QTextCursor::Start);
        emit problems->itemClicked(problems->item(0));
        QCOMPARE(mpEditor()->currentLine(), line);
        QVERIFY(mpEditor()->textCursor().selectedText().contains(QStringLiteral("nowhere")));
        // The adding routine is still the one that runs, and the one listed.
        QCOMPARE(stepToHalt(), 10);
        QVERIFY(listing()->toPlainText().contains(kAdd));

        // Corrected, the check names the wrong instruction; translated, the program is back
        // at its start and runs on the new routine, which is not saved yet.
        replace(broken, QStringLiteral("iadd2    H = TOS"));
        click("CheckButton");
        const QList<QListWidgetItem*> failed =
            list("CheckList")->findItems(QStringLiteral(" FAIL"), kFailed);
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed[0]->text().startsWith(QStringLiteral("IADD FAIL")));
        click("TranslateButton");
        QCOMPARE(problems->count(), 0);
        QVERIFY2(status().contains(QStringLiteral("caricato")), qPrintable(status()));
        QVERIFY(w().programLoaded());
        QCOMPARE(machine().PC(), startPc);
        QCOMPARE(stepToHalt(), 4);
        QVERIFY(listing()->toPlainText().contains(kSubtract));
        QCOMPARE(savedMicroprogram(), bundledMicroprogramText());
    }

    void aRunInProgressIsStoppedBeforeTheStoreIsReplaced() {
        load(".main\nl: GOTO l\n.end-main\n");
        button("BitBtn3")->click();
        QTRY_VERIFY(w().session.microInstructions() > 1000);
        click("TranslateButton");
        QVERIFY(!w().isRunning());
        QVERIFY(w().programLoaded());
        QVERIFY(w().session.microInstructions() < 1000);
    }

    void revertingAndClosingAskFirst_data() {
        QTest::addColumn<bool>("revert"); // else close
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("kept");  // the changed text stays in the window
        QTest::addColumn<bool>("saved"); // the changed text is in the file
        // Reverting goes back to the bundled text, not to the file.
        QTest::newRow("revert, cancel") << true << "Annulla" << true << true;
        QTest::newRow("revert") << true << "Ripristina" << false << true;
        QTest::newRow("close, cancel") << false << "Annulla" << true << false;
        QTest::newRow("close, don't save") << false << "Non salvare" << false << false;
        QTest::newRow("close, save") << false << "Salva" << false << true;
    }
    void revertingAndClosingAskFirst() {
        QFETCH(bool, revert);
        QFETCH(QString, answer);
        QFETCH(bool, kept);
        QFETCH(bool, saved);
        replace(kAdd, kSubtract);
        driver->then(press(answer));
        if (revert) {
            QVERIFY(TextFile::write(mp()->filePath(), mpEditor()->toPlainText()).ok);
            click("RevertButton");
        } else {
            mp()->close();
            QCOMPARE(mp()->isVisible(), kept);
        }
        QCOMPARE(savedMicroprogram().contains(kSubtract), saved);
        if (mp()->isVisible()) {
            QCOMPARE(mpEditor()->toPlainText().contains(kSubtract), kept);
        } else {
            menuAction(QStringLiteral("&Microprogramma..."))->trigger();
            QCOMPARE(mpEditor()->toPlainText().contains(kSubtract), saved);
        }
    }

    void quittingAsksOnceAndLeavesNoWindow() {
        replace(kAdd, kSubtract);
        driver->then(press(QStringLiteral("Non salvare")));
        QVERIFY(w().close());
        QTest::qWait(20);
        QCOMPARE(driver->seen.size(), 1);
        QVERIFY(!mp()->isVisible());
        QCOMPARE(savedMicroprogram(), bundledMicroprogramText());
    }

    // Another instance on the same data root keeps replacing the files a translation writes:
    // the scratch copies under tmp/ and MP/velkora.bin. What this window translates, checks
    // and loads, and what a window starting now loads, must come from their own texts alone.
    void anotherInstanceWritingTheSameFilesChangesNothingHere() {
        const QString scratch = w().paths().scratchDir();
        // Its sources hold the adding routine, its stores nothing.
        const OtherInstance other({{scratch + QStringLiteral("/microprogram.mal"), kBundled},
                                   {scratch + QStringLiteral("/check.jvm"), kBundled},
                                   {scratch + QStringLiteral("/microprogram.bin"), ""},
                                   {scratch + QStringLiteral("/check.bin"), ""},
                                   {w().paths().controlStoreFile(), ""}});
        replace(kAdd, kSubtract);
        load(kSum);
        for (int round = 0; round < 5; ++round) {
            click("TranslateButton");
            QCOMPARE(list("ProblemList")->count(), 0);
            QCOMPARE(stepToHalt(), 4);
        }
        click("CheckButton");
        QCOMPARE(list("CheckList")->findItems(QStringLiteral(" FAIL"), kFailed).size(), 1);
        QVERIFY(messages.isEmpty());
        const tessaro::MainWindow starting(w().paths());
        QVERIFY(starting.microprogramProblems().empty());
        QCOMPARE(starting.machine().controlStore.elementCount(),
                 machine().controlStore.elementCount());
    }

    void saveAsAndOpenChangeTheFile() {
        const QString other = root.filePath(QStringLiteral("mine.mal"));
        replace(kAdd, kSubtract);
        QVERIFY(mp()->saveFile(other));
        QVERIFY(mp()->windowTitle().contains(QStringLiteral("mine.mal")));
        QVERIFY(mp()->openFile(w().paths().microprogramSource()));
        QCOMPARE(mpEditor()->toPlainText(), bundledMicroprogramText());
        QVERIFY(!mp()->openFile(root.filePath(QStringLiteral("absent.mal"))));
        QCOMPARE(mp()->filePath(), w().paths().microprogramSource()); // and a message
        QCOMPARE(messages.size(), 1);
        QVERIFY(mp()->openFile(other));
        QVERIFY(mpEditor()->toPlainText().contains(kSubtract));
    }
};

QTEST_MAIN(TestMicroprogramWindow)
#include "test_microprogram_window.moc"
