#include "ui/tform1.h"

#include "ui/microprogram_window.h"
#include "ui/text_file.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>

namespace tessaro {

void TForm1::openMicroprogramWindow() {
    if (m_microprogramWindow == nullptr) {
        m_microprogramWindow = new MicroprogramWindow(this);
    }
    m_microprogramWindow->show();
    m_microprogramWindow->raise();
    m_microprogramWindow->activateWindow();
}

bool TForm1::installMicroprogram(std::unique_ptr<Translate> translated, const QByteArray& listing,
                                 const QString& path, const QString& controlStore) {
    const bool wasRunning = isRunning();
    abandonExecution();
    if (!session.replaceControlStore(QFile::encodeName(controlStore).toStdString())) {
        return false;
    }
    if (wasRunning) {
        m_runStatus->setText(tr("Esecuzione fermata: il microprogramma è stato sostituito"));
    }
    // The listing selection reads the translator's line table, so both change together.
    translator = std::move(translated);
    m_problems.clear();
    m_listingOffsets = SourceOffsets(listing);
    m_memo2->setPlainText(TextFile::decode(listing));
    m_label33->setText(QDir::toNativeSeparators(path));
    labelListing();
    if (session.isLoaded()) {
        refreshAll();
        selectCurrentLines();
    }
    return true;
}

} // namespace tessaro
