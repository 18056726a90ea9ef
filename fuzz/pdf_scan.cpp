// Any file scanned for an XMP packet: the packet found is UTF-8 text that starts with the
// metadata element and has no white space at its ends.
#include "FuzzSupport.h"

#include <cctype>

#include "foundation/StringEncodings.h"
#include "metadata/simpleDataStream.h"
#include "parsers/QMMetadataParser_PDF.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    using namespace qm;
    simpleDataStream stream(fuzz::dataOf(bytes, size));
    const auto packet = QMMetadataParser_PDF::extractXMPFromArbitraryStream(stream);
    if (!packet)
        return 0;
    const auto* text = reinterpret_cast<const std::uint8_t*>(packet->data());
    fuzz::require(StringEncodings::isValidUTF8({text, packet->size()}), "the packet is UTF-8");
    fuzz::require(packet->starts_with("<x:xmpmeta") || packet->starts_with("<x:xapmeta"),
                  "the packet starts with the metadata element");
    fuzz::require(!std::isspace(static_cast<unsigned char>(packet->back())), "the packet's end is trimmed");
    return 0;
}
