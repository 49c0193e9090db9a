// One IJVM Step in the main window as a student presses it: the step itself, then the refresh
// of every view (registers, picture, method area, stack, frame, input and output, the source
// and microprogram marks) and a full repaint of the window. Prints the median and the slowest
// tenth of the per-step times, in milliseconds; the goal is under 5 ms.
//
// QT_QPA_PLATFORM=offscreen bench/bench_gui_step [STEPS]

#include "ui/app/app_paths.h"
#include "ui/app/main_window.h"

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// A recursive method, so that the steps move through calls, returns, the stack and the frame,
// and print a character now and then.
const char* const kProgram =
    ".main\nagain: BIPUSH 0\nBIPUSH 12\nINVOKEVIRTUAL fib\nBIPUSH 48\nIADD\nOUT\nGOTO again\n"
    ".end-main\n.method fib(n)\nILOAD n\nBIPUSH 2\nISUB\nIFLT small\nBIPUSH 0\nILOAD n\n"
    "BIPUSH 1\nISUB\nINVOKEVIRTUAL fib\nBIPUSH 0\nILOAD n\nBIPUSH 2\nISUB\nINVOKEVIRTUAL fib\n"
    "IADD\nIRETURN\nsmall: ILOAD n\nIRETURN\n.end-method\n";

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int steps = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
    QTemporaryDir root;
    const tessaro::AppPaths paths(root.path());
    QString error;
    if (!root.isValid() || !paths.prepare(&error)) {
        std::fprintf(stderr, "cannot prepare the data folder: %s\n", qPrintable(error));
        return 1;
    }
    // The message window that confirms the load is answered at once.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->accept();
        }
    });
    answer.start(10);

    tessaro::MainWindow window(paths);
    window.show();
    auto* editor = window.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    editor->setPlainText(QString::fromLatin1(kProgram));
    editor->document()->setModified(true);
    window.compileAndLoad();
    if (!window.programLoaded()) {
        std::fprintf(stderr, "the program did not load\n");
        return 1;
    }
    answer.stop();
    QApplication::processEvents();

    std::vector<double> ms;
    ms.reserve(static_cast<std::size_t>(steps));
    for (int i = 0; i < steps; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        window.ijvmStepCommand();
        window.repaint();
        QApplication::processEvents();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    const auto at = [&ms](double share) {
        return ms[static_cast<std::size_t>(share * static_cast<double>(ms.size() - 1))];
    };
    std::printf("Step with full refresh: median %.2f ms, 90th percentile %.2f ms, slowest %.2f ms "
                "(%d steps)\n",
                at(0.5), at(0.9), ms.back(), steps);
    return 0;
}
