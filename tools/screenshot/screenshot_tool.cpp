// Takes the documentation screenshots: the main window after a micro step that reads memory
// and after an IJVM step, and the microprogram window after a check that fails. Run under a real
// display (for example xvfb-run):
//   tessaro_ui_screenshot DATA_ROOT OUTPUT_DIR [EXAMPLE] [IJVM_STEPS] [FORMAT]
// EXAMPLE is a file in the examples folder or a path; FORMAT is the format selector's index.
// With --debugging first, the debugging screenshots instead: a breakpoint hit, a step back and
// the statistics window after the whole run (EXAMPLE by default fibonacci_recursive.jvm).
// TESSARO_WINDOW_SIZE=WIDTHxHEIGHT takes them with the main window at that size.
#include "ui/app/app_paths.h"
#include "ui/app/main_window.h"
#include "ui/app/statistics_window.h"
#include "ui/editor/mal_editor.h"
#include "ui/language/language.h"
#include "ui/picture/datapath_view.h"
#include "ui/workbench/microprogram_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

#include <cstdio>
#include <cstring>

using namespace tessaro;

namespace {

void settle(MainWindow& window) {
    window.datapathView()->finishAnimations();
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
    }
}

bool grab(MainWindow& window, const QString& path) {
    settle(window);
    const bool ok = window.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

void waitForTheRun(MainWindow& window) {
    while (window.isRunning()) {
        QApplication::processEvents();
    }
    settle(window);
}

// A breakpoint at the line of fib that ends the recursion: the run stops there, three steps
// on, one step back, then the whole run with the statistics window.
bool debuggingShots(MainWindow& window, const QString& outDir) {
    auto* program = window.findChild<MarginEditor*>(QStringLiteral("Memo1"));
    if (program == nullptr) {
        return false;
    }
    const QTextCursor small = program->document()->find(QStringLiteral("small:  ILOAD n"));
    if (small.isNull()) {
        std::fprintf(stderr, "the example has no line \"small:  ILOAD n\"\n");
        return false;
    }
    // The margin's click, as the user makes it.
    emit program->marginClicked(small.blockNumber());
    window.runCommand();
    waitForTheRun(window);
    bool ok = grab(window, QDir(outDir).filePath("screenshot-breakpoint.png"));
    for (int i = 0; i < 3; ++i) {
        window.ijvmStepCommand();
        waitForTheRun(window);
    }
    if (auto* back = window.findChild<QPushButton*>(QStringLiteral("BackStepButton"))) {
        back->click();
    }
    ok = grab(window, QDir(outDir).filePath("screenshot-step-back.png")) && ok;
    emit program->marginClicked(small.blockNumber());
    window.runCommand();
    waitForTheRun(window);
    window.showStatistics();
    auto* statistics = window.findChild<StatisticsWindow*>();
    settle(window);
    const QString shot = QDir(outDir).filePath("screenshot-statistics.png");
    const bool saved = statistics != nullptr && statistics->grab().save(shot);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(shot));
    return ok && saved;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // TESSARO_LANG=en takes the screenshots in English; without it they stay in Italian.
    if (!qEnvironmentVariable("TESSARO_LANG").isEmpty()) {
        installTranslators(app, chooseLanguage({}, qEnvironmentVariable("TESSARO_LANG"),
                                               QLocale(QLocale::Italian)));
    }
    const bool debugging = argc > 1 && std::strcmp(argv[1], "--debugging") == 0;
    if (debugging) {
        --argc;
        ++argv;
    }
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s [--debugging] DATA_ROOT OUTPUT_DIR [EXAMPLE] [IJVM_STEPS]\n",
                     argv[0]);
        return 2;
    }
    const AppPaths paths(QString::fromLocal8Bit(argv[1]));
    QString error;
    if (!paths.prepare(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QString outDir = QString::fromLocal8Bit(argv[2]);
    const QString example = argc > 3    ? QString::fromLocal8Bit(argv[3])
                            : debugging ? "fibonacci_recursive.jvm"
                                        : "factorial.jvm";
    const int ijvmSteps = argc > 4 ? std::atoi(argv[4]) : 40;
    const int format = argc > 5 ? std::atoi(argv[5]) : 0;

    // Every message window is answered at once.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->accept();
        }
    });
    answer.start(10);

    MainWindow window(paths);
    window.show();
    if (const QStringList size =
            qEnvironmentVariable("TESSARO_WINDOW_SIZE").split(QLatin1Char('x'));
        size.size() == 2) {
        window.resize(size[0].toInt(), size[1].toInt());
    }
    settle(window);
    const QString program = QFileInfo(example).isAbsolute()
                                ? example
                                : paths.examplesDir() + QLatin1Char('/') + example;
    if (!window.openProgramFile(program)) {
        return 1;
    }
    window.compileAndLoad();
    if (!window.programLoaded()) {
        std::fprintf(stderr, "the example did not assemble\n");
        return 1;
    }
    if (debugging) {
        return debuggingShots(window, outDir) ? 0 : 1;
    }
    if (auto* selector = window.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
        selector != nullptr && format > 0) {
        selector->setCurrentIndex(format);
        window.formatChanged(format);
    }
    for (int i = 0; i < ijvmSteps; ++i) {
        window.ijvmStepCommand();
        settle(window);
    }
    // Micro steps up to one that starts a memory read (Mem bit "rd").
    for (int i = 0; i < 200; ++i) {
        window.microStepCommand();
        if ((window.machine().MIR & 0x20U) != 0) {
            break;
        }
    }
    bool ok = grab(window, QDir(outDir).filePath("screenshot-micro-step.png"));
    window.ijvmStepCommand();
    ok = grab(window, QDir(outDir).filePath("screenshot-ijvm-step.png")) && ok;

    // The microprogram window after a check of a wrong ISUB, with the editor at its routine.
    window.openMicroprogramWindow();
    MicroprogramWindow* workbench = window.microprogramWindow();
    MalEditor* editor = workbench->editor();
    const QString right = QStringLiteral("isub3    MDR = TOS = MDR - H");
    editor->setPlainText(
        editor->toPlainText().replace(right, QStringLiteral("isub3    MDR = TOS = MDR + H")));
    workbench->check();
    editor->find(QStringLiteral("isub3"));
    editor->centerCursor();
    if (auto* list = workbench->findChild<QListWidget*>(QStringLiteral("CheckList"))) {
        const QList<QListWidgetItem*> failed =
            list->findItems(QStringLiteral("ISUB FAIL"), Qt::MatchExactly);
        if (!failed.isEmpty()) {
            list->scrollToItem(failed.front(), QAbstractItemView::PositionAtTop);
        }
    }
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
    }
    const QString shot = QDir(outDir).filePath("screenshot-microprogram.png");
    const bool saved = workbench->grab().save(shot);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(shot));
    editor->setPlainText(
        editor->toPlainText().replace(QStringLiteral("MDR + H"), QStringLiteral("MDR - H")));
    return ok && saved ? 0 : 1;
}
