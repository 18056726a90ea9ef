// IIM dataset blocks: reading, formatting every dataset's text, and writing the datasets back,
// which must give the same datasets when read again.
#include "FuzzSupport.h"

#include "metadata/cIPTCRecord.h"
#include "metadata/simpleDataStream.h"
#include "metadata/simpleOutputStream.h"

namespace {

using namespace qm;

IPTCRecordArray recordsOf(simpleStream& stream)
{
    return cIPTCRecord::IPTCRecordsFromStream(stream, stream.streamByteCount());
}

bool sameDataset(const cIPTCRecord& a, const cIPTCRecord& b)
{
    return a.IPTCcode().recordType() == b.IPTCcode().recordType() &&
           a.IPTCcode().dataSetCode() == b.IPTCcode().dataSetCode() &&
           a.data().value_or(cIPTCRecord::Bytes{}) == b.data().value_or(cIPTCRecord::Bytes{});
}

void checkRoundTrip(const IPTCRecordArray& records)
{
    simpleOutputStream written(0);
    for (const auto& record : records)
        fuzz::require(record->writeToStream(written), "a dataset read from a block can be written");
    simpleStream reread(written.basePtr(), written.streamPosition(), false);
    const IPTCRecordArray again = recordsOf(reread);
    fuzz::require(again.size() == records.size(), "the written block holds as many datasets");
    for (std::size_t index = 0; index < records.size(); ++index)
        fuzz::require(sameDataset(*records[index], *again[index]), "the written block holds the same datasets");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    simpleDataStream stream(fuzz::dataOf(bytes, size));
    const IPTCRecordArray records = recordsOf(stream);
    simpleOutputStream converted(0);
    for (const auto& record : records) {
        record->dataAsFormattedString();
        record->dataAsFormattedStringWithEncoding(Encoding::UTF8);
        record->writeToStream(converted, Encoding::UTF8);
    }
    checkRoundTrip(records);
    return 0;
}
