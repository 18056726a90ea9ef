#include "AlternateEncodingSpecs.h"

#include "foundation/ArchiveReader.h"
#include "foundation/UserDefaults.h"
#include "metadata/textEncoding.h"

namespace qm {

namespace {

cIPTCRecord::EncodingSpec specFrom(const PlistValue& entry)
{
    const PlistValue* search = entry.find("search");
    const PlistValue* archived = entry.find("encoding");
    const auto encoding = archived && archived->data() ? unarchiveObject<textEncoding>(*archived->data()) : std::nullopt;
    return {search && search->string() ? *search->string() : std::string(),
            encoding ? encoding->rawEncoding() : Encoding::MacOSRoman};
}

} // namespace

std::vector<cIPTCRecord::EncodingSpec> AlternateEncodingSpecs::load(const UserDefaults& defaults)
{
    std::vector<cIPTCRecord::EncodingSpec> specs;
    for (const auto& entry : defaults.arrayForKey(Key).value_or(PlistArray{}))
        specs.push_back(specFrom(entry));
    return specs;
}

void AlternateEncodingSpecs::store(UserDefaults& defaults, const std::vector<cIPTCRecord::EncodingSpec>& specs)
{
    PlistArray entries;
    for (const auto& spec : specs)
        entries.push_back(PlistValue(PlistDictionary{
            {"search", PlistValue(spec.search)},
            {"encoding", PlistValue(archivedData(textEncoding(spec.encoding)).value_or(PlistData{}))}}));
    defaults.setObject(Key, PlistValue(std::move(entries)));
}

} // namespace qm
