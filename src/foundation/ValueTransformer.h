#pragma once

#include <any>
#include <memory>
#include <string>
#include <string_view>

namespace qm {

// The marker that stands for "no value" where a value must be present (a binding's empty
// selection); distinct from an empty std::any, which is nothing at all.
struct NullMarker {
    bool operator==(const NullMarker&) const = default;
};

// Turns a value into another for display or binding, and optionally back. Values are held in
// std::any; an empty std::any is "nothing".
class ValueTransformer {
public:
    virtual ~ValueTransformer() = default;

    virtual std::any transformedValue(const std::any& value) const = 0;
    virtual bool allowsReverseTransformation() const { return false; }
    virtual std::any reverseTransformedValue(const std::any&) const { return {}; }

    // The process-wide registry of transformers by name.
    static void setValueTransformer(std::shared_ptr<ValueTransformer> transformer, std::string name);
    static std::shared_ptr<ValueTransformer> valueTransformerForName(std::string_view name);
};

} // namespace qm
