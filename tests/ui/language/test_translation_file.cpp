// The English translation file: complete, faithful to the placeholders and accelerators of
// each source text, and in step with the texts of the code.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message {
    QString context;
    QString source;
    QString translation;
    QString type; ///< "unfinished", "vanished", "obsolete" or empty
    bool hasTranslation = false;
};

struct TsFile {
    QString language;
    QString sourceLanguage;
    QList<Message> messages;
    QString error;
};

TsFile readTs(const QString& path) {
    TsFile ts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ts.error = file.errorString();
        return ts;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        const auto name = xml.name();
        if (name == QLatin1String("TS")) {
            ts.language = xml.attributes().value(QLatin1String("language")).toString();
            ts.sourceLanguage = xml.attributes().value(QLatin1String("sourcelanguage")).toString();
        } else if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            if (message.hasTranslation || !message.source.isNull()) {
                ts.messages.append(message);
            }
            message = Message{context, QString(), QString(), QString(), false};
        } else if (name == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            message.hasTranslation = true;
        }
    }
    if (message.hasTranslation || !message.source.isNull()) {
        ts.messages.append(message);
    }
    if (xml.hasError()) {
        ts.error = xml.errorString();
    }
    return ts;
}

QStringList placeholders(const QString& text) {
    static const QRegularExpression marker(QStringLiteral("%\\d+"));
    QStringList found;
    for (const QRegularExpressionMatch& match : marker.globalMatch(text)) {
        found.append(match.captured());
    }
    found.sort();
    return found;
}

// Accelerator marks: a lone '&' (a doubled one is a literal ampersand).
int accelerators(const QString& text) {
    QString rest = text;
    rest.remove(QStringLiteral("&&"));
    return static_cast<int>(rest.count(u'&'));
}

QString edges(const QString& text) {
    static const QRegularExpression blank(QStringLiteral("^\\s*|\\s*$"));
    QString marks;
    for (const QRegularExpressionMatch& match : blank.globalMatch(text)) {
        marks += match.captured() + u'|';
    }
    return marks;
}

} // namespace

class TestTranslationFile : public QObject {
    Q_OBJECT

private slots:
    void everyMessageIsTranslated() {
        const TsFile ts = readTs(QStringLiteral(TESSARO_TS_FILE));
        QVERIFY2(ts.error.isEmpty(), qPrintable(ts.error));
        QCOMPARE(ts.language, QStringLiteral("en"));
        QCOMPARE(ts.sourceLanguage, QStringLiteral("it"));
        QVERIFY(ts.messages.size() > 100);
        for (const Message& m : ts.messages) {
            const QString where = m.context + QStringLiteral(": ") + m.source;
            QVERIFY2(m.hasTranslation && !m.translation.isEmpty(), qPrintable(where));
            QVERIFY2(m.type.isEmpty(), qPrintable(m.type + QStringLiteral(" ") + where));
        }
    }

    void translationsKeepPlaceholdersAcceleratorsAndEdges() {
        const TsFile ts = readTs(QStringLiteral(TESSARO_TS_FILE));
        for (const Message& m : ts.messages) {
            const QString where = m.source + QStringLiteral(" -> ") + m.translation;
            QVERIFY2(placeholders(m.source) == placeholders(m.translation), qPrintable(where));
            QVERIFY2(accelerators(m.source) == accelerators(m.translation), qPrintable(where));
            QVERIFY2(edges(m.source) == edges(m.translation), qPrintable(where));
            QVERIFY2(m.source.count(u'\n') == m.translation.count(u'\n'), qPrintable(where));
        }
    }

    // A text added to the window without running update_translations would show in Italian
    // under --lang en; a text removed from the code would linger in the file.
    void theFileHoldsExactlyTheTextsOfTheCode() {
#ifndef TESSARO_LUPDATE
        QSKIP("lupdate not found at configure time");
#else
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString fresh = dir.filePath(QStringLiteral("fresh.ts"));
        const QString source = QStringLiteral(TESSARO_SOURCE_DIR);
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(TESSARO_LUPDATE),
                      {QStringLiteral("-silent"), QStringLiteral("-locations"),
                       QStringLiteral("none"), QStringLiteral("-I"), source,
                       source + QStringLiteral("/ui"), QStringLiteral("-ts"), fresh});
        QVERIFY(lupdate.waitForFinished(120000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
        const TsFile code = readTs(fresh);
        QVERIFY2(code.error.isEmpty(), qPrintable(code.error));
        const TsFile kept = readTs(QStringLiteral(TESSARO_TS_FILE));
        QSet<QString> inCode;
        for (const Message& m : code.messages) {
            inCode.insert(m.context + u'\x1f' + m.source);
        }
        QSet<QString> inFile;
        for (const Message& m : kept.messages) {
            inFile.insert(m.context + u'\x1f' + m.source);
        }
        QStringList missing = (inCode - inFile).values();
        QStringList stale = (inFile - inCode).values();
        missing.sort();
        stale.sort();
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not in the .ts (run the "
                                                              "update_translations target): ") +
                                               missing.join(QStringLiteral(" | "))));
        QVERIFY2(stale.isEmpty(), qPrintable(QStringLiteral("no longer in the code: ") +
                                             stale.join(QStringLiteral(" | "))));
#endif
    }
};

QTEST_MAIN(TestTranslationFile)
#include "test_translation_file.moc"
