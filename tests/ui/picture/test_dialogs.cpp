// The Info and message windows: what they show and that they end whichever way they are
// closed, so that the start-up and the commands waiting on them go on.

#include "ui/picture/info_dialog.h"
#include "ui/picture/message_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace tessaro;

namespace {

// Runs a modal window and, once it is showing, performs an action on it; returns exec()'s
// result. A watchdog ends the window so that a failing close cannot hang the test.
int execAndThen(QDialog& dialog, const std::function<void()>& action) {
    bool acted = false;
    QTimer::singleShot(0, &dialog, [&] {
        acted = true;
        action();
    });
    QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(-1); });
    const int result = dialog.exec();
    return acted ? result : -2;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void theInfoWindowShowsTheCredits() {
        TForm2 info;
        const QStringList credits = TForm2::creditLines();
        QVERIFY(!credits.isEmpty());
        for (int i = 0; i < credits.size(); ++i) {
            auto* line = info.findChild<QLabel*>(QStringLiteral("Credit%1").arg(i + 1));
            QVERIFY(line != nullptr);
            QCOMPARE(line->text(), credits.at(i));
        }
    }

    void theInfoWindowEndsEachWay_data() {
        QTest::addColumn<int>("way");
        QTest::addColumn<int>("result");
        QTest::newRow("Ok") << 0 << int(QDialog::Accepted);
        QTest::newRow("Return") << 1 << int(QDialog::Accepted);
        QTest::newRow("close box") << 2 << int(QDialog::Rejected);
    }
    void theInfoWindowEndsEachWay() {
        QFETCH(int, way);
        QFETCH(int, result);
        TForm2 info;
        const std::function<void()> ways[] = {
            [&info] { QTest::mouseClick(info.okButton(), Qt::LeftButton); },
            [&info] { QTest::keyClick(&info, Qt::Key_Return); },
            [&info] { info.close(); },
        };
        QCOMPARE(execAndThen(info, ways[way]), result);
        QVERIFY(!info.isVisible());
    }

    void theMessageWindowShowsItsTextAndEndsAtOk() {
        for (const QString& text : {TForm3::defaultText(), QStringLiteral("Un altro messaggio")}) {
            TForm3 message;
            message.setText(text);
            QCOMPARE(message.messageLabel()->text(), text);
            QCOMPARE(execAndThen(message, [&message] { message.okButton()->click(); }),
                     int(QDialog::Accepted));
            QVERIFY(!message.isVisible());
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
