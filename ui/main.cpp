#include "core/fatal.h"
#include "ui/app_paths.h"
#include "ui/tform1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstdio>

namespace {

void criticalBox(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// Messages of the core (a fatal condition, a bad number) become modal boxes.
void showMessageBox(const std::string& caption, const std::string& text) {
    if (QApplication::instance() == nullptr) {
        std::fprintf(stderr, "%s %s\n", caption.c_str(), text.c_str());
        return;
    }
    criticalBox(QString::fromStdString(caption), QString::fromStdString(text));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tessaro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tessaro"));
    QApplication::setApplicationVersion(QStringLiteral(TESSARO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tessaro"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Mic-1 and IJVM teaching emulator.\n"
                       "The data folder holds EMU/Velkora/ with the microprogram (MP/), the "
                       "scratch file (tmp/) and the examples (Examples/)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption rootOption(
        QStringLiteral("root"),
        QStringLiteral("Data folder (default: $TESSARO_ROOT, else the user's application data "
                       "folder)."),
        QStringLiteral("dir"));
    const QCommandLineOption noInfoOption(
        QStringLiteral("no-info"),
        QStringLiteral("Do not show the Info window at start-up (also TESSARO_NO_INFO=1)."));
    parser.addOption(rootOption);
    parser.addOption(noInfoOption);
    parser.addPositionalArgument(QStringLiteral("program"),
                                 QStringLiteral("An IJVM program to open in the editor."),
                                 QStringLiteral("[program]"));
    parser.process(app);

    tessaro::setMessageHook(&showMessageBox);

    const QString root = parser.isSet(rootOption) ? parser.value(rootOption)
                                                  : tessaro::AppPaths::chooseRoot(QStringList());
    const tessaro::AppPaths paths(root);
    QString error;
    if (!paths.prepare(&error)) {
        std::printf("%s\n", error.toLocal8Bit().constData());
        std::fflush(stdout);
        criticalBox(QStringLiteral("Tessaro"), error);
        return 1;
    }

    tessaro::TForm1 window(paths);
    const bool showInfo = !parser.isSet(noInfoOption) &&
                          qEnvironmentVariable("TESSARO_NO_INFO") != QLatin1String("1");
    window.runStartupDialogs(showInfo);
    window.show();
    if (!parser.positionalArguments().isEmpty()) {
        window.openProgramFile(parser.positionalArguments().constFirst());
    }
    return QApplication::exec();
}
