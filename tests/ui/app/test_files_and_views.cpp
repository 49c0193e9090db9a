// The window's parts that need no window: reading and writing the editor's files, byte offsets
// in editor positions, the data folder, and the output's control characters.
#include "data/bundled.h"
#include "ijvm/instruction_set.h"
#include "presentation/source_offsets.h"
#include "ui/app/app_paths.h"
#include "ui/app/machine_views.h"
#include "ui/app/text_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>

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

// While it lives, writes past bytes fail (EFBIG, the signal ignored) as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
};

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
        const SourceOffsets offsets(byteView(bytes));
        const CharSpan span = offsets.span(start, length);
        QCOMPARE(TextFile::decode(bytes).mid(span.start, span.length), text);
        QCOMPARE(offsets.charPosition(-3), 0);
        QCOMPARE(offsets.charPosition(10'000), TextFile::decode(bytes).size());
    }

    void prepareInstallsTheExamplesButNeverOverwritesTheStudentsFiles() {
        QTemporaryDir dir;
        const AppPaths paths(dir.path());
        QVERIFY(paths.prepare(nullptr));
        const std::string_view name = bundledExamples().front().name;
        const QString example =
            QDir(paths.examplesDir())
                .filePath(QString::fromUtf8(name.data(), qsizetype(name.size())));
        QVERIFY(QFile::exists(example));
        QCOMPARE(readBytes(paths.instructionSetFile()).size(),
                 qsizetype(builtinInstructionSetText().size()));
        writeBytes(paths.microprogramSource(), "// mine\n");
        writeBytes(paths.instructionSetFile(), "0x46 INEG\n");
        writeBytes(example, "mine");
        QVERIFY(paths.prepare(nullptr));
        QCOMPARE(readBytes(paths.microprogramSource()), QByteArray("// mine\n"));
        QCOMPARE(readBytes(paths.instructionSetFile()), QByteArray("0x46 INEG\n"));
        QCOMPARE(readBytes(example), QByteArray("mine"));
        // An empty copy, what a first start on a full disk used to leave, is installed again.
        writeBytes(example, "");
        QVERIFY(paths.prepare(nullptr));
        QCOMPARE(readBytes(example).size(), qsizetype(bundledExamples().front().text.size()));
    }

    void aWriteThatCannotFinishFailsAndKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.jvm"));
        writeBytes(path, "old\n");
        const AppPaths paths(dir.filePath(QStringLiteral("root")));
        TextFileResult saved;
        QString installError;
        {
            // A file size limit makes every write past 100 bytes fail, as a full disk does.
            const FileSizeLimit limit(100);
            saved = TextFile::write(path, QString(700, QLatin1Char('x')));
            QVERIFY(!paths.prepare(&installError));
        }
        QVERIFY(!saved.ok);
        QVERIFY(!saved.error.isEmpty());
        QCOMPARE(readBytes(path), QByteArray("old\n"));
        QVERIFY(!installError.isEmpty());
        // Nothing half-written was left to stand for the microprogram: once there is room, it
        // is installed whole.
        QVERIFY(paths.prepare(nullptr));
        QCOMPARE(readBytes(paths.microprogramSource()).size(),
                 qsizetype(bundledMicroprogram().size()));
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
};

QTEST_MAIN(TestFilesAndViews)
#include "test_files_and_views.moc"
