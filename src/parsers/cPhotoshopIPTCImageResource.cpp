#include "parsers/cPhotoshopIPTCImageResource.h"

#include <algorithm>

#include "metadata/cIPTCCode.h"
#include "metadata/simpleDataStream.h"
#include "metadata/simpleOutputStream.h"

namespace qm {

cPhotoshopIPTCImageResource::cPhotoshopIPTCImageResource(std::uint16_t identifier)
    : cPhotoshopImageResource(identifier)
{
}

std::shared_ptr<cPhotoshopIPTCImageResource> cPhotoshopIPTCImageResource::initFromStream(simpleStream& stream)
{
    auto resource = std::make_shared<cPhotoshopIPTCImageResource>();
    resource->readFromStream(stream, stream.streamByteCount());
    return resource;
}

void cPhotoshopIPTCImageResource::readFromStream(simpleStream& stream, std::uint32_t end)
{
    cPhotoshopImageResource::readFromStream(stream, end);
    simpleDataStream records(std::make_shared<const Bytes>(data()));
    mIPTCRecords = cIPTCRecord::IPTCRecordsFromStream(records, records.streamByteCount());
}

// Records of the same dataset keep their order (keywords, say).
void cPhotoshopIPTCImageResource::writeCustomizedDataToStream(simpleOutputStream& stream) const
{
    IPTCRecordArray sorted = mIPTCRecords.value_or(IPTCRecordArray{});
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return cIPTCRecord::compareIPTCNumbers(*a, *b) < 0;
    });
    for (const auto& record : sorted)
        record->writeToStream(stream);
}

IPTCRecordArray cPhotoshopIPTCImageResource::recordsWithTag(std::uint8_t recordType, std::uint8_t dataSetNumber) const
{
    IPTCRecordArray matching;
    for (const auto& record : mIPTCRecords.value_or(IPTCRecordArray{}))
        if (record->IPTCcode().recordType() == recordType && record->IPTCcode().dataSetCode() == dataSetNumber)
            matching.push_back(record);
    return matching;
}

std::shared_ptr<cIPTCRecord> cPhotoshopIPTCImageResource::IPTCRecordByTag(std::uint8_t recordType,
                                                                           std::uint8_t dataSetNumber) const
{
    if (identifier() != IPTCIdentifier)
        return nullptr;
    if (cIPTCCode::isRepeatableIPTCCode(recordType, dataSetNumber))
        return repeatedIPTCRecordByTag(recordType, dataSetNumber);
    const auto matching = recordsWithTag(recordType, dataSetNumber);
    return matching.empty() ? nullptr : matching.front();
}

// The combined record keeps the encoding a new record starts with.
std::shared_ptr<cIPTCRecord> cPhotoshopIPTCImageResource::repeatedIPTCRecordByTag(std::uint8_t recordType,
                                                                                   std::uint8_t dataSetNumber) const
{
    auto combined = std::make_shared<cIPTCRecord>();
    if (identifier() != IPTCIdentifier)
        return combined;
    std::string joined;
    const char* separator = "";
    for (const auto& record : recordsWithTag(recordType, dataSetNumber)) {
        joined += separator + record->dataAsFormattedString();
        separator = ", ";
    }
    combined->setIPTCcode(cIPTCCode(recordType, dataSetNumber));
    combined->setDataFromString(joined);
    return combined;
}

} // namespace qm
