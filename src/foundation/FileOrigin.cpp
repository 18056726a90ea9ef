#include "foundation/FileOrigin.h"

#include "foundation/Log.h"

namespace qm {

FileOrigin::FileOrigin(std::filesystem::path path, FileIdentity identity)
    : mPath(std::move(path)), mIdentity(identity)
{
}

std::optional<std::vector<std::uint8_t>> FileOrigin::read(std::uint64_t offset, std::uint32_t byteCount) const
{
    const ReadOnlyFile file(mPath);
    if (!file.isOpen() || !(file.identity() == mIdentity)) {
        Log::format("FileOrigin: %s has changed since it was read", mPath.c_str());
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(byteCount);
    if (file.readAt(offset, bytes) != byteCount) {
        Log::format("FileOrigin: %s holds fewer than %u bytes at offset %ju", mPath.c_str(), byteCount,
                    static_cast<std::uintmax_t>(offset));
        return std::nullopt;
    }
    return bytes;
}

} // namespace qm
