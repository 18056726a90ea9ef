#include "parsers/QMMetadataParser.h"

#include <cstdio>

#include "foundation/Bundle.h"
#include "foundation/Log.h"
#include "foundation/ReadOnlyFile.h"
#include "metadata/simpleInputFileStream.h"
#include "parsers/XMPtoIPTCconverter.h"

namespace qm {

namespace {

std::string formatted(const std::string& pattern, const std::string& argument)
{
    std::string result = pattern;
    if (auto at = result.find("%@"); at != std::string::npos)
        result.replace(at, 2, argument);
    return result;
}

} // namespace

QMMetadataParser::QMMetadataParser(std::filesystem::path path) : mPath(std::move(path)) {}

QMMetadataParser::~QMMetadataParser() = default;

// A file is usable when it could be opened as a regular file and no other process holds an
// exclusive lock on it (the file is busy being written).
bool QMMetadataParser::isFileUsable(const ReadOnlyFile& file)
{
    return file.isOpen() && !file.isLockedForWriting();
}

bool QMMetadataParser::parseImage(Error* error)
{
    ReadOnlyFile file(mPath);
    return parseImage(file, error);
}

bool QMMetadataParser::parseImage(ReadOnlyFile& file, Error* error)
{
    mParseable = false;
    bool result = false;
    if (isFileUsable(file)) {
        result = parseImageFile(file, error);
        mParseable = true;
    } else if (error) {
        const Bundle& bundle = Bundle::main();
        *error = Error{GeneralErrorDomain, -1,
                       formatted(bundle.localizedString("Bildfilen \"%@\" kan inte öppnas."), mPath.filename().string()),
                       bundle.localizedString("Bildfilen kanske är öppen i ett annat program.")};
    }
    mParsed = true;
    for (const char* key : {"IPTCRecords", "XMP"}) {
        willChangeValueForKey(key);
        didChangeValueForKey(key);
    }
    return result;
}

bool QMMetadataParser::parseImageFile(ReadOnlyFile&, Error* error)
{
    simpleInputFileStream stream(mPath);
    return parseImageStream(stream, error);
}

std::size_t QMMetadataParser::heldByteCount() const
{
    std::size_t bytes = sizeof(*this) + mPath.native().size();
    for (const auto& record : IPTCRecords().value_or(IPTCRecordArray{}))
        bytes += sizeof(cIPTCRecord) + (record->data() ? record->data()->size() : 0);
    if (auto packet = XMP())
        bytes += packet->size();
    if (auto thumbnail = cachedThumbnail())
        bytes += thumbnail->pixels.size();
    return bytes;
}

std::shared_ptr<cPhotoshopImageResource> QMMetadataParser::photoshopImageResourceByID(std::uint16_t) const
{
    return nullptr;
}

std::optional<IPTCRecordArray> QMMetadataParser::IPTCRecordsWithEncoding(StringEncoding encoding)
{
    auto records = IPTCRecords();
    if (!records)
        return std::nullopt;
    for (auto& record : *records)
        record->setTextEncoding(encoding);
    return records;
}

IPTCRecordArray QMMetadataParser::IPTCRecordArrayWithDefaultEncoding(
    StringEncoding defaultEncoding, const std::vector<cIPTCRecord::EncodingSpec>& specs, bool respectUTF8Marker) const
{
    const IPTCRecordArray records = IPTCRecords().value_or(IPTCRecordArray{});
    const StringEncoding encoding =
        cIPTCRecord::guessStringEncodingOfIPTCRecords(records, defaultEncoding, specs, respectUTF8Marker);
    IPTCRecordArray copies;
    for (const auto& record : records) {
        auto copy = std::make_shared<cIPTCRecord>(static_cast<std::uint8_t>(record->IPTCcode().recordType().value_or(0)),
                                                  static_cast<std::uint8_t>(record->IPTCcode().dataSetCode().value_or(0)),
                                                  record->data());
        copy->setTextEncoding(encoding);
        copies.push_back(std::move(copy));
    }
    return copies;
}

IPTCRecordArray QMMetadataParser::IPTCRecordsByRecordType(std::uint8_t recordType, std::uint8_t dataSet) const
{
    IPTCRecordArray matching;
    for (const auto& record : IPTCRecords().value_or(IPTCRecordArray{}))
        if (record->IPTCcode().recordType() == recordType && record->IPTCcode().dataSetCode() == dataSet)
            matching.push_back(record);
    return matching;
}

std::shared_ptr<cIPTCRecord> QMMetadataParser::IPTCRecordByRecordType(std::uint8_t recordType,
                                                                      std::uint8_t dataSet) const
{
    auto matching = IPTCRecordsByRecordType(recordType, dataSet);
    return matching.empty() ? nullptr : matching.front();
}

std::shared_ptr<cIPTCRecord> QMMetadataParser::repeatedIPTCRecordByRecordType(std::uint8_t recordType,
                                                                              std::uint8_t dataSet) const
{
    std::string joined;
    StringEncoding encoding = 0;
    bool first = true;
    for (const auto& record : IPTCRecordsByRecordType(recordType, dataSet)) {
        joined += (first ? "" : ", ") + record->dataAsFormattedString();
        encoding = record->textEncoding();
        first = false;
    }
    auto combined = std::make_shared<cIPTCRecord>();
    combined->setIPTCcode(cIPTCCode(recordType, dataSet));
    combined->setTextEncoding(encoding);
    combined->setDataFromString(joined);
    return combined;
}

std::shared_ptr<cIPTCRecord> QMMetadataParser::IPTCRecordByCode(const cIPTCCode& code) const
{
    return IPTCRecordByRecordType(static_cast<std::uint8_t>(code.recordType().value_or(0)),
                                  static_cast<std::uint8_t>(code.dataSetCode().value_or(0)));
}

std::shared_ptr<cIPTCRecord> QMMetadataParser::repeatedIPTCRecordByCode(const cIPTCCode& code) const
{
    return repeatedIPTCRecordByRecordType(static_cast<std::uint8_t>(code.recordType().value_or(0)),
                                          static_cast<std::uint8_t>(code.dataSetCode().value_or(0)));
}

std::optional<IPTCRecordArray> QMMetadataParser::IPTCRecordsFromXMP() const
{
    auto packet = XMP();
    if (!packet)
        return std::nullopt;
    return XMPtoIPTCconverter::XMPToIPTCRecordArray(*packet);
}

bool QMMetadataParser::updateXMPForIPTCRecord(const cIPTCRecord& record)
{
    auto packet = XMP();
    if (!packet) {
        setXMP(std::nullopt);
        return false;
    }
    setXMP(XMPtoIPTCconverter::updateXMP(*packet, record));
    return true;
}

std::optional<PlistDictionary> QMMetadataParser::CoreGraphicsMetadata() const
{
    auto source = ImageLibrary::current()->openImageSource(mPath);
    return source ? source->properties() : std::nullopt;
}

} // namespace qm
