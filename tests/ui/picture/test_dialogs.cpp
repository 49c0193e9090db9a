// The Info and message windows: titles, contents, default button and how they close.

#include "ui/picture/info_dialog.h"
#include "ui/picture/message_dialog.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace tessaro;

namespace {

// Runs a modal window and, once it is showing, performs an action on it; returns exec()'s
// result. A watchdog rejects the window so that a failing close cannot hang the test.
template <typename Dialog, typename Action> int execAndThen(Dialog& dialog, Action action) {
    bool acted = false;
    QTimer::singleShot(0, &dialog, [&] {
        acted = true;
        action();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &dialog, [&dialog] { dialog.done(-1); });
    watchdog.start(5000);
    const int result = dialog.exec();
    return acted ? result : -2;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void infoWindowContents();
    void infoOkAcceptsAndIsDefault();
    void infoEnterAccepts();
    void infoCloseBoxAlsoEnds();
    void messageWindowContents();
    void messageTextReplaced();
    void messageOkCloses();
    void twoWarningsInARowAreSeparateWindows();
    void screenshots();
};

void TestDialogs::infoWindowContents() {
    TForm2 info;
    QCOMPARE(info.windowTitle(), QStringLiteral("Info"));
    QCOMPARE(info.size(), QSize(472, 501));
    QCOMPARE(info.minimumSize(), info.maximumSize());
    QCOMPARE(info.palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(info.isModal());
    // Two pictures at the top: logo and version banner.
    auto* logo = info.findChild<QLabel*>(QStringLiteral("Image1"));
    auto* banner = info.findChild<QLabel*>(QStringLiteral("Image2"));
    QVERIFY(logo != nullptr && banner != nullptr);
    QVERIFY(!logo->pixmap().isNull());
    QVERIFY(!banner->pixmap().isNull());
    QVERIFY(logo->geometry().bottom() < banner->geometry().top());
    // The raised white panel with the five credit lines, below the pictures.
    auto* panel = info.findChild<QFrame*>(QStringLiteral("Panel1"));
    QVERIFY(panel != nullptr);
    QCOMPARE(panel->frameShadow(), QFrame::Raised);
    QCOMPARE(panel->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(banner->geometry().bottom() < panel->geometry().top());
    const QStringList credits = TForm2::creditLines();
    QCOMPARE(credits.size(), 5);
    QCOMPARE(credits.first(), QStringLiteral("Tessaro"));
    QVERIFY(credits.last().contains(QStringLiteral("Tessaro developers")));
    for (int i = 0; i < 5; ++i) {
        auto* line = panel->findChild<QLabel*>(QStringLiteral("Credit%1").arg(i + 1));
        QVERIFY(line != nullptr);
        QCOMPARE(line->text(), credits.at(i));
        // Every line fits in the panel without being cut.
        QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <=
                panel->contentsRect().width());
    }
    QVERIFY(panel->geometry().bottom() < info.okButton()->geometry().top());
}

void TestDialogs::infoOkAcceptsAndIsDefault() {
    TForm2 info;
    QCOMPARE(info.okButton()->text(), QStringLiteral("Ok"));
    QVERIFY(info.okButton()->isDefault());
    const int result =
        execAndThen(info, [&info] { QTest::mouseClick(info.okButton(), Qt::LeftButton); });
    QCOMPARE(result, static_cast<int>(QDialog::Accepted));
    QVERIFY(!info.isVisible());
}

void TestDialogs::infoEnterAccepts() {
    TForm2 info;
    const int result = execAndThen(info, [&info] { QTest::keyClick(&info, Qt::Key_Return); });
    QCOMPARE(result, static_cast<int>(QDialog::Accepted));
}

void TestDialogs::infoCloseBoxAlsoEnds() {
    // The start-up caller goes on after the window ends, whichever way it ends.
    TForm2 info;
    const int result = execAndThen(info, [&info] { info.close(); });
    QCOMPARE(result, static_cast<int>(QDialog::Rejected));
    QVERIFY(!info.isVisible());
}

void TestDialogs::messageWindowContents() {
    TForm3 message;
    QCOMPARE(message.windowTitle(), QStringLiteral("Form3"));
    QCOMPARE(message.size(), QSize(507, 159));
    QCOMPARE(message.minimumSize(), message.maximumSize());
    QVERIFY(message.isModal());
    QCOMPARE(message.text(),
             QStringLiteral("Il programma deve prima essere compilato e caricato in memoria"));
    QLabel* panel = message.messageLabel();
    QCOMPARE(panel->frameShadow(), QFrame::Sunken);
    QCOMPARE(panel->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    const QColor grey = panel->palette().color(QPalette::Window);
    QCOMPARE(grey.red(), grey.green());
    QCOMPARE(grey.green(), grey.blue());
    QVERIFY(grey != message.palette().color(QPalette::Window));
    const QFont font = panel->font();
    QVERIFY(font.bold());
    QCOMPARE(font.pixelSize(), 16);
    QCOMPARE(font.families().value(0), QStringLiteral("Times New Roman"));
    // The face actually used is a serif one even where Times New Roman is missing.
    const QString used = QFontInfo(font).family();
    QVERIFY2(!used.contains(QStringLiteral("Sans")), qPrintable(used));
    QCOMPARE(message.okButton()->text(), QStringLiteral("Ok"));
    QVERIFY(panel->geometry().bottom() < message.okButton()->geometry().top());
    QVERIFY(message.rect().contains(message.okButton()->geometry()));
}

void TestDialogs::messageTextReplaced() {
    TForm3 message;
    const QString success = QStringLiteral("Il programma è stato compilato e caricato in memoria");
    message.setText(success);
    QCOMPARE(message.text(), success);
    QCOMPARE(message.messageLabel()->text(), success);
    // The longest message fits the panel on at most two lines.
    const QFontMetrics metrics(message.messageLabel()->font());
    const QRect needed = metrics.boundingRect(message.messageLabel()->contentsRect(),
                                              Qt::AlignCenter | Qt::TextWordWrap, success);
    QVERIFY(needed.height() <= message.messageLabel()->contentsRect().height());
}

void TestDialogs::messageOkCloses() {
    TForm3 message;
    const int result =
        execAndThen(message, [&message] { QTest::mouseClick(message.okButton(), Qt::LeftButton); });
    QCOMPARE(result, static_cast<int>(QDialog::Accepted));
    QVERIFY(!message.isVisible());
}

void TestDialogs::twoWarningsInARowAreSeparateWindows() {
    int results[2] = {0, 0};
    const TForm3* seen[2] = {nullptr, nullptr};
    for (int i = 0; i < 2; ++i) {
        auto* message = new TForm3;
        message->setText(TForm3::defaultText());
        seen[i] = message;
        results[i] = execAndThen(*message, [message] { message->okButton()->click(); });
        QVERIFY(!message->isVisible());
        delete message;
    }
    QCOMPARE(results[0], static_cast<int>(QDialog::Accepted));
    QCOMPARE(results[1], static_cast<int>(QDialog::Accepted));
    QVERIFY(seen[0] != nullptr && seen[1] != nullptr);
}

void TestDialogs::screenshots() {
    const QString dir = qEnvironmentVariable("TESSARO_SCREENSHOT_DIR");
    if (dir.isEmpty()) {
        QSKIP("TESSARO_SCREENSHOT_DIR not set");
    }
    QDir().mkpath(dir);
    TForm2 info;
    QVERIFY(info.grab().save(dir + QStringLiteral("/info.png")));
    TForm3 message;
    QVERIFY(message.grab().save(dir + QStringLiteral("/message.png")));
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
