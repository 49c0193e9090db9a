// How long the main window takes to stop a run, step and step back, views refreshed, when the
// machine's memory holds millions of words (a program that pushed them on its stack). Each
// command is timed from the call to the end of its refresh, with the event loop drained.
//
// QT_QPA_PLATFORM=offscreen bench/bench_big_memory_views [WORDS [ROUNDS]]

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
#include <ctime>
#include <functional>
#include <vector>

namespace {

using tessaro::MainWindow;

// Pushes words on the stack, then spins without touching memory.
QString pushingProgram(long words) {
    return QStringLiteral(".constant\nwords %1\n.end-constant\n.main\n.var\ni\n.end-var\n"
                          "LDCW words\nISTORE i\npush: BIPUSH 1\nIINC i -1\nILOAD i\nIFEQ spin\n"
                          "GOTO push\nspin: NOP\nGOTO spin\n.end-main\n")
        .arg(words);
}

double milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// CPU time of the process: on a machine shared with other work the wall time mostly tells
// how long the command waited for a core.
double cpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Timings {
    double median = 0;
    double slowest = 0;
    double cpuMedian = 0;
};

// Timings of rounds runs of command, each ended when the window is idle again.
Timings timed(MainWindow& window, int rounds, const std::function<void()>& command) {
    std::vector<double> times;
    std::vector<double> cpu;
    for (int i = 0; i < rounds; ++i) {
        const double cpu0 = cpuMilliseconds();
        const auto t0 = std::chrono::steady_clock::now();
        command();
        if (window.isRunning()) {
            QEventLoop loop;
            QObject::connect(&window, &MainWindow::executionFinished, &loop, &QEventLoop::quit);
            loop.exec();
        }
        QApplication::processEvents();
        times.push_back(milliseconds(std::chrono::steady_clock::now() - t0));
        cpu.push_back(cpuMilliseconds() - cpu0);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    return {times[times.size() / 2], times.back(), cpu[cpu.size() / 2]};
}

void print(const char* what, const Timings& t) {
    std::printf("%-12s median %7.1f ms, slowest %7.1f ms, median CPU time %6.1f ms\n", what,
                t.median, t.slowest, t.cpuMedian);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const long words = argc > 1 ? std::atol(argv[1]) : 3'000'000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    QTemporaryDir root;
    const tessaro::AppPaths paths(root.path());
    QString error;
    if (!root.isValid() || !paths.prepare(&error)) {
        std::fprintf(stderr, "cannot prepare the data folder: %s\n", qPrintable(error));
        return 1;
    }
    const QString program = QDir(root.path()).filePath(QStringLiteral("push.jvm"));
    QFile file(program);
    if (!file.open(QIODevice::WriteOnly) || file.write(pushingProgram(words).toUtf8()) < 0) {
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
    answer.stop();
    if (!window.programLoaded()) {
        std::fprintf(stderr, "the program did not load\n");
        return 1;
    }

    // Run until the stack holds the words, then Stop.
    QTimer watch;
    double stopMs = 0;
    double stopCpuMs = 0;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (window.machine().wordMemory.elementCount() >= words) {
            watch.stop();
            const double cpu0 = cpuMilliseconds();
            const auto t0 = std::chrono::steady_clock::now();
            window.stopRun();
            QEventLoop loop;
            QObject::connect(&window, &MainWindow::executionFinished, &loop, &QEventLoop::quit);
            loop.exec();
            QApplication::processEvents();
            // The stop waits for the slice under way (about 40 ms) before it refreshes.
            stopMs = milliseconds(std::chrono::steady_clock::now() - t0);
            stopCpuMs = cpuMilliseconds() - cpu0;
        }
    });
    watch.start(20);
    window.runCommand();
    if (window.isRunning()) {
        QEventLoop loop;
        QObject::connect(&window, &MainWindow::executionFinished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    std::printf("memory: %d words\n", window.machine().wordMemory.elementCount());
    std::printf("Stop (slice end and refresh): %.1f ms, CPU time %.1f ms\n", stopMs, stopCpuMs);
    std::printf("%d rounds of each:\n", rounds);
    print("Step", timed(window, rounds, [&] { window.ijvmStepCommand(); }));
    print("Step back", timed(window, rounds, [&] { window.stepBackIjvmCommand(); }));
    print("Mic", timed(window, rounds, [&] { window.microStepCommand(); }));
    return 0;
}
