#include "textgen/PublicationStore.h"

#include "foundation/ArchiveReader.h"
#include "foundation/Log.h"
#include "foundation/UserDefaults.h"

namespace qm {

std::optional<PlistData> PublicationStore::archivedPublications(const Publications& publications)
{
    ArchiveWriter writer;
    writer.encode(ArchiveWriter::items(publications));
    return writer.sequentialData();
}

std::optional<PublicationStore::Publications> PublicationStore::publicationsFromArchive(const PlistData& data)
{
    auto reader = ArchiveReader::sequential(data);
    const auto items = reader ? reader->decode() : std::nullopt;
    if (!items || !items->array())
        return std::nullopt;
    return ArchiveReader::objectsOf<quillmarkPublication>(items);
}

PublicationStore::Publications PublicationStore::publications(const UserDefaults& defaults)
{
    const auto data = defaults.dataForKey(PublicationsKey);
    if (!data)
        return {};
    auto publications = publicationsFromArchive(*data);
    if (!publications) {
        Log::format("publications: the stored publication list cannot be read");
        return {};
    }
    return std::move(*publications);
}

bool PublicationStore::setPublications(const Publications& publications, UserDefaults& defaults)
{
    auto data = archivedPublications(publications);
    if (!data) {
        Log::format("publications: the publication list cannot be archived");
        return false;
    }
    return defaults.setObject(PublicationsKey, std::move(*data));
}

quillmarkPublication::Pointer PublicationStore::currentPublication(const Publications& publications,
                                                                   const UserDefaults& defaults)
{
    const std::int64_t index = defaults.integerForKey(CurrentPublicationIndexKey);
    if (index < 0 || static_cast<std::size_t>(index) >= publications.size())
        return nullptr;
    return publications[static_cast<std::size_t>(index)];
}

} // namespace qm
