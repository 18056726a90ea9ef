#pragma once

#include <any>

#include "foundation/ValueTransformer.h"

namespace qm {

// An identifier string (std::string) to the registered text block (textBlockSpec::Pointer), and
// back: how a publication's default byline and caption are stored and shown.
class textBlockSpecToUniqueIDStringTransformer : public ValueTransformer {
public:
    static constexpr const char* Name = "textBlockSpecToUniqueIDStringTransformer";

    std::any transformedValue(const std::any& value) const override;
    bool allowsReverseTransformation() const override { return true; }
    std::any reverseTransformedValue(const std::any& value) const override;

    // Registers it under its name.
    static void registerTransformer();
};

} // namespace qm
