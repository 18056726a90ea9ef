#pragma once

#include "textgen/textBlockSpec.h"

namespace qm {

class quillmarkPublication;

// A text block of a publication's captions.
class textBlockSpec_Caption : public textBlockSpec {
public:
    using Pointer = std::shared_ptr<textBlockSpec_Caption>;
    using textBlockSpec::textBlockSpec;

    static Pointer create() { return createRegistered<textBlockSpec_Caption>(); }
    // Named "New caption", or "New caption N" with the first N that no caption of the publication has.
    static Pointer initWithPublication(const quillmarkPublication& publication);

    static constexpr const char* ArchiveClassName = "textBlockSpec_Caption";
    std::string archiveClassName() const override { return ArchiveClassName; }
    static Pointer initWithCoder(ArchiveReader& coder);
};

} // namespace qm
