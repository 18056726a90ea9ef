#pragma once

#include <optional>

#include "metadata/cIPTCRecord.h"
#include "parsers/cIFDEntry.h"

namespace qm {

// The entry of tag 33723, an IPTC IIM block. Its value is kept as one data object whatever its
// declared type; the records are read from it when it is declared UNDEFINED, ASCII, BYTE or LONG
// (the types writers use for it, LONG counting the block in 4-byte units).
class cIPTCIFDEntry : public cIFDEntry {
public:
    // Absent when the entry's value could not be read as an IIM block.
    const std::optional<IPTCRecordArray>& IPTCRecords() const { return mIPTCRecords; }
    void setIPTCRecords(std::optional<IPTCRecordArray> records) { mIPTCRecords = std::move(records); }

protected:
    std::uint16_t decodingType(std::uint16_t) const override { return IFDTypeUNDEFINED; }
    void readReferencedData(simpleStream& stream, IFDWalk& walk) override;

private:
    std::optional<IPTCRecordArray> mIPTCRecords;
};

} // namespace qm
