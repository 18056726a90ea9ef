#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ScribusPageNumbers.h"

namespace qm {

// The pictures a saved Scribus document (.sla) places on its pages, read from the file itself.
// Picture frames holding an image file count; empty frames and frames on the pasteboard (on no
// page) do not. A picture on a master page is placed on every page that uses that master page.
class ScribusDocument {
public:
    struct Picture {
        std::size_t pageIndex = 0;             // position in the document, from 0
        std::string pageNumber;                // as the document numbers the page (its sections)
        std::optional<std::string> masterPage; // the master page the picture belongs to, if any
        std::string frameName;
        std::string storedPath;           // the image path as the document stores it
        std::filesystem::path path;       // that path, a relative one taken from the document's folder
    };

    // The document at `file`; nothing, with a one-line `error`, when it cannot be read or is not a
    // Scribus document.
    static std::optional<ScribusDocument> read(const std::filesystem::path& file, std::string& error);
    // The document from its text; relative image paths are taken from `folder`.
    static std::optional<ScribusDocument> fromText(std::string_view text, const std::filesystem::path& folder,
                                                   std::string& error);

    std::size_t pageCount() const { return mPageCount; }
    // By page, and on a page the master page's pictures first, then in the document's order.
    const std::vector<Picture>& pictures() const { return mPictures; }

private:
    friend class ScribusDocumentBuilder;
    std::size_t mPageCount = 0;
    std::vector<Picture> mPictures;
};

} // namespace qm
