#include "metadata/cIPTCRecord.h"

#include <algorithm>
#include <atomic>

#include "foundation/Log.h"
#include "metadata/simpleOutputStream.h"
#include "metadata/simpleStream.h"

namespace qm {

namespace {

constexpr std::uint32_t HeaderSize = 5;

std::atomic<int>& captionModeStorage()
{
    static std::atomic<int> mode{0};
    return mode;
}

struct DatasetHeader {
    std::uint8_t tag;
    std::uint8_t recordType;
    std::uint8_t dataSet;
    std::uint16_t length; // big-endian in the block
};

DatasetHeader readHeader(simpleStream& stream)
{
    DatasetHeader header{};
    header.tag = stream.readUInt8();
    header.recordType = stream.readUInt8();
    header.dataSet = stream.readUInt8();
    const std::uint8_t high = stream.readUInt8();
    const std::uint8_t low = stream.readUInt8();
    header.length = static_cast<std::uint16_t>(high << 8 | low);
    return header;
}

cIPTCRecord::Bytes readData(simpleStream& stream, std::uint32_t length)
{
    cIPTCRecord::Bytes bytes(length);
    bytes.resize(stream.readBytes(bytes.data(), length));
    return bytes;
}

} // namespace

cIPTCRecord::cIPTCRecord() = default;

cIPTCRecord::cIPTCRecord(std::uint8_t recordType, std::uint8_t dataSetNumber, std::optional<Bytes> data)
    : mIPTCcode(recordType, dataSetNumber), mData(std::move(data))
{
}

std::shared_ptr<cIPTCRecord> cIPTCRecord::initFromStream(simpleStream& stream)
{
    const DatasetHeader header = readHeader(stream);
    return std::make_shared<cIPTCRecord>(header.recordType, header.dataSet, readData(stream, header.length));
}

IPTCRecordArray cIPTCRecord::IPTCRecordsFromStream(simpleStream& stream, std::uint32_t maxBytes)
{
    IPTCRecordArray records;
    std::uint64_t position = stream.streamPosition();
    while (position + 1 < maxBytes && position + HeaderSize <= maxBytes && stream.remainingByteCount() >= HeaderSize) {
        const DatasetHeader header = readHeader(stream);
        if (header.tag != TagMarker || (header.length & 0x8000) != 0)
            break;
        // A dataset never reaches past the end of its block.
        const std::uint64_t available = maxBytes > position + HeaderSize ? maxBytes - position - HeaderSize : 0;
        const auto length = static_cast<std::uint32_t>(std::min<std::uint64_t>(header.length, available));
        records.push_back(std::make_shared<cIPTCRecord>(header.recordType, header.dataSet, readData(stream, length)));
        // An empty dataset is a dataset like any other: the block goes on after it.
        position += HeaderSize + header.length;
    }
    const bool markedUTF8 = std::any_of(records.begin(), records.end(),
                                        [](const auto& record) { return record->isUTF8EncodingMarker(); });
    if (markedUTF8)
        for (auto& record : records)
            record->setTextEncoding(Encoding::UTF8);
    return records;
}

bool cIPTCRecord::writeBytes(simpleOutputStream& stream, const Bytes& bytes) const
{
    if (bytes.size() > MaximumDataLength) {
        Log::format("cIPTCRecord: %s holds %zu bytes, more than a dataset can, and is not written",
                    mIPTCcode.description().c_str(), bytes.size());
        return false;
    }
    const auto length = static_cast<std::uint16_t>(bytes.size());
    const std::uint8_t header[HeaderSize] = {TagMarker,
                                             static_cast<std::uint8_t>(mIPTCcode.recordType().value_or(0)),
                                             static_cast<std::uint8_t>(mIPTCcode.dataSetCode().value_or(0)),
                                             static_cast<std::uint8_t>(length >> 8),
                                             static_cast<std::uint8_t>(length & 0xFF)};
    stream.writeBytes(header, HeaderSize);
    if (!bytes.empty())
        stream.writeBytes(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return true;
}

bool cIPTCRecord::writeToStream(simpleOutputStream& stream) const
{
    return writeBytes(stream, mData.value_or(Bytes{}));
}

bool cIPTCRecord::writeToStream(simpleOutputStream& stream, StringEncoding encoding) const
{
    if (mIPTCcode.recordType() == 0)
        return true;
    auto bytes = bytesForWriting(encoding);
    if (!bytes) {
        Log::format("cIPTCRecord: %s cannot be written in encoding %u, and is not written",
                    mIPTCcode.description().c_str(), encoding);
        return false;
    }
    return writeBytes(stream, *bytes);
}

std::optional<cIPTCRecord::Bytes> cIPTCRecord::bytesForWriting(StringEncoding encoding) const
{
    const Bytes raw = mData.value_or(Bytes{});
    const auto dataSet = mIPTCcode.dataSetCode().value_or(0);
    const bool isText = mIPTCcode.recordType() == 2 && dataSet >= 1 && dataSet <= 185 && dataSet != 125;
    if (!isText || raw.empty())
        return raw;
    auto text = StringEncodings::decode(raw, mTextEncoding);
    if (!text)
        return std::nullopt;
    return StringEncodings::encode(*text, encoding);
}

bool cIPTCRecord::isUTF8EncodingMarker() const
{
    return mIPTCcode.recordType() == 1 && mIPTCcode.dataSetCode() == 90 && mData == UTF8MarkerData();
}

const cIPTCRecord::Bytes& cIPTCRecord::UTF8MarkerData()
{
    static const Bytes marker{0x1B, 0x25, 0x47};
    return marker;
}

int cIPTCRecord::captionMode()
{
    return captionModeStorage().load();
}

void cIPTCRecord::setCaptionMode(int mode)
{
    captionModeStorage().store(mode);
}

std::string cIPTCRecord::description() const
{
    return "Record " + mIPTCcode.description() + " | " + dataAsFormattedString();
}

void cIPTCRecord::encodeWithCoder(ArchiveWriter& coder) const
{
    coder.encodeObject("iptcCode", mIPTCcode);
    if (mData)
        coder.encode("data", PlistValue(*mData));
    coder.encode("textEncoding", PlistValue(static_cast<std::int64_t>(mTextEncoding)));
}

std::shared_ptr<cIPTCRecord> cIPTCRecord::initWithCoder(ArchiveReader& coder)
{
    auto code = coder.decodeObject<cIPTCCode>("iptcCode");
    auto encoding = coder.decodeInteger("textEncoding");
    if (!code || !encoding)
        return nullptr;
    auto record = std::make_shared<cIPTCRecord>();
    record->setIPTCcode(*code);
    record->setData(coder.decodeData("data"));
    record->setTextEncoding(static_cast<StringEncoding>(*encoding));
    return record;
}

} // namespace qm
