#pragma once

#include <QDialog>

class QPushButton;

namespace tessaro {

/// The Info window: logo, version banner, five credit lines and an "Ok" button. Modal;
/// callers create a fresh instance for each showing.
class InfoDialog : public QDialog {
    Q_OBJECT
public:
    /// Builds the 472 x 501 white window titled "Info".
    explicit InfoDialog(QWidget* parent = nullptr);

    /// The "Ok" button (default button; accepts the window).
    QPushButton* okButton() const { return m_ok; }
    /// The five credit lines, top to bottom.
    static QStringList creditLines();

private:
    QPushButton* m_ok = nullptr;
};

} // namespace tessaro
