#pragma once

#include <QImage>
#include <QImageReader>

#include <optional>

#include "platform/ImageLibrary.h"

namespace qm {

// Conversions between Qt's images and the platform's Bitmap.
class QtBitmaps {
public:
    // The reader's first image as stored (no orientation applied); absent when it does not decode.
    static std::optional<Bitmap> read(QImageReader& reader);
    static std::optional<Bitmap> fromImage(const QImage& image);
    // A view of the bitmap's pixels (valid while the bitmap lives); null when the bitmap's
    // pixels do not match its size.
    static QImage view(const Bitmap& bitmap);
};

} // namespace qm
