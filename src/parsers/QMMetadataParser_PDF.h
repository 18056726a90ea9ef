#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "parsers/QMMetadataParser.h"

namespace qm {

// Reads PDF, Illustrator and EPS files by searching their bytes for an uncompressed XMP packet,
// without understanding the file's structure; the IPTC records are converted from the packet.
class QMMetadataParser_PDF : public QMMetadataParser {
public:
    // A longer packet is refused rather than read into memory.
    static constexpr std::uint32_t MaximumPacketSize = 64 * 1024 * 1024;

    using QMMetadataParser::QMMetadataParser;

    const char* className() const override { return "QMMetadataParser_PDF"; }
    // {"packetStart", "packetEnd"}: the offsets of the metadata element and of the packet's end
    // marker; null when the file holds no packet.
    PlistValue structureSummary() const override;

    // The metadata element of the file's first XMP packet, trimmed of surrounding white space;
    // absent when there is none, when it is not UTF-8 or when it is longer than maxPacketSize.
    static std::optional<std::string> extractXMPFromArbitraryStream(simpleStream& stream,
                                                                    std::uint32_t maxPacketSize = MaximumPacketSize);
    // Always true: a file without a packet simply has no XMP and no records.
    bool parseImageStream(simpleStream& stream, Error* error) override;

    std::optional<IPTCRecordArray> IPTCRecords() const override;
    void setIPTCRecords(std::optional<IPTCRecordArray> records) override;
    std::optional<std::string> XMP() const override;
    void setXMP(std::optional<std::string> packet) override;

    bool writesBypassingCoreGraphics() const override { return true; }
    // Refuses: the format is not written.
    bool updateFileToURLBypassingCoreGraphics(const std::filesystem::path& target, Error* error) override;

private:
    struct PacketLocation {
        std::uint64_t start; // the metadata element
        std::uint64_t end;   // the end marker
    };
    static std::optional<PacketLocation> locatePacket(simpleStream& stream);
    static std::optional<std::string> readPacket(simpleStream& stream, PacketLocation location,
                                                 std::uint32_t maxPacketSize);

    mutable std::mutex mMutex;
    std::optional<std::string> mXMP;
    std::optional<IPTCRecordArray> mIPTCRecords;
    std::optional<PacketLocation> mPacketLocation;
};

} // namespace qm
