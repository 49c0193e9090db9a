// The main window's Run against the plain run loop on the same program: Run goes in slices on
// the event loop, refreshing its status line between them, and should cost little of the
// machine's speed. Prints both rates, in micro-instructions per second, and their ratio.
//
// QT_QPA_PLATFORM=offscreen bench/bench_gui_run [ROUNDS]

#include "ui/app/app_paths.h"
#include "ui/app/main_window.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using tessaro::MainWindow;

// 4 * ROUNDS + 5 IJVM instructions: IINC, ILOAD, IFEQ (not taken), GOTO per round.
QString countingLoop(long rounds) {
    return QStringLiteral(".constant\nrounds %1\n.end-constant\n.main\n.var\ni\n.end-var\n"
                          "LDCW rounds\nISTORE i\nloop: IINC i -1\nILOAD i\nIFEQ done\n"
                          "GOTO loop\ndone: HALT\n.end-main\n")
        .arg(rounds);
}

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Micro-instructions per second of the plain loop: the machine run to HALT in large slices.
double plainRate(MainWindow& window) {
    double best = 0;
    for (int i = 0; i < 3; ++i) {
        tessaro::ControlPath machine = window.machine();
        machine.reset();
        const std::int64_t start = machine.microCount;
        const auto t0 = std::chrono::steady_clock::now();
        while (!machine.runFor(50'000'000)) {
        }
        const double s = seconds(std::chrono::steady_clock::now() - t0);
        best = std::max(best, static_cast<double>(machine.microCount - start) / s);
    }
    return best;
}

// Micro-instructions per second of the window's Run, from the press to the refreshed views.
double windowRate(MainWindow& window) {
    double best = 0;
    for (int i = 0; i < 3; ++i) {
        window.resetCommand();
        const std::int64_t start = window.machine().microCount;
        QEventLoop loop;
        QObject::connect(&window, &MainWindow::executionFinished, &loop, &QEventLoop::quit);
        const auto t0 = std::chrono::steady_clock::now();
        window.runCommand();
        if (window.isRunning()) {
            loop.exec();
        }
        const double s = seconds(std::chrono::steady_clock::now() - t0);
        best = std::max(best, static_cast<double>(window.machine().microCount - start) / s);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Long enough (about 270 million micro-instructions) that the one refresh of the views at
    // the end weighs little against the run itself.
    const long rounds = argc > 1 ? std::atol(argv[1]) : 10'000'000;
    QTemporaryDir root;
    const tessaro::AppPaths paths(root.path());
    QString error;
    if (!root.isValid() || !paths.prepare(&error)) {
        std::fprintf(stderr, "cannot prepare the data folder: %s\n", qPrintable(error));
        return 1;
    }
    const QString program = QDir(root.path()).filePath(QStringLiteral("loop.jvm"));
    QFile file(program);
    if (!file.open(QIODevice::WriteOnly) || file.write(countingLoop(rounds).toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write the program\n");
        return 1;
    }
    file.close();

    // The message window that confirms the load is answered at once.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->accept();
        }
    });
    answer.start(10);

    MainWindow window(paths);
    window.show();
    if (!window.openProgramFile(program)) {
        return 1;
    }
    window.compileAndLoad();
    if (!window.programLoaded()) {
        std::fprintf(stderr, "the program did not load\n");
        return 1;
    }
    answer.stop();
    const double plain = plainRate(window);
    const double gui = windowRate(window);
    std::printf("plain run loop: %.1f million micro-instructions/s\n", plain / 1e6);
    std::printf("window's Run:   %.1f million micro-instructions/s (%.1f%%)\n", gui / 1e6,
                100.0 * gui / plain);
    return 0;
}
