#pragma once

#include <optional>
#include <string>

#include "textgen/PublicationStore.h"

namespace qm {

class UserDefaults;

// The byline and caption of an image: a publication of the list (the current one unless another
// is chosen) and one of its bylines and captions (its defaults unless others are named).
class BylineAndCaption {
public:
    struct Choice {
        std::optional<std::string> publication; // a publication's name, else its index; absent: the current one
        std::optional<std::string> byline;      // a byline's exact name; absent: the publication's default
        std::optional<std::string> caption;     // a caption's exact name; absent: the publication's default
    };

    struct Texts {
        std::optional<std::string> byline; // absent when there is no byline or it gives no text
        std::optional<std::string> caption;
    };

    // The chosen text blocks, or nothing with `error` saying which choice names nothing. Without a
    // current publication and without choices, nothing is chosen and that is no error. Text blocks
    // named "-" are never chosen by name.
    static std::optional<BylineAndCaption> choose(const PublicationStore::Publications& publications,
                                                  const Choice& choice, const UserDefaults& defaults,
                                                  std::string& error);

    const quillmarkPublication::Pointer& publication() const { return mPublication; }
    const textBlockSpec::Pointer& bylineSpec() const { return mByline; }
    const textBlockSpec::Pointer& captionSpec() const { return mCaption; }

    // The two texts for an image, from its path and every decoded dataset (unfiltered). Alerts the
    // text blocks raise (missing fields) go through the installed alert presenter.
    Texts textsForImage(const std::optional<std::string>& path, const IPTCRecordArray& records) const;

    // A publication's bylines (captions) that can be chosen by name: those not named "-".
    static bool isOffered(const textBlockSpec& spec) { return spec.name() != "-"; }

private:
    quillmarkPublication::Pointer mPublication;
    textBlockSpec::Pointer mByline;
    textBlockSpec::Pointer mCaption;
};

} // namespace qm
