#pragma once

// The main window on a temporary data folder, driven through its widgets: the set-up the GUI
// tests share, the look-ups of its parts, and scripted answers to the questions it asks.

#include "data/bundled.h"
#include "ijvm/instruction_set.h"
#include "modal_driver.h"
#include "ui/app/main_window.h"
#include "ui/app/text_file.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

inline const QString kNotLoaded =
    QStringLiteral("Il programma deve prima essere compilato e caricato in memoria");
inline const QString kLoaded =
    QStringLiteral("Il programma è stato compilato e caricato in memoria");

inline QString bundledMicroprogramText() {
    const std::string_view text = tessaro::bundledMicroprogram();
    return tessaro::TextFile::decode(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

// Presses the button captioned caption on the message box that comes up.
inline ModalDriver::Answer press(const QString& caption) {
    return [caption](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY2(box != nullptr, modal->metaObject()->className());
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == caption) {
                b->click();
                return;
            }
        }
        QFAIL(qPrintable(QStringLiteral("no button ") + caption));
    };
}

class WindowFixture : public QObject {
protected:
    QTemporaryDir root;
    std::unique_ptr<tessaro::MainWindow> window;
    std::unique_ptr<ModalDriver> driver;
    QStringList messages; ///< texts of the message windows, in order

    // For initTestCase: a data folder with the bundled microprogram and examples.
    void prepareRoot() {
        QVERIFY(root.isValid());
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QString error;
        QVERIFY2(tessaro::AppPaths(root.path()).prepare(&error), qPrintable(error));
    }
    // For init: a new window over the bundled microprogram and instruction set (or the ones
    // given), whatever the test before saved.
    void openWindow(const QString& microprogram = bundledMicroprogramText(),
                    QByteArray instructionSet = {}) {
        const tessaro::AppPaths paths(root.path());
        QVERIFY(tessaro::TextFile::write(paths.microprogramSource(), microprogram).ok);
        if (instructionSet.isEmpty()) {
            const std::string_view builtin = tessaro::builtinInstructionSetText();
            instructionSet = QByteArray(builtin.data(), static_cast<qsizetype>(builtin.size()));
        }
        QVERIFY(tessaro::TextFile::writeBytes(paths.instructionSetFile(), instructionSet).ok);
        driver = std::make_unique<ModalDriver>();
        window = std::make_unique<tessaro::MainWindow>(paths);
        messages.clear();
        connect(window.get(), &tessaro::MainWindow::messageShown, this,
                [this](const QString&, const QString& text) { messages.append(text); });
    }
    // For cleanup: no question on closing, and the next window starts from the defaults.
    void closeWindow() {
        if (!window) {
            return;
        }
        editor()->clear();
        window.reset();
        QFile::remove(QDir(root.path()).filePath(QStringLiteral("tessaro.conf")));
        QCOMPARE(driver->pending(), std::size_t{0});
        driver.reset();
    }

    tessaro::MainWindow& w() { return *window; }
    const tessaro::ControlPath& machine() { return window->machine(); }
    template <typename T> T* child(const char* name) {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("no child %s", name);
        }
        return found;
    }
    QPlainTextEdit* editor() { return child<QPlainTextEdit>("Memo1"); }
    QPlainTextEdit* listing() { return child<QPlainTextEdit>("Memo2"); }
    QLabel* label(const char* name) { return child<QLabel>(name); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    QString selectedSource() { return editor()->textCursor().selectedText(); }
    QString runStatus() {
        return window->statusBar()->findChild<QLabel*>(QStringLiteral("RunStatus"))->text();
    }
    QAction* menuAction(const QString& text) {
        for (QAction* menu : window->menuBar()->actions()) {
            for (QAction* item : menu->menu()->actions()) {
                if (item->text() == text) {
                    return item;
                }
            }
        }
        qFatal("no menu item %s", qPrintable(text));
    }

    void type(const char* program) {
        editor()->setPlainText(QString::fromUtf8(program));
        editor()->document()->setModified(true);
    }
    // Types a program and presses Compile and Load, which must succeed.
    void load(const char* program) {
        type(program);
        messages.clear();
        button("BitBtn5")->click();
        QCOMPARE(messages, QStringList{kLoaded});
        QVERIFY(window->programLoaded());
        messages.clear();
    }
    // Presses Run and waits for the run to end by itself.
    void runToTheEnd() {
        QSignalSpy finished(window.get(), &tessaro::MainWindow::executionFinished);
        button("BitBtn3")->click();
        QVERIFY(finished.count() > 0 || finished.wait(10'000));
    }
};
