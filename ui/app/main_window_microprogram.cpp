#include "ui/app/main_window.h"

#include "ui/app/text_file.h"
#include "ui/workbench/microprogram_window.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>

namespace tessaro {

void MainWindow::openMicroprogramWindow() {
    if (m_microprogramWindow == nullptr) {
        m_microprogramWindow = new MicroprogramWindow(this);
    }
    m_microprogramWindow->show();
    m_microprogramWindow->raise();
    m_microprogramWindow->activateWindow();
}

void MainWindow::installMicroprogram(AssembledMicroprogram translated, const QByteArray& listing,
                                     const QString& path) {
    const bool wasRunning = isRunning();
    abandonExecution();
    session.replaceControlStore(translated.records);
    if (wasRunning) {
        m_runStatus->setText(tr("Esecuzione fermata: il microprogramma è stato sostituito"));
    }
    // The listing selection reads the microprogram's line table, so both change together.
    microprogram = std::move(translated);
    m_problems.clear();
    m_listingOffsets = SourceOffsets(byteView(listing));
    m_microprogramListing->setPlainText(TextFile::decode(listing));
    m_microprogramPath->setText(QDir::toNativeSeparators(path));
    labelListing();
    if (session.isLoaded()) {
        refreshAll();
        selectCurrentLines();
    }
}

} // namespace tessaro
