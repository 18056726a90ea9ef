#pragma once

#include "metadata/cIPTCRecord.h"
#include "parsers/cPhotoshopImageResource.h"

namespace qm {

// The IPTC-NAA resource (1028): its data is an IIM block, read into records and written back
// from them (sorted by record and dataset number); the stored bytes are not written.
class cPhotoshopIPTCImageResource : public cPhotoshopImageResource {
public:
    explicit cPhotoshopIPTCImageResource(std::uint16_t identifier = IPTCIdentifier);

    // The block at the stream's position with its records read from the data.
    static std::shared_ptr<cPhotoshopIPTCImageResource> initFromStream(simpleStream& stream);

    // Absent until read or set.
    const std::optional<IPTCRecordArray>& IPTCRecords() const { return mIPTCRecords; }
    void setIPTCRecords(std::optional<IPTCRecordArray> records) { mIPTCRecords = std::move(records); }

    void writeCustomizedDataToStream(simpleOutputStream& stream) const override;

    // Null unless this is resource 1028; a repeatable dataset gives its combined record.
    std::shared_ptr<cIPTCRecord> IPTCRecordByTag(std::uint8_t recordType, std::uint8_t dataSetNumber) const;
    // A new record whose text joins the texts of every matching record with ", ".
    std::shared_ptr<cIPTCRecord> repeatedIPTCRecordByTag(std::uint8_t recordType, std::uint8_t dataSetNumber) const;

protected:
    void readFromStream(simpleStream& stream, std::uint32_t end) override;

private:
    IPTCRecordArray recordsWithTag(std::uint8_t recordType, std::uint8_t dataSetNumber) const;

    std::optional<IPTCRecordArray> mIPTCRecords;
};

} // namespace qm
