#pragma once

#include <optional>
#include <string>

#include <QString>

#include "metadata/cIPTCRecord.h"

class QMimeData;

namespace qm {

// What a drag of the panel's rows carries: their text as UTF-8 plain text, and the same rows as
// JSON under a type of our own, with the image they come from and the paragraph style the text
// should take, so that the layout script knows a drag from the panel from any other text.
class DatasetDragData {
public:
    static constexpr const char* MimeType = "application/x-quillmark-dataset";

    struct Context {
        std::optional<std::string> imagePath;
        std::optional<std::string> paragraphStyle; // none: the publication asks for no style
    };

    // The rows' text (values joined with "\r"), the records dragged and the context.
    static QMimeData* mimeData(const QString& text, const IPTCRecordArray& records, const Context& context);
};

} // namespace qm
