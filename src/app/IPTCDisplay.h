#pragma once

#include <memory>
#include <optional>

#include "foundation/StringEncodings.h"
#include "metadata/cIPTCRecord.h"

namespace qm {

class QMMetadataParser;
class UserDefaults;

// Turns the current image's parser into the datasets the panel shows: the encoding choice, the
// decoding, consolidation, repair and the user's filter, all from the settings.
class IPTCDisplay {
public:
    struct Result {
        StringEncoding encoding = 0;
        bool usedXMP = false;
        std::optional<IPTCRecordArray> IPTCRecords;         // every decoded dataset
        std::optional<IPTCRecordArray> filteredIPTCRecords; // what the panel shows
    };

    // UTF-8 when XMP is preferred and present, else the guess from the datasets.
    static StringEncoding chosenEncoding(const std::shared_ptr<QMMetadataParser>& parser, const UserDefaults& defaults);
    // Decoded in chosenEncoding(), which is stored under
    // "panelTextEncoding" when there is a current image.
    static Result updateDisplayedIPTCData(const std::shared_ptr<QMMetadataParser>& parser, UserDefaults& defaults,
                                          bool hasCurrentImagePath);
    // With the encoding stored under "panelTextEncoding".
    static Result updateDisplayedIPTCDataWithCustomPanelEncoding(const std::shared_ptr<QMMetadataParser>& parser,
                                                                 const UserDefaults& defaults);
    static Result updateDisplayedIPTCDataWithEncoding(const std::shared_ptr<QMMetadataParser>& parser,
                                                      StringEncoding encoding, const UserDefaults& defaults);
    // The datasets decoded in the encoding (or from XMP) and repaired as the settings say; repeated
    // datasets consolidated only when asked.
    static std::optional<IPTCRecordArray> decodedIPTCRecords(const std::shared_ptr<QMMetadataParser>& parser,
                                                             StringEncoding encoding, bool consolidate,
                                                             const UserDefaults& defaults);
};

} // namespace qm
