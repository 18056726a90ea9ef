#include "parsers/cIFD.h"

#include "foundation/Log.h"
#include "metadata/simpleOutputStream.h"
#include "metadata/simpleStream.h"
#include "parsers/QMMetadataParser_TIFF.h"

namespace qm {

namespace {
// Roughly what a directory object takes besides its entries.
constexpr std::uint64_t IFDCost = sizeof(cIFD) + 64;
} // namespace

std::shared_ptr<cIFD> cIFD::initFromStream(simpleStream& stream, bool fileIsBigEndian,
                                           std::uint32_t tiffHeaderOffsetFromStartOfFile)
{
    IFDWalk walk(fileIsBigEndian, tiffHeaderOffsetFromStartOfFile);
    return initFromStream(stream, walk);
}

std::shared_ptr<cIFD> cIFD::initFromStream(simpleStream& stream, IFDWalk& walk)
{
    const std::uint32_t position = stream.streamPosition();
    if (stream.remainingByteCount() < 2 || position < walk.headerOffset || !walk.spend(IFDCost))
        return nullptr;
    auto ifd = std::make_shared<cIFD>();
    ifd->mOffset = position - walk.headerOffset;
    ifd->mDeclaredEntryCount = QMMetadataParser_TIFF::byteswapToHost(stream.readUInt16(), walk.bigEndian);
    for (std::uint32_t index = 0; index < ifd->mDeclaredEntryCount; ++index) {
        auto entry = cIFDEntry::initFromStream(stream, walk);
        if (!entry)
            break;
        ifd->mIFDentries.push_back(std::move(entry));
    }
    if (!ifd->isComplete())
        Log::format("cIFD: the directory at %u holds %zu of its %u entries", ifd->mOffset, ifd->IFDEntryCount(),
                    unsigned(ifd->mDeclaredEntryCount));
    return ifd;
}

std::shared_ptr<cIFD> cIFD::readAtOffset(simpleStream& stream, std::uint32_t offset, IFDWalk& walk)
{
    const auto position = walk.positionOf(offset);
    if (!position || *position >= stream.streamByteCount()) {
        Log::format("cIFD: no directory at offset %u, outside the stream", offset);
        return nullptr;
    }
    if (!walk.visitedIFDs.insert(*position).second) {
        Log::format("cIFD: the directory at offset %u was read already", offset);
        return nullptr;
    }
    if (!stream.setStreamPosition(*position))
        return nullptr;
    return initFromStream(stream, walk);
}

std::shared_ptr<cIFDEntry> cIFD::IFDEntryByTag(std::uint16_t tag) const
{
    for (const auto& entry : mIFDentries)
        if (entry->tag() == tag)
            return entry;
    return nullptr;
}

void cIFD::writeToStream(simpleOutputStream& stream, bool bigEndian) const
{
    const auto count = QMMetadataParser_TIFF::byteswapFromHost(static_cast<std::uint16_t>(mIFDentries.size()), bigEndian);
    stream.writeBytes(&count, sizeof count);
    for (const auto& entry : mIFDentries)
        entry->writeToStream(stream, bigEndian);
}

} // namespace qm
