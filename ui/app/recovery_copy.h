#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

namespace tessaro {

/// What an editor had not saved: the file it belongs to (empty for a new text) and the text.
struct UnsavedText {
    QString filePath;
    QString text;
};

/// A copy of an editor's unsaved text, kept in the data root so that a crash loses at most a
/// few seconds of typing. Every few seconds it asks the editor for its unsaved text: a changed
/// one is written (whole, through a temporary file), and when everything is saved the copy is
/// removed. The copy found at start-up is what the last session did not save.
class RecoveryCopy : public QObject {
    Q_OBJECT
public:
    /// How often the editor is asked.
    static constexpr int kIntervalMs = 3000;

    /// Keeps the copy at path for the editor that unsavedText asks (nothing: all saved).
    RecoveryCopy(QString path, std::function<std::optional<UnsavedText>()> unsavedText,
                 QObject* parent);

    /// Brings the copy up to date at once.
    void update();
    /// Removes the copy this object wrote (the editor's text is saved, or thrown away).
    void discard();
    /// Removes the copy and keeps no other (the window closes).
    void stop();

    /// The text a copy at path holds, when there is one.
    static std::optional<UnsavedText> read(const QString& path);

private:
    QString m_path;
    std::function<std::optional<UnsavedText>()> m_unsavedText;
    QTimer m_timer;
    std::optional<UnsavedText> m_written;
};

} // namespace tessaro
