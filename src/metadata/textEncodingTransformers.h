#pragma once

#include <any>
#include <cstdint>
#include <optional>

#include "foundation/ValueTransformer.h"

namespace qm {

// Value transformers between encoding numbers, positions in the encoding list, descriptors
// (textEncoding) and names. Numbers and positions go out as std::int64_t; numbers come in as
// any integer type or a numeric PlistValue.

// number → position in the list; reversible in name only.
class TextEncodingIndexToEncodingTransformer : public ValueTransformer {
public:
    std::any transformedValue(const std::any& value) const override;
    bool allowsReverseTransformation() const override { return true; }
};

// number → position; position → number.
class StringEncodingToIndexTransformer : public ValueTransformer {
public:
    std::any transformedValue(const std::any& value) const override;
    bool allowsReverseTransformation() const override { return true; }
    std::any reverseTransformedValue(const std::any& value) const override;
};

// number → descriptor; descriptor → number.
class TextEncodingToEncodingNumberTransformer : public ValueTransformer {
public:
    std::any transformedValue(const std::any& value) const override;
    bool allowsReverseTransformation() const override { return true; }
    std::any reverseTransformedValue(const std::any& value) const override;
};

// number → name; name → number (Mac OS Roman for an unknown name).
class TextEncodingNumberToEncodingNameTransformer : public ValueTransformer {
public:
    std::any transformedValue(const std::any& value) const override;
    bool allowsReverseTransformation() const override { return true; }
    std::any reverseTransformedValue(const std::any& value) const override;
};

// descriptor → name; name → descriptor.
class textEncodingToEncodingNameTransformer : public ValueTransformer {
public:
    std::any transformedValue(const std::any& value) const override;
    bool allowsReverseTransformation() const override { return true; }
    std::any reverseTransformedValue(const std::any& value) const override;
};

// Registers the five under their class names.
void registerTextEncodingTransformers();

// An integer held by a std::any (any integer type, or a numeric PlistValue).
std::optional<std::int64_t> integerFromAny(const std::any& value);

} // namespace qm
