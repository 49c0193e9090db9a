#pragma once

#include <QString>
#include <QStringList>

namespace tessaro {

/// The folders and files of the emulator under one data root: the tree EMU/Velkora/ with the
/// microprogram (MP/), the scratch folder (tmp/) and the example programs (Examples/).
class AppPaths {
public:
    /// Uses root as the data root (the folder that holds EMU/).
    explicit AppPaths(const QString& root);

    /// The data root chosen by the command line (--root DIR or --root=DIR), else by the
    /// environment variable TESSARO_ROOT, else the per-user application data folder.
    static QString chooseRoot(const QStringList& arguments);

    QString root() const { return m_root; }
    QString velkoraDir() const;
    QString microprogramDir() const;
    QString scratchDir() const;
    QString examplesDir() const;
    /// EMU/Velkora/MP/velkora.mal, translated at every start.
    QString microprogramSource() const;
    /// EMU/Velkora/MP/instructions.txt, the instruction set read at every start.
    QString instructionSetFile() const;
    /// EMU/Velkora/MP/velkora.bin, the control-store file written by the translation.
    QString controlStoreFile() const;
    /// EMU/Velkora/tmp/tmp.swp, the file every compile assembles.
    QString scratchFile() const;
    /// EMU/Velkora/tmp/program.recovery: the program editor's unsaved text, kept for a crash.
    QString programRecoveryFile() const;
    /// EMU/Velkora/tmp/microprogram.recovery: the microprogram editor's unsaved text.
    QString microprogramRecoveryFile() const;
    /// EMU/Velkora/tmp/instructions.recovery: the instruction-set editor's unsaved text.
    QString instructionSetRecoveryFile() const;

    /// Creates the missing folders and installs the bundled microprogram, instruction set and
    /// examples where those files do not exist yet (a student's edited microprogram or
    /// instruction set is never overwritten).
    /// False with a reason in error when a folder or file cannot be created.
    bool prepare(QString* error) const;

private:
    QString m_root;
};

} // namespace tessaro
