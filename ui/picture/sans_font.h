#pragma once

#include <QFont>

namespace tessaro {

/// The sans-serif font of the pictures and dialogs, with fallbacks that exist on Debian
/// desktops; sizes are in pixels so that the figures keep their proportions at any scaling.
inline QFont sansFont(int pixelSize, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace tessaro
