#pragma once

#include <QColor>
#include <QString>

#include <memory>

class QSettings;

namespace tessaro {

class AppPaths;

/// The choices Tessaro remembers across starts: the folder of the last program opened or saved,
/// the editor's and the window's colours and the format of the views. They live in
/// tessaro.conf beside the data folders when a data root was chosen (--root, TESSARO_ROOT), so
/// that every root has its own, and in the user's configuration folder otherwise.
class UserSettings {
public:
    explicit UserSettings(const AppPaths& paths);
    ~UserSettings();

    /// The file the choices are kept in.
    QString fileName() const;

    /// The folder of the last program opened or saved; fallback when none is known or it is
    /// gone.
    QString programFolder(const QString& fallback) const;
    void setProgramFolder(const QString& folder);

    /// The format selector's index (0..2), 0 when none was chosen.
    int viewFormat() const;
    void setViewFormat(int index);

    /// A remembered colour ("editorBase", "editorText", "window"); invalid when none.
    QColor colour(const QString& name) const;
    void setColour(const QString& name, const QColor& colour);

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace tessaro
