#include "ui/app/statistics_window.h"

#include "machine/execution_report.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tessaro {

namespace {

constexpr int kBusiestShown = 15;
constexpr qint64 kRefreshEveryMs = 250;

} // namespace

StatisticsWindow::StatisticsWindow(const MachineSession& session, QWidget* parent)
    : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(tr("Statistiche"));
    auto* layout = new QVBoxLayout(this);
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("StatisticsTotals"));
    layout->addWidget(m_totals);
    m_table = new QPlainTextEdit(this);
    m_table->setObjectName(QStringLiteral("StatisticsTable"));
    m_table->setReadOnly(true);
    m_table->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(m_table);
    resize(520, 560);
    refresh();
}

void StatisticsWindow::refresh() {
    m_sinceRefresh.restart();
    // Without a program (after New or Open) the figures of the one before are no longer true.
    static const ExecutionCounts kNothing;
    const ExecutionCounts& counts = m_session.isLoaded() ? m_session.counts() : kNothing;
    const std::int64_t now = m_session.microInstructions();
    m_totals->setText(tr("Dall'ultimo reset: %1 micro-istruzioni, %2 istruzioni IJVM")
                          .arg(counts.microInstructions())
                          .arg(counts.instructions()));
    QString text = QStringLiteral("%1 %2 %3\n")
                       .arg(tr("Istruzione"), -15)
                       .arg(tr("Esecuzioni"), 12)
                       .arg(tr("Micro-istruzioni"), 18);
    for (const OpcodeFigures& f : opcodeFigures(counts, now, *m_session.machine().instructionSet)) {
        text += QStringLiteral("%1 %2 %3\n")
                    .arg(QString::fromStdString(f.name), -15)
                    .arg(f.runs, 12)
                    .arg(f.micro, 18);
    }
    text += tr("\nMicro-indirizzi più eseguiti\n");
    for (const AddressFigures& a : busiestAddresses(counts, kBusiestShown)) {
        const Mic* mic = m_session.machine().controlStore.peek(a.address);
        text += QStringLiteral("%1 %2  %3\n")
                    .arg(a.address, 5)
                    .arg(a.runs, 12)
                    .arg(mic != nullptr ? QString::fromStdString(mic->text).trimmed() : QString());
    }
    m_table->setPlainText(text);
}

void StatisticsWindow::refreshNowAndThen() {
    if (!m_sinceRefresh.isValid() || m_sinceRefresh.elapsed() >= kRefreshEveryMs) {
        refresh();
    }
}

} // namespace tessaro
