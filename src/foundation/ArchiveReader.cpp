#include "foundation/ArchiveReader.h"

#include "foundation/PropertyList.h"

namespace qm {

std::optional<ArchiveReader> ArchiveReader::sequential(std::span<const std::uint8_t> data)
{
    auto root = PropertyList::fromBytes(data);
    if (!root || !root->array()) {
        Log::message("archive: the data is not a sequential archive");
        return std::nullopt;
    }
    ArchiveReader reader;
    reader.mValues = std::move(*root->array());
    return reader;
}

std::optional<ArchiveReader> ArchiveReader::keyed(std::span<const std::uint8_t> data)
{
    auto root = PropertyList::fromBytes(data);
    if (!root || !root->dictionary()) {
        Log::message("archive: the data is not a keyed archive");
        return std::nullopt;
    }
    ArchiveReader reader;
    reader.mKeyedValues = std::move(*root->dictionary());
    return reader;
}

std::optional<ArchiveReader> ArchiveReader::object(const PlistValue& item)
{
    const PlistValue* className = item.find("$class");
    if (!className || !className->string())
        return std::nullopt;
    ArchiveReader reader;
    reader.mClassName = *className->string();
    if (const PlistValue* version = item.find("$version"))
        reader.mVersion = version->asInteger().value_or(0);
    if (const PlistValue* values = item.find("$values"); values && values->array())
        reader.mValues = *values->array();
    if (const PlistValue* keyed = item.find("$keys"); keyed && keyed->dictionary())
        reader.mKeyedValues = *keyed->dictionary();
    return reader;
}

bool ArchiveReader::isNullItem(const PlistValue& item)
{
    const PlistValue* null = item.find("$null");
    return null && null->boolean() && *null->boolean();
}

std::optional<PlistValue> ArchiveReader::decode()
{
    if (atEnd())
        return std::nullopt;
    return mValues[mNext++];
}

std::optional<PlistValue> ArchiveReader::decode(std::string_view key) const
{
    auto found = mKeyedValues.find(key);
    if (found == mKeyedValues.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::int64_t> ArchiveReader::integerOf(const std::optional<PlistValue>& value)
{
    return value ? value->asInteger() : std::nullopt;
}

std::optional<std::string> ArchiveReader::stringOf(const std::optional<PlistValue>& value)
{
    return value && value->string() ? std::optional(*value->string()) : std::nullopt;
}

std::optional<PlistData> ArchiveReader::dataOf(const std::optional<PlistValue>& value)
{
    return value && value->data() ? std::optional(*value->data()) : std::nullopt;
}

std::optional<bool> ArchiveReader::boolOf(const std::optional<PlistValue>& value)
{
    return value ? value->asBoolean() : std::nullopt;
}

std::optional<double> ArchiveReader::realOf(const std::optional<PlistValue>& value)
{
    return value ? value->asReal() : std::nullopt;
}

} // namespace qm
