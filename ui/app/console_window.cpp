#include "ui/app/console_window.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tessaro {

ConsoleWindow::ConsoleWindow(const MachineSession& session, QWidget* parent)
    : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("ConsoleWindow"));
    setWindowTitle(tr("Console"));
    auto* layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("ConsoleText"));
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(m_text);
    resize(560, 360);
    refresh();
}

void ConsoleWindow::refresh() {
    const std::string printed = m_session.printed();
    if (printed == m_shown) {
        return;
    }
    // Bytes as Latin-1: a program prints bytes, and every byte must stay visible as one
    // character.
    if (printed.starts_with(m_shown)) {
        QTextCursor end(m_text->document());
        end.movePosition(QTextCursor::End);
        end.insertText(
            QString::fromLatin1(printed.data() + m_shown.size(),
                                static_cast<qsizetype>(printed.size() - m_shown.size())));
    } else {
        m_text->setPlainText(
            QString::fromLatin1(printed.data(), static_cast<qsizetype>(printed.size())));
    }
    m_shown = printed;
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
}

} // namespace tessaro
