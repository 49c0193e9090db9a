// Reading and writing the editor's files, byte offsets in editor positions, the data folders.
#include "data/bundled.h"
#include "ui/app_paths.h"
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

class TestFilesAndPaths : public QObject {
    Q_OBJECT

private slots:
    void decodesUtf8AndFallsBackToWindows1252() {
        QCOMPARE(TextFile::decode("perch\xC3\xA8\n"), QStringLiteral("perchè"));
        // The same word saved by an 8-bit editor, and the euro sign of that code page.
        QCOMPARE(TextFile::decode("perch\xE8 \x80"), QStringLiteral("perchè €"));
        QCOMPARE(TextFile::decode("\xEF\xBB\xBF"
                                  "a"),
                 QStringLiteral("a"));
    }

    void lineEndsBecomeLineFeedsAndOneFinalBreakIsDropped() {
        QCOMPARE(TextFile::decode("a\r\nb\r\n"), QStringLiteral("a\nb"));
        QCOMPARE(TextFile::decode("a\rb"), QStringLiteral("a\nb"));
        QCOMPARE(TextFile::decode("a\n\n"), QStringLiteral("a\n"));
        QCOMPARE(TextFile::decode(""), QString());
    }

    void writeThenReadGivesTheSameText() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.jvm"));
        for (const QString& text : {QStringLiteral("è\nline 2"), QStringLiteral("x\n"),
                                    QStringLiteral("\n\n"), QString()}) {
            QVERIFY(TextFile::write(path, text).ok);
            const TextFileResult back = TextFile::read(path);
            QVERIFY(back.ok);
            QCOMPARE(back.text, text);
        }
        QVERIFY(TextFile::write(path, QStringLiteral("a\nb")).ok);
        QCOMPARE(readBytes(path), QByteArray("a\nb\n"));
    }

    void failuresCarryThePlatformReason() {
        QTemporaryDir dir;
        const TextFileResult missing = TextFile::read(dir.filePath(QStringLiteral("none.jvm")));
        QVERIFY(!missing.ok);
        QVERIFY(!missing.error.isEmpty());
        const QString blocked = dir.filePath(QStringLiteral("no/such/folder/p.jvm"));
        const TextFileResult written = TextFile::write(blocked, QStringLiteral("x"));
        QVERIFY(!written.ok);
        QVERIFY(!written.error.isEmpty());
        QVERIFY(!QFile::exists(blocked));
    }

    void byteOffsetsBecomeEditorPositions() {
        // "è" is two bytes in UTF-8 but one character in the editor.
        const QByteArray utf8 = "// \xC3\xA8\nBIPUSH 5\n";
        const SourceOffsets offsets(utf8);
        const QString text = TextFile::decode(utf8);
        const int bipush = static_cast<int>(utf8.indexOf("BIPUSH"));
        QCOMPARE(bipush, 6);
        const CharSpan span = offsets.span(bipush, 8);
        QCOMPARE(text.mid(span.start, span.length), QStringLiteral("BIPUSH 5"));
        QCOMPARE(offsets.charPosition(4), 3); // inside the two-byte character
        QCOMPARE(offsets.textLength(), text.size());
        QCOMPARE(offsets.charPosition(10'000), text.size());
        QCOMPARE(offsets.charPosition(-3), 0);
    }

    void crlfAnd1252AndSurrogatesKeepSpansOnTheirText() {
        const QByteArray crlf = "a\r\nb\r\nIADD\r\n";
        const SourceOffsets o1(crlf);
        const QString t1 = TextFile::decode(crlf);
        const CharSpan s1 = o1.span(crlf.indexOf("IADD"), 4);
        QCOMPARE(t1.mid(s1.start, s1.length), QStringLiteral("IADD"));

        const QByteArray cp = "\xE8\xE8 POP";
        const SourceOffsets o2(cp);
        const CharSpan s2 = o2.span(3, 3);
        QCOMPARE(TextFile::decode(cp).mid(s2.start, s2.length), QStringLiteral("POP"));

        const QByteArray emoji = "\xF0\x9F\x98\x80 DUP";
        const SourceOffsets o3(emoji);
        const CharSpan s3 = o3.span(5, 3);
        QCOMPARE(TextFile::decode(emoji).mid(s3.start, s3.length), QStringLiteral("DUP"));

        const SourceOffsets o4("x\n");
        const CharSpan clipped = o4.span(0, 50); // never past the text
        QCOMPARE(clipped.length, 1);
        QCOMPARE(o4.span(0, -1).length, 0);
    }

    void rootComesFromTheOptionThenTheEnvironment() {
        qputenv("TESSARO_ROOT", "/from/env");
        QCOMPARE(AppPaths::chooseRoot({"tessaro", "--root", "/opt/x"}), QStringLiteral("/opt/x"));
        QCOMPARE(AppPaths::chooseRoot({"tessaro", "--root=/opt/y"}), QStringLiteral("/opt/y"));
        QCOMPARE(AppPaths::chooseRoot({"tessaro"}), QStringLiteral("/from/env"));
        qunsetenv("TESSARO_ROOT");
        QVERIFY(!AppPaths::chooseRoot({"tessaro"}).isEmpty());
        const AppPaths paths(QStringLiteral("/r"));
        QCOMPARE(paths.microprogramSource(), QStringLiteral("/r/EMU/Velkora/MP/velkora.mal"));
        QCOMPARE(paths.controlStoreFile(), QStringLiteral("/r/EMU/Velkora/MP/velkora.bin"));
        QCOMPARE(paths.scratchFile(), QStringLiteral("/r/EMU/Velkora/tmp/tmp.swp"));
        QCOMPARE(paths.examplesDir(), QStringLiteral("/r/EMU/Velkora/Examples"));
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
};

QTEST_GUILESS_MAIN(TestFilesAndPaths)
#include "test_files_and_paths.moc"
