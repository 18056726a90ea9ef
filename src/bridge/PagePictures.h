#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "bridge/LayoutArguments.h"

namespace qm {

// The picture frames with an image on one page of the front document, in reading order (rows from
// the top down, each from left to right), as the layout script's "pagepictures" answers them.
struct PagePictures {
    struct Picture {
        std::string name;                // the frame's name in the document
        std::string imagePath;           // its image file
        std::set<std::string> madeRoles; // "byline", "caption": frames the program made for it earlier
    };

    std::string documentName;
    std::int32_t page = 0; // 1 up, as the user counts pages
    std::int32_t pageCount = 0;
    std::vector<Picture> pictures;

    // None when the answer is not such a listing.
    static std::optional<PagePictures> fromResult(const nlohmann::json& result);
};

// One frame of a "makepageframes" request: beside `picture`, marked as its `role`, made with the
// settings of a "maketextbox" call (whose instance name is left out).
struct PageFrame {
    static constexpr std::size_t SettingsCount = 14;

    std::string picture;
    std::string role;
    LayoutArguments textFrame;

    nlohmann::json toJson() const;
};

} // namespace qm
