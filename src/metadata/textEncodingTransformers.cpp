#include "metadata/textEncodingTransformers.h"

#include <memory>
#include <string>

#include "foundation/PlistValue.h"
#include "metadata/textEncoding.h"

namespace qm {

namespace {

std::optional<StringEncoding> encodingFromAny(const std::any& value)
{
    auto number = integerFromAny(value);
    if (!number || *number < 0 || *number > 0xFFFFFFFF)
        return std::nullopt;
    return static_cast<StringEncoding>(*number);
}

std::any indexOf(const std::any& value)
{
    auto encoding = encodingFromAny(value);
    auto index = encoding ? textEncoding::indexOfEncoding(*encoding) : std::nullopt;
    return index ? std::any(static_cast<std::int64_t>(*index)) : std::any();
}

const std::string* stringFromAny(const std::any& value)
{
    if (const auto* text = std::any_cast<std::string>(&value))
        return text;
    if (const auto* plist = std::any_cast<PlistValue>(&value))
        return plist->string();
    return nullptr;
}

} // namespace

std::optional<std::int64_t> integerFromAny(const std::any& value)
{
    if (const auto* v = std::any_cast<std::int64_t>(&value))
        return *v;
    if (const auto* v = std::any_cast<int>(&value))
        return *v;
    if (const auto* v = std::any_cast<unsigned>(&value))
        return *v;
    if (const auto* v = std::any_cast<long long>(&value))
        return *v;
    if (const auto* v = std::any_cast<unsigned long>(&value))
        return static_cast<std::int64_t>(*v);
    if (const auto* v = std::any_cast<PlistValue>(&value))
        return v->asInteger();
    return std::nullopt;
}

std::any TextEncodingIndexToEncodingTransformer::transformedValue(const std::any& value) const
{
    return indexOf(value);
}

std::any StringEncodingToIndexTransformer::transformedValue(const std::any& value) const
{
    return indexOf(value);
}

std::any StringEncodingToIndexTransformer::reverseTransformedValue(const std::any& value) const
{
    const auto& all = textEncoding::allTextEncodings();
    auto index = integerFromAny(value);
    if (!index || *index < 0 || static_cast<std::size_t>(*index) >= all.size())
        return {};
    return static_cast<std::int64_t>(all[static_cast<std::size_t>(*index)].rawEncoding());
}

std::any TextEncodingToEncodingNumberTransformer::transformedValue(const std::any& value) const
{
    auto encoding = encodingFromAny(value);
    auto descriptor = encoding ? textEncoding::getTextEncodingByNumber(*encoding) : std::nullopt;
    return descriptor ? std::any(*descriptor) : std::any();
}

std::any TextEncodingToEncodingNumberTransformer::reverseTransformedValue(const std::any& value) const
{
    const auto* descriptor = std::any_cast<textEncoding>(&value);
    return descriptor ? std::any(static_cast<std::int64_t>(descriptor->rawEncoding())) : std::any();
}

std::any TextEncodingNumberToEncodingNameTransformer::transformedValue(const std::any& value) const
{
    auto encoding = encodingFromAny(value);
    return encoding ? std::any(textEncoding::getTextEncodingNameByRawEncoding(*encoding)) : std::any();
}

std::any TextEncodingNumberToEncodingNameTransformer::reverseTransformedValue(const std::any& value) const
{
    const std::string* name = stringFromAny(value);
    return name ? std::any(static_cast<std::int64_t>(textEncoding::getRawTextEncodingByName(*name))) : std::any();
}

std::any textEncodingToEncodingNameTransformer::transformedValue(const std::any& value) const
{
    const auto* descriptor = std::any_cast<textEncoding>(&value);
    return descriptor ? std::any(descriptor->name()) : std::any();
}

std::any textEncodingToEncodingNameTransformer::reverseTransformedValue(const std::any& value) const
{
    const std::string* name = stringFromAny(value);
    auto descriptor = name ? textEncoding::getTextEncodingByName(*name) : std::nullopt;
    return descriptor ? std::any(*descriptor) : std::any();
}

void registerTextEncodingTransformers()
{
    ValueTransformer::setValueTransformer(std::make_shared<TextEncodingIndexToEncodingTransformer>(),
                                          "TextEncodingIndexToEncodingTransformer");
    ValueTransformer::setValueTransformer(std::make_shared<StringEncodingToIndexTransformer>(),
                                          "StringEncodingToIndexTransformer");
    ValueTransformer::setValueTransformer(std::make_shared<TextEncodingToEncodingNumberTransformer>(),
                                          "TextEncodingToEncodingNumberTransformer");
    ValueTransformer::setValueTransformer(std::make_shared<TextEncodingNumberToEncodingNameTransformer>(),
                                          "TextEncodingNumberToEncodingNameTransformer");
    ValueTransformer::setValueTransformer(std::make_shared<textEncodingToEncodingNameTransformer>(),
                                          "textEncodingToEncodingNameTransformer");
}

} // namespace qm
