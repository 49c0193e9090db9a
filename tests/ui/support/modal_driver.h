#pragma once

// Answers the modal dialogs that the window under test opens: each new modal widget gets the
// next scripted answer, or is closed when no answer is left.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

class ModalDriver : public QObject {
public:
    using Answer = std::function<void(QWidget*)>;

    ModalDriver() {
        connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
        m_timer.start(5);
    }

    /// The next modal widget is handed to answer.
    void then(Answer answer) { m_answers.push_back(std::move(answer)); }
    /// Modal widgets seen so far (class names).
    QStringList seen;
    /// Scripted answers not used yet.
    std::size_t pending() const { return m_answers.size(); }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal->property("answered").toBool()) {
            return;
        }
        modal->setProperty("answered", true);
        seen.append(QString::fromLatin1(modal->metaObject()->className()));
        if (!m_answers.empty()) {
            Answer answer = std::move(m_answers.front());
            m_answers.pop_front();
            answer(modal);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }

    QTimer m_timer;
    std::deque<Answer> m_answers;
};
