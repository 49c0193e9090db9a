#pragma once

#include "machine/machine_session.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QPlainTextEdit;

namespace tessaro {

/// Where the time goes: micro-instructions and IJVM instructions since the last reset, each
/// opcode's runs and micro-instructions, and the busiest micro-addresses. Not modal: it stays
/// open beside the main window and follows the session.
class StatisticsWindow : public QDialog {
    Q_OBJECT
public:
    /// A window over session, which must outlive it.
    StatisticsWindow(const MachineSession& session, QWidget* parent);

    /// Shows the session's present figures.
    void refresh();
    /// refresh, at most a few times a second (for a running program).
    void refreshNowAndThen();

private:
    const MachineSession& m_session;
    QLabel* m_totals = nullptr;
    QPlainTextEdit* m_table = nullptr;
    QElapsedTimer m_sinceRefresh;
};

} // namespace tessaro
