// Photoshop image resource blocks, alone (as in a JPEG's APP13 segment) and inside a Photoshop
// document; every block read is written again.
#include "FuzzSupport.h"

#include "metadata/simpleDataStream.h"
#include "metadata/simpleOutputStream.h"
#include "parsers/QMMetadataParser_PSD.h"
#include "parsers/cPhotoshopImageResource.h"

namespace {

using namespace qm;

void writeAll(const cPhotoshopImageResource::ResourceArray& resources)
{
    simpleOutputStream written(0);
    for (const auto& resource : resources)
        resource->writeToStream(written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const auto data = fuzz::dataOf(bytes, size);
    simpleDataStream segment(data);
    writeAll(cPhotoshopImageResource::readPhotoshopImageResources(segment, segment.streamByteCount()));
    simpleDataStream document(data);
    if (const auto resources = QMMetadataParser_PSD::readImageResourcesFromPhotoshopFile(document))
        writeAll(*resources);
    return 0;
}
