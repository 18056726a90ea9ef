#include "parsers/cIPTCIFDEntry.h"

#include "foundation/Log.h"
#include "metadata/simpleDataStream.h"

namespace qm {

namespace {

bool holdsIIM(std::uint16_t declaredType)
{
    return declaredType == IFDTypeUNDEFINED || declaredType == IFDTypeASCII || declaredType == IFDTypeBYTE ||
           declaredType == IFDTypeLONG;
}

// Roughly what one record object takes besides its bytes.
constexpr std::uint64_t RecordCost = sizeof(cIPTCRecord) + 64;

} // namespace

void cIPTCIFDEntry::readReferencedData(simpleStream&, IFDWalk& walk)
{
    if (!holdsIIM(type()) || !parsedObjects() || parsedObjects()->empty() || !parsedObjects()->front().data())
        return;
    const PlistData& block = *parsedObjects()->front().data();
    if (!walk.spend(block.size())) {
        Log::format("cIPTCIFDEntry: an IPTC block of %zu bytes is more than this file may take; not read", block.size());
        return;
    }
    simpleDataStream stream(std::make_shared<const PlistData>(block));
    IPTCRecordArray records = cIPTCRecord::IPTCRecordsFromStream(stream, stream.streamByteCount());
    if (!walk.spend(records.size() * RecordCost)) {
        Log::format("cIPTCIFDEntry: %zu IPTC records are more than this file may take; not kept", records.size());
        return;
    }
    mIPTCRecords = std::move(records);
}

} // namespace qm
