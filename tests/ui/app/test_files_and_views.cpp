// The window's parts that need no window: reading and writing the editor's files, byte offsets
// in editor positions, the data folders, and the machine views' texts where the window's tests
// cannot reach them (characters no font shows, registers far outside the stack).
#include "data/bundled.h"
#include "machine/control_path.h"
#include "ui/app_paths.h"
#include "ui/machine_views.h"
#include "ui/source_offsets.h"
#include "ui/text_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace tessaro;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestFilesAndViews : public QObject {
    Q_OBJECT

private slots:
    void decodingTakesUtf8OrWindows1252AndLineFeeds_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("UTF-8") << QByteArray("perch\xC3\xA8\n") << QStringLiteral("perchè");
        // The same word saved by an 8-bit editor, and the euro sign of that code page.
        QTest::newRow("Windows-1252") << QByteArray("perch\xE8 \x80") << QStringLiteral("perchè €");
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF"
                                                       "a")
                                         << QStringLiteral("a");
        QTest::newRow("CRLF") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb");
        QTest::newRow("CR") << QByteArray("a\rb") << QStringLiteral("a\nb");
        QTest::newRow("one final break dropped") << QByteArray("a\n\n") << QStringLiteral("a\n");
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void decodingTakesUtf8OrWindows1252AndLineFeeds() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(TextFile::decode(bytes), text);
        // Written and read back, the text comes back unchanged.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.jvm"));
        QVERIFY(TextFile::write(path, text).ok);
        QCOMPARE(TextFile::read(path).text, text);
    }

    void byteSpansSelectTheirTextInTheEditor_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("text");
        QTest::newRow("after a two-byte character")
            << QByteArray("// \xC3\xA8\nBIPUSH 5\n") << 6 << 8 << "BIPUSH 5";
        QTest::newRow("CRLF") << QByteArray("a\r\nb\r\nIADD\r\n") << 6 << 4 << "IADD";
        QTest::newRow("Windows-1252") << QByteArray("\xE8\xE8 POP") << 3 << 3 << "POP";
        QTest::newRow("surrogate pair") << QByteArray("\xF0\x9F\x98\x80 DUP") << 5 << 3 << "DUP";
        QTest::newRow("never past the text") << QByteArray("x\n") << 0 << 50 << "x";
        QTest::newRow("negative length") << QByteArray("x\n") << 0 << -1 << "";
    }
    void byteSpansSelectTheirTextInTheEditor() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, text);
        const SourceOffsets offsets(bytes);
        const CharSpan span = offsets.span(start, length);
        QCOMPARE(TextFile::decode(bytes).mid(span.start, span.length), text);
        QCOMPARE(offsets.charPosition(-3), 0);
        QCOMPARE(offsets.charPosition(10'000), TextFile::decode(bytes).size());
    }

    void rootComesFromTheOptionThenTheEnvironment() {
        qputenv("TESSARO_ROOT", "/from/env");
        QCOMPARE(AppPaths::chooseRoot({"tessaro", "--root", "/opt/x"}), QStringLiteral("/opt/x"));
        QCOMPARE(AppPaths::chooseRoot({"tessaro", "--root=/opt/y"}), QStringLiteral("/opt/y"));
        QCOMPARE(AppPaths::chooseRoot({"tessaro"}), QStringLiteral("/from/env"));
        qunsetenv("TESSARO_ROOT");
        QVERIFY(!AppPaths::chooseRoot({"tessaro"}).isEmpty());
    }

    void prepareInstallsBundledFilesButNeverOverwritesThem() {
        QTemporaryDir dir;
        const AppPaths paths(dir.path());
        QString error;
        QVERIFY2(paths.prepare(&error), qPrintable(error));
        QVERIFY(QDir(paths.scratchDir()).exists());
        const std::string_view bundled = bundledMicroprogram();
        QCOMPARE(readBytes(paths.microprogramSource()),
                 QByteArray(bundled.data(), static_cast<qsizetype>(bundled.size())));
        QVERIFY(!bundledExamples().empty());
        const BundledFile& first = bundledExamples().front();
        const QString example =
            paths.examplesDir() + QLatin1Char('/') +
            QString::fromUtf8(first.name.data(), static_cast<qsizetype>(first.name.size()));
        QVERIFY(QFile::exists(example));

        // A student's own microprogram and example survive the next start.
        writeBytes(paths.microprogramSource(), "// mine\n");
        writeBytes(example, "mine");
        QVERIFY(paths.prepare(&error));
        QCOMPARE(readBytes(paths.microprogramSource()), QByteArray("// mine\n"));
        QCOMPARE(readBytes(example), QByteArray("mine"));
    }

    void prepareReportsAFolderThatCannotBeMade() {
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("EMU")), "a file where a folder belongs");
        QString error;
        QVERIFY(!AppPaths(dir.path()).prepare(&error));
        QVERIFY(error.contains(QStringLiteral("EMU")));
    }

    void controlCharactersShowAsGlyphsTheOutputFontHas() {
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setPixelSize(13);
        const QFontMetrics metrics(font);
        for (const int code : {0x00, 0x01, 0x09, 0x0A, 0x0D, 0x1B, 0x1F, 0x7F, 0x85, 0x9F}) {
            const QString shown = MachineViews::printable(QString(QChar(code)));
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown[0].unicode() >= 0xA0, qPrintable(QString::number(code)));
            QVERIFY2(metrics.inFont(shown[0]), qPrintable(QString::number(code)));
        }
        QCOMPARE(MachineViews::printable(QStringLiteral("a\nb c\u00E9")),
                 QStringLiteral("a\u21B5b c\u00E9"));
    }

    void stackAndFrameStayBoundedForWildRegisters() {
        ControlPath m;
        m.LV() = 0x7FFFFFF0;
        m.SP() = 0x7FFFFFFF;
        MachineViews views;
        const QStringList stack = views.stack(m, ViewFormat{});
        QCOMPARE(stack.size(), static_cast<qsizetype>(MachineViews::kMaxStackLines));
        QCOMPARE(stack.first(), QStringLiteral("2147483631: 0"));
        m.LV() = 2000;
        m.SP() = -1;
        QVERIFY(views.frame(m, ViewFormat{}).size() <=
                static_cast<qsizetype>(MachineViews::kMaxStackLines));
    }

    void outputStopsAtAZeroByteAndInputIsDecimal() {
        ControlPath m;
        const std::int32_t out[] = {72, 105, 0, 33, 33};
        for (int i = 0; i < 5; ++i) {
            m.wordMemory[static_cast<std::uint32_t>(-5 + i)] = out[i];
        }
        m.wordMemory[static_cast<std::uint32_t>(-6)] = -42;
        QCOMPARE(MachineViews::output(m), QStringLiteral("Hi"));
        QCOMPARE(MachineViews::input(m), QStringLiteral("-42"));
        m.wordMemory[static_cast<std::uint32_t>(-3)] = 0x121; // only the low byte counts
        QCOMPARE(MachineViews::output(m), QStringLiteral("Hi!!!"));
    }
};

QTEST_MAIN(TestFilesAndViews)
#include "test_files_and_views.moc"
