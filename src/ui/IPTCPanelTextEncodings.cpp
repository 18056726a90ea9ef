#include "ui/IPTCPanelTextEncodings.h"

#include "foundation/ArchiveReader.h"
#include "foundation/UserDefaults.h"

namespace qm {

namespace {

constexpr const char* EncodingKey = "theEncoding";

std::optional<textEncoding> encodingOf(const PlistValue& item)
{
    const auto* entry = item.dictionary();
    const auto found = entry ? entry->find(EncodingKey) : PlistDictionary::const_iterator();
    if (!entry || found == entry->end() || !found->second.data())
        return std::nullopt;
    return unarchiveObject<textEncoding>(*found->second.data());
}

} // namespace

std::vector<textEncoding> IPTCPanelTextEncodings::unarchive(std::span<const std::uint8_t> data)
{
    std::vector<textEncoding> encodings;
    auto reader = ArchiveReader::sequential(data);
    const auto items = reader ? reader->decode() : std::nullopt;
    if (!items || !items->array())
        return encodings;
    for (const auto& item : *items->array())
        if (auto encoding = encodingOf(item))
            encodings.push_back(*encoding);
    return encodings;
}

std::optional<PlistData> IPTCPanelTextEncodings::archive(const std::vector<textEncoding>& encodings)
{
    PlistArray items;
    for (const auto& encoding : encodings) {
        const auto data = archivedData(encoding);
        items.push_back(PlistValue(PlistDictionary{{EncodingKey, PlistValue(data.value_or(PlistData{}))}}));
    }
    ArchiveWriter writer;
    writer.encode(PlistValue(std::move(items)));
    return writer.sequentialData();
}

IPTCPanelTextEncodings::IPTCPanelTextEncodings(UserDefaults& defaults, std::function<void()> changed)
    : mDefaults(defaults), mChanged(std::move(changed))
{
    load();
    mObservers.push_back(mDefaults.addObserver(ListKey, [this](const std::string&, const auto&) {
        reloadIPTCPanelTextEncodings();
    }));
    mObservers.push_back(mDefaults.addObserver(ModeKey, [this](const std::string&, const auto&) {
        if (mChanged)
            mChanged();
    }));
}

IPTCPanelTextEncodings::~IPTCPanelTextEncodings()
{
    for (const auto id : mObservers)
        mDefaults.removeObserver(id);
}

void IPTCPanelTextEncodings::load()
{
    const auto data = mDefaults.dataForKey(ListKey);
    mEncodings = data ? unarchive(*data) : std::vector<textEncoding>{};
}

void IPTCPanelTextEncodings::reloadIPTCPanelTextEncodings()
{
    load();
    if (mChanged)
        mChanged();
}

std::vector<textEncoding> IPTCPanelTextEncodings::arrangedObjects() const
{
    if (mDefaults.integerForKey(ModeKey) == 1)
        return textEncoding::allTextEncodings();
    return mEncodings;
}

} // namespace qm
