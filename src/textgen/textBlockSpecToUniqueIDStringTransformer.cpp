#include "textgen/textBlockSpecToUniqueIDStringTransformer.h"

#include <memory>

#include "textgen/textBlockSpec.h"

namespace qm {

std::any textBlockSpecToUniqueIDStringTransformer::transformedValue(const std::any& value) const
{
    const auto* identifier = std::any_cast<std::string>(&value);
    auto spec = identifier ? textBlockSpec::findRegisteredSpecWithUniqueID(*identifier) : nullptr;
    return spec ? std::any(spec) : std::any();
}

std::any textBlockSpecToUniqueIDStringTransformer::reverseTransformedValue(const std::any& value) const
{
    const auto* spec = std::any_cast<textBlockSpec::Pointer>(&value);
    return spec && *spec ? std::any((*spec)->uniqueIDString()) : std::any();
}

void textBlockSpecToUniqueIDStringTransformer::registerTransformer()
{
    ValueTransformer::setValueTransformer(std::make_shared<textBlockSpecToUniqueIDStringTransformer>(), Name);
}

} // namespace qm
