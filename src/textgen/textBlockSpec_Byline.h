#pragma once

#include "textgen/textBlockSpec.h"

namespace qm {

class quillmarkPublication;

// A text block of a publication's bylines.
class textBlockSpec_Byline : public textBlockSpec {
public:
    using Pointer = std::shared_ptr<textBlockSpec_Byline>;
    using textBlockSpec::textBlockSpec;

    static Pointer create() { return createRegistered<textBlockSpec_Byline>(); }
    // Named "New byline", or "New byline N" with the first N that no byline of the publication has.
    static Pointer initWithPublication(const quillmarkPublication& publication);

    static constexpr const char* ArchiveClassName = "textBlockSpec_Byline";
    std::string archiveClassName() const override { return ArchiveClassName; }
    static Pointer initWithCoder(ArchiveReader& coder);
};

} // namespace qm
