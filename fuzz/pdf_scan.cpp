// Any file scanned for an XMP packet: the packet found is UTF-8 text that starts with the
// metadata element and has no white space at its ends; and a scan in chunks of any size finds
// the markers where one search over the whole input does.
#include "FuzzSupport.h"

#include <cctype>
#include <string_view>

#include "foundation/StringEncodings.h"
#include "metadata/StreamScanner.h"
#include "metadata/simpleDataStream.h"
#include "parsers/QMMetadataParser_PDF.h"

namespace {

void requireChunkedScanFindsWhatOneSearchFinds(qm::simpleStream& stream, std::string_view input)
{
    const std::size_t chunkSize = input.empty() ? 1 : 1 + static_cast<unsigned char>(input.front()) % 64;
    qm::StreamScanner scanner(stream, chunkSize);
    const std::string_view markers[] = {"<?xpacket begin=", "<?xpacket end="};
    const auto found = scanner.findFirst(markers, 0);
    for (std::size_t index = 0; index < std::size(markers); ++index) {
        const auto expected = input.find(markers[index]);
        qm::fuzz::require(found[index] == (expected == std::string_view::npos ? std::nullopt
                                                                                : std::optional<std::uint64_t>(expected)),
                          "a chunked scan finds each marker's first occurrence");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    using namespace qm;
    simpleDataStream stream(fuzz::dataOf(bytes, size));
    requireChunkedScanFindsWhatOneSearchFinds(stream, {reinterpret_cast<const char*>(bytes), size});
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
