#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "metadata/cIPTCCode.h"

namespace qm {

// A dataset code that may also stand for one of the artificial fields of the text rules: record
// number 666, and a negative dataset number saying which.
class cIPTCCodeWithExtras : public cIPTCCode {
public:
    static constexpr std::int32_t artificialRecordType = 666;
    enum ArtificialField : std::int32_t {
        imageFileNameField = -5,
        matchedIPTCField = -4,
        anyIPTCField = -3,
        allIPTCFields = -2,
        noIPTCFields = -1,
    };

    using cIPTCCode::cIPTCCode;
    cIPTCCodeWithExtras(const cIPTCCode& code) : cIPTCCode(code) {}

    static cIPTCCode artificialCode(ArtificialField field) { return {artificialRecordType, field}; }
    static bool isArtificialField(const std::optional<cIPTCCode>& code, ArtificialField field);
    // A code of a real dataset: a dataset number of 0 or more.
    static bool isRealField(const std::optional<cIPTCCode>& code);

    // "Image file name" ... "No metadata fields" for the artificial fields; else the dataset's name.
    std::optional<std::string> name() const;

    // The artificial fields' identifiers ("matchedIPTCField", ...), as settings files write them.
    static std::optional<std::string> identifier(const cIPTCCode& code);
    static std::optional<cIPTCCode> codeForIdentifier(std::string_view identifier);
};

} // namespace qm
