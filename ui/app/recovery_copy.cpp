#include "ui/app/recovery_copy.h"

#include "ui/app/text_file.h"

#include <QFile>

namespace tessaro {

namespace {

// The copy's first line is the file the text belongs to; the text follows.
QString contents(const UnsavedText& unsaved) {
    return unsaved.filePath + QLatin1Char('\n') + unsaved.text;
}

} // namespace

RecoveryCopy::RecoveryCopy(QString path, std::function<std::optional<UnsavedText>()> unsavedText,
                           QObject* parent)
    : QObject(parent), m_path(std::move(path)), m_unsavedText(std::move(unsavedText)) {
    connect(&m_timer, &QTimer::timeout, this, &RecoveryCopy::update);
    m_timer.start(kIntervalMs);
}

void RecoveryCopy::update() {
    const std::optional<UnsavedText> unsaved = m_unsavedText();
    if (!unsaved) {
        discard();
        return;
    }
    if (m_written && m_written->filePath == unsaved->filePath && m_written->text == unsaved->text) {
        return;
    }
    // A copy that cannot be written (a full disk) is tried again at the next tick.
    if (TextFile::write(m_path, contents(*unsaved)).ok) {
        m_written = unsaved;
    }
}

void RecoveryCopy::discard() {
    // A copy that another session left is not this one's to remove: it waits to be offered.
    if (m_written) {
        QFile::remove(m_path);
    }
    m_written.reset();
}

void RecoveryCopy::stop() {
    m_timer.stop();
    discard();
}

std::optional<UnsavedText> RecoveryCopy::read(const QString& path) {
    if (!QFile::exists(path)) {
        return std::nullopt;
    }
    const TextFileResult file = TextFile::read(path);
    if (!file.ok) {
        return std::nullopt;
    }
    const qsizetype lineEnd = file.text.indexOf(QLatin1Char('\n'));
    if (lineEnd < 0) {
        return UnsavedText{file.text, QString()};
    }
    return UnsavedText{file.text.left(lineEnd), file.text.mid(lineEnd + 1)};
}

} // namespace tessaro
