// TIFF files: the directory chain, the IPTC records and the XMP packet, which are then stored
// back into their entries.
#include "FuzzSupport.h"

#include "metadata/simpleDataStream.h"
#include "parsers/QMMetadataParser_TIFF.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    using namespace qm;
    simpleDataStream stream(fuzz::dataOf(bytes, size));
    QMMetadataParser_TIFF parser("fuzzed.tif");
    parser.parseImageStream(stream, nullptr);
    parser.structureSummary();
    const auto records = parser.IPTCRecords();
    if (records)
        for (const auto& record : *records)
            record->dataAsFormattedString();
    parser.setIPTCRecords(records);
    parser.setXMP(parser.XMP());
    return 0;
}
