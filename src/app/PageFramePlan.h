#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bridge/LayoutConnection.h"
#include "bridge/PagePictures.h"
#include "textgen/textBlockSpec.h"

namespace qm {

// What "Make bylines and captions for this page" makes: for every picture of the page, in reading
// order, a frame for each text block whose role the picture has no frame for yet, with the text the
// single commands would give it. A picture that fails the text frame checks for any of the text
// blocks (missing fields, a missing file, no text) is skipped as a whole, with its reasons.
class PageFramePlan {
public:
    struct Frame {
        std::string picture;   // the frame's name in the document
        std::string imagePath;
        std::string role;      // "byline" or "caption"
        std::string text;
        PageFrame request;
    };
    struct Skipped {
        std::string imagePath;
        std::vector<std::string> reasons; // the missing fields' names, or the check's message
    };
    // Everything the plan is made from, read on the main thread.
    struct Input {
        const PagePictures& listing;
        std::vector<textBlockSpec::Pointer> textBlocks;
        std::vector<LayoutConnection::State> styleStates;          // one a text block
        std::map<std::string, IPTCRecordArray> recordsByImagePath; // absent: the file could not be read
        std::string applicationName;
    };

    static PageFramePlan make(const Input& input, const LayoutConnection& connection);

    std::vector<Frame> frames;
    std::vector<Skipped> skipped;
    std::vector<std::string> styleMessages; // missing styles, once each
    std::size_t alreadyMade = 0;            // frames left out because the picture has them

    std::vector<PageFrame> requests() const;
    // One line a skipped picture: "file name: reason, reason".
    std::vector<std::string> skippedLines() const;

private:
    void planPicture(const PagePictures::Picture& picture, const Input& input, const LayoutConnection& connection);
    void noteStyleMessages(const std::vector<std::string>& messages);
};

} // namespace qm
