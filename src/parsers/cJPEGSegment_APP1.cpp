#include "parsers/cJPEGSegment_APP1.h"

#include "parsers/XMPPacketText.h"

#include <algorithm>

#include "metadata/simpleDataStream.h"
#include "parsers/QMMetadataParser_TIFF.h"

namespace qm {

namespace {
constexpr char StandardXMPIdentifier[] = "http://ns.adobe.com/xap/1.0/";
static_assert(sizeof StandardXMPIdentifier == cJPEGSegment_APP1::XMPIdentifierSize);
} // namespace

// Only the TIFF header is looked at now; the structure is read from a copy of the payload when
// asked for, so its offsets cannot reach outside the segment.
void cJPEGSegment_APP1::readFromStream(simpleStream& stream)
{
    cJPEGSegment::readFromStream(stream);
    mExifPayload.reset();
    mTIFFparser.reset();
    auto payload = std::make_shared<const Bytes>(data());
    simpleDataStream header(payload);
    if (header.setStreamPosition(std::min(TIFFHeaderOffset, header.streamByteCount())) &&
        QMMetadataParser::isTIFF(header))
        mExifPayload = std::move(payload);
}

const std::shared_ptr<QMMetadataParser_TIFF>& cJPEGSegment_APP1::TIFFparser() const
{
    const std::lock_guard lock(mTIFFparserMutex);
    if (mExifPayload && !mTIFFparser) {
        simpleDataStream payload(mExifPayload);
        payload.setStreamPosition(TIFFHeaderOffset);
        mTIFFparser = QMMetadataParser_TIFF::initFromStream(payload);
        mTIFFparser->parseImageStreamAtTiffHeader(payload, TIFFHeaderOffset);
    }
    return mTIFFparser;
}

bool cJPEGSegment_APP1::hasXMPIdentifier() const
{
    return hasXMP() && segmentLength() >= XMPIdentifierSize &&
           std::equal(StandardXMPIdentifier, StandardXMPIdentifier + XMPIdentifierSize, data().begin());
}

std::optional<std::string> cJPEGSegment_APP1::XMP() const
{
    if (!hasXMP() || segmentLength() < XMPIdentifierSize)
        return std::nullopt;
    const std::span<const std::uint8_t> packet(data());
    return XMPPacketText::decode(packet.subspan(XMPIdentifierSize));
}

bool cJPEGSegment_APP1::setXMP(const std::optional<std::string>& packet)
{
    if (!hasXMP())
        return false;
    Bytes payload = segmentLength() >= XMPIdentifierSize
                        ? Bytes(data().begin(), data().begin() + XMPIdentifierSize)
                        : Bytes(StandardXMPIdentifier, StandardXMPIdentifier + XMPIdentifierSize);
    if (packet)
        payload.insert(payload.end(), packet->begin(), packet->end());
    setData(std::move(payload));
    return true;
}

} // namespace qm
