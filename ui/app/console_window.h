#pragma once

#include "machine/machine_session.h"

#include <QDialog>

class QPlainTextEdit;

namespace tessaro {

/// Everything the program has printed since the last load or reset, where the output line
/// shows only the last five characters. Not modal; its text scrolls and can be copied.
class ConsoleWindow : public QDialog {
    Q_OBJECT
public:
    /// A window over session, which must outlive it.
    ConsoleWindow(const MachineSession& session, QWidget* parent);

    /// Shows what the session has printed by now, adding only what is new when it can.
    void refresh();

private:
    const MachineSession& m_session;
    QPlainTextEdit* m_text = nullptr;
    std::string m_shown;
};

} // namespace tessaro
