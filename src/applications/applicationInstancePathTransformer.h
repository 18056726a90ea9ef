#pragma once

#include "foundation/ValueTransformer.h"

namespace qm {

// An application (applicationInstancePath::Pointer) to its path (std::string); the null marker
// passes through. Not reversible.
class applicationInstancePathTransformer : public ValueTransformer {
public:
    static constexpr const char* Name = "applicationInstancePathTransformer";
    std::any transformedValue(const std::any& value) const override;
};

// The data of an archived application (PlistData) to its path (std::string); the null marker in,
// or data that holds none, gives the null marker. Not reversible.
class applicationInstancePathFromDataTransformer : public ValueTransformer {
public:
    static constexpr const char* Name = "applicationInstancePathFromDataTransformer";
    std::any transformedValue(const std::any& value) const override;
};

// Registers both under their names.
void registerApplicationInstancePathTransformers();

} // namespace qm
