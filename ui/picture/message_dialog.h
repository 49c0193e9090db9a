#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tessaro {

/// The message window: a message in yellow bold serif on a grey lowered panel and an "Ok"
/// button. Modal; callers create a fresh instance, set the text and show it.
class MessageDialog : public QDialog {
    Q_OBJECT
public:
    /// Builds the 507 x 159 window titled "Form3" with the not-loaded warning as its text.
    explicit MessageDialog(QWidget* parent = nullptr);

    /// Replaces the message.
    void setText(const QString& text);
    /// The message shown.
    QString text() const;
    /// The "Ok" button (closes the window).
    QPushButton* okButton() const { return m_ok; }
    /// The label carrying the message (object name "Panel1").
    QLabel* messageLabel() const { return m_message; }

    /// The text the window starts with.
    static QString defaultText();

private:
    QLabel* m_message = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace tessaro
