#pragma once

#include <QPixmap>
#include <QString>
#include <cstdio>

// Writes a screenshot program's picture and says where it went (scripts/screenshot lists them);
// false when it could not be written.
inline bool savePicture(const QPixmap& picture, const QString& file) {
    if (!picture.save(file)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s (%dx%d)\n", qPrintable(file), picture.width(), picture.height());
    return true;
}
