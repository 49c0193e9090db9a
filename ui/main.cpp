#include "core/fatal.h"
#include "tessaro_version.h"
#include "ui/app/app_paths.h"
#include "ui/app/main_window.h"
#include "ui/language/language.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstdio>
#include <string_view>

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

// The command line's options; describing them adds them to the parser.
struct Options {
    explicit Options(QCommandLineParser& parser);
    QCommandLineOption root;
    QCommandLineOption noInfo;
    QCommandLineOption lang;
};

Options::Options(QCommandLineParser& parser)
    : root(QStringLiteral("root"),
           QStringLiteral("Data folder (default: $TESSARO_ROOT, else the user's application data "
                          "folder)."),
           QStringLiteral("dir")),
      noInfo(QStringLiteral("no-info"),
             QStringLiteral("Do not show the Info window at start-up (also TESSARO_NO_INFO=1).")),
      lang(QStringLiteral("lang"),
           QStringLiteral("Language of the window: it or en (default: $TESSARO_LANG, else "
                          "Italian in an Italian locale and English in any other)."),
           QStringLiteral("language")) {
    parser.setApplicationDescription(
        QStringLiteral("Mic-1 and IJVM teaching emulator.\n"
                       "The data folder holds EMU/Velkora/ with the microprogram (MP/), the "
                       "scratch file (tmp/) and the examples (Examples/)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(root);
    parser.addOption(noInfo);
    parser.addOption(lang);
    parser.addPositionalArgument(QStringLiteral("program"),
                                 QStringLiteral("An IJVM program to open in the editor."),
                                 QStringLiteral("[program]"));
}

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("tessaro"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(tessaro::kVersion));
}

// --version and --help only print, so they are answered before any display is opened: they
// work over ssh and in scripts.
bool onlyPrints(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--version" || arg == "-v" || arg == "--help" || arg == "-h") {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (onlyPrints(argc, argv)) {
        QCoreApplication app(argc, argv);
        nameApplication();
        QCommandLineParser parser;
        const Options options(parser);
        parser.process(app); // prints and exits
        return 0;
    }

    QApplication app(argc, argv);
    nameApplication();
    // No display name: the platform would append it to every window title ("Form3 — Tessaro").
    QApplication::setDesktopFileName(QStringLiteral("tessaro"));

    QCommandLineParser parser;
    const Options options(parser);
    parser.process(app);

    if (parser.isSet(options.lang) &&
        !tessaro::languageNamed(parser.value(options.lang).toStdString())) {
        std::fprintf(stderr, "tessaro: --lang takes it or en, not '%s'\n",
                     parser.value(options.lang).toLocal8Bit().constData());
        return 1;
    }
    const tessaro::Language language = tessaro::chooseLanguage(
        QCoreApplication::arguments(), qEnvironmentVariable("TESSARO_LANG"), QLocale::system());
    if (!tessaro::installTranslators(app, language)) {
        std::fprintf(stderr, "tessaro: this build has no English translation; the texts stay "
                             "Italian\n");
    }

    tessaro::setMessageHook(&showMessageBox);

    const QString root = parser.isSet(options.root) ? parser.value(options.root)
                                                    : tessaro::AppPaths::chooseRoot(QStringList());
    const tessaro::AppPaths paths(root);
    QString error;
    if (!paths.prepare(&error)) {
        std::printf("%s\n", error.toLocal8Bit().constData());
        std::fflush(stdout);
        criticalBox(QStringLiteral("Tessaro"), error);
        return 1;
    }

    tessaro::MainWindow window(paths);
    const bool showInfo = !parser.isSet(options.noInfo) &&
                          qEnvironmentVariable("TESSARO_NO_INFO") != QLatin1String("1");
    window.runStartupDialogs(showInfo);
    window.show();
    if (!parser.positionalArguments().isEmpty()) {
        window.openProgramFile(parser.positionalArguments().constFirst());
    }
    return QApplication::exec();
}
