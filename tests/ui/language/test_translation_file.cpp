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
};

// The messages of a .ts file; error is set when it cannot be read.
QList<Message> readTs(const QString& path, QString* error) {
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            messages.append(Message{context, {}, {}, {}});
        } else if (xml.name() == QLatin1String("source")) {
            messages.last().source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            messages.last().type = xml.attributes().value(QLatin1String("type")).toString();
            messages.last().translation = xml.readElementText();
        }
    }
    if (xml.hasError()) {
        *error = xml.errorString();
    }
    return messages;
}

// What a translation must keep of its source text: the placeholders, the accelerator marks
// (a lone '&'; a doubled one is a literal ampersand), the blanks at both ends and the line
// breaks.
QString shape(const QString& text) {
    static const QRegularExpression marks(QStringLiteral("%\\d+|&&|&|^\\s+|\\s+$|\n"));
    QStringList found;
    for (const QRegularExpressionMatch& match : marks.globalMatch(text)) {
        if (match.captured() != QStringLiteral("&&")) {
            found.append(match.captured());
        }
    }
    found.sort();
    return found.join(u'|');
}

} // namespace

class TestTranslationFile : public QObject {
    Q_OBJECT

private slots:
    void everyMessageIsTranslatedWithTheSamePlaceholdersAcceleratorsAndEdges() {
        QString error;
        const QList<Message> messages = readTs(QStringLiteral(TESSARO_TS_FILE), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(messages.size() > 100);
        for (const Message& m : messages) {
            const QString where = m.context + QStringLiteral(": ") + m.source +
                                  QStringLiteral(" -> ") + m.translation;
            QVERIFY2(!m.translation.isEmpty(), qPrintable(where));
            QVERIFY2(m.type.isEmpty(), qPrintable(m.type + QStringLiteral(" ") + where));
            QVERIFY2(shape(m.source) == shape(m.translation), qPrintable(where));
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
        const auto keys = [](const QString& path) {
            QString error;
            QSet<QString> found;
            for (const Message& m : readTs(path, &error)) {
                found.insert(m.context + QStringLiteral(": ") + m.source);
            }
            return found;
        };
        const QSet<QString> inCode = keys(fresh);
        const QSet<QString> inFile = keys(QStringLiteral(TESSARO_TS_FILE));
        QVERIFY(!inCode.isEmpty());
        const QStringList missing = (inCode - inFile).values();
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not in the .ts (run the "
                                                              "update_translations target): ") +
                                               missing.join(QStringLiteral(" | "))));
        const QStringList stale = (inFile - inCode).values();
        QVERIFY2(stale.isEmpty(), qPrintable(QStringLiteral("no longer in the code: ") +
                                             stale.join(QStringLiteral(" | "))));
#endif
    }
};

QTEST_MAIN(TestTranslationFile)
#include "test_translation_file.moc"
