#include "ui/app/user_settings.h"

#include "ui/app/app_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace tessaro {

namespace {

QString settingsPath(const AppPaths& paths) {
    const QString defaultRoot =
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (QDir(paths.root()) == QDir(defaultRoot)) {
        return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
               QStringLiteral("/tessaro.conf");
    }
    return QDir(paths.root()).filePath(QStringLiteral("tessaro.conf"));
}

} // namespace

UserSettings::UserSettings(const AppPaths& paths)
    : m_settings(std::make_unique<QSettings>(settingsPath(paths), QSettings::IniFormat)) {}

UserSettings::~UserSettings() = default;

QString UserSettings::fileName() const {
    return m_settings->fileName();
}

QString UserSettings::programFolder(const QString& fallback) const {
    const QString folder = m_settings->value(QStringLiteral("files/programFolder")).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : fallback;
}

void UserSettings::setProgramFolder(const QString& folder) {
    m_settings->setValue(QStringLiteral("files/programFolder"), folder);
}

int UserSettings::viewFormat() const {
    const int index = m_settings->value(QStringLiteral("views/format"), 0).toInt();
    return index >= 0 && index <= 2 ? index : 0;
}

void UserSettings::setViewFormat(int index) {
    m_settings->setValue(QStringLiteral("views/format"), index);
}

QColor UserSettings::colour(const QString& name) const {
    const QString text = m_settings->value(QStringLiteral("colours/") + name).toString();
    return text.isEmpty() ? QColor() : QColor::fromString(text);
}

void UserSettings::setColour(const QString& name, const QColor& colour) {
    m_settings->setValue(QStringLiteral("colours/") + name, colour.name(QColor::HexArgb));
}

} // namespace tessaro
