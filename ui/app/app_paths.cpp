#include "ui/app/app_paths.h"

#include "data/bundled.h"
#include "ijvm/instruction_set.h"
#include "ui/app/text_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tessaro {

namespace {

// A copy left empty by a first start that ran out of disk space counts as missing, or the
// broken file would stay for good. Each copy appears whole or not at all.
bool installIfMissing(const QString& path, std::string_view text, QString* error) {
    const QFileInfo existing(path);
    if (existing.exists() && (existing.size() > 0 || text.empty())) {
        return true;
    }
    const TextFileResult written =
        TextFile::writeBytes(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    if (!written.ok) {
        if (error != nullptr) {
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), written.error);
        }
        return false;
    }
    return true;
}

} // namespace

AppPaths::AppPaths(const QString& root) : m_root(QDir::cleanPath(root)) {}

QString AppPaths::chooseRoot(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--root") && i + 1 < arguments.size()) {
            return arguments[i + 1];
        }
        if (argument.startsWith(QLatin1String("--root="))) {
            return argument.mid(7);
        }
    }
    const QString fromEnvironment = qEnvironmentVariable("TESSARO_ROOT");
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString AppPaths::velkoraDir() const {
    return m_root + QStringLiteral("/EMU/Velkora");
}
QString AppPaths::microprogramDir() const {
    return velkoraDir() + QStringLiteral("/MP");
}
QString AppPaths::scratchDir() const {
    return velkoraDir() + QStringLiteral("/tmp");
}
QString AppPaths::examplesDir() const {
    return velkoraDir() + QStringLiteral("/Examples");
}
QString AppPaths::microprogramSource() const {
    return microprogramDir() + QStringLiteral("/velkora.mal");
}
QString AppPaths::instructionSetFile() const {
    return microprogramDir() + QStringLiteral("/instructions.txt");
}
QString AppPaths::controlStoreFile() const {
    return microprogramDir() + QStringLiteral("/velkora.bin");
}
QString AppPaths::scratchFile() const {
    return scratchDir() + QStringLiteral("/tmp.swp");
}
QString AppPaths::programRecoveryFile() const {
    return scratchDir() + QStringLiteral("/program.recovery");
}
QString AppPaths::microprogramRecoveryFile() const {
    return scratchDir() + QStringLiteral("/microprogram.recovery");
}
QString AppPaths::instructionSetRecoveryFile() const {
    return scratchDir() + QStringLiteral("/instructions.recovery");
}

bool AppPaths::prepare(QString* error) const {
    for (const QString& dir : {microprogramDir(), scratchDir(), examplesDir()}) {
        if (!QDir().mkpath(dir)) {
            if (error != nullptr) {
                *error = QCoreApplication::translate("tessaro::AppPaths",
                                                     "Impossibile creare la cartella %1")
                             .arg(QDir::toNativeSeparators(dir));
            }
            return false;
        }
    }
    if (!installIfMissing(microprogramSource(), bundledMicroprogram(), error) ||
        !installIfMissing(instructionSetFile(), builtinInstructionSetText(), error)) {
        return false;
    }
    for (const BundledFile& example : bundledExamples()) {
        const QString name =
            QString::fromUtf8(example.name.data(), static_cast<qsizetype>(example.name.size()));
        // Only plain names: a bundled entry must never write outside the examples folder.
        if (name.isEmpty() || name.contains(QLatin1Char('/')) ||
            name.startsWith(QLatin1Char('.'))) {
            continue;
        }
        if (!installIfMissing(examplesDir() + QLatin1Char('/') + name, example.text, error)) {
            return false;
        }
    }
    return true;
}

} // namespace tessaro
