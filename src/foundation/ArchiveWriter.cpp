#include "foundation/ArchiveWriter.h"

#include "foundation/Log.h"
#include "foundation/PropertyList.h"

namespace qm {

namespace {

std::optional<PlistData> binaryData(PlistValue root, const char* kind)
{
    auto bytes = PropertyList::toBytes(root, PlistFormat::Binary);
    if (!bytes)
        Log::format("archive: a %s archive holds a value that a property list cannot store", kind);
    return bytes;
}

} // namespace

PlistValue ArchiveWriter::nullItem()
{
    return PlistValue(PlistDictionary{{"$null", PlistValue(true)}});
}

PlistValue ArchiveWriter::objectItem(const std::string& className, std::int64_t version) const
{
    PlistDictionary item{{"$class", PlistValue(className)}, {"$version", PlistValue(version)},
                         {"$values", PlistValue(mValues)}};
    if (!mKeyedValues.empty())
        item.emplace("$keys", PlistValue(mKeyedValues));
    return PlistValue(std::move(item));
}

std::optional<PlistData> ArchiveWriter::sequentialData() const
{
    return binaryData(PlistValue(mValues), "sequential");
}

std::optional<PlistData> ArchiveWriter::keyedData() const
{
    return binaryData(PlistValue(mKeyedValues), "keyed");
}

} // namespace qm
