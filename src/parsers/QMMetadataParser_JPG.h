#pragma once

#include <vector>

#include "parsers/QMMetadataParser.h"
#include "parsers/cJPEGSegment.h"

namespace qm {

class cAPP13_Segment;
class cJPEGSegment_APP1;

// The parser of JPEG files. It reads the marker segments from after the start-of-image marker up
// to and including the first start-of-scan header; the compressed image data after it is never
// read, and a rewrite copies it from the file. From a file it reads the head and then small
// blocks, stepping over payloads that no segment class reads (tables, profiles) unless they lie
// in bytes read anyway; a rewrite reads those from the file. IPTC records come from Photoshop resource 1028 in
// the resource stream of the APP13 segments with the Photoshop identification (joined in file
// order), else of the first APP13 segment; the XMP packet from the APP1 segment with the XMP
// identifier, else from the first APP1 segment that is not Exif when it holds a packet, else
// from resource 1060, else from resource 1002 of those resources.
class QMMetadataParser_JPG : public QMMetadataParser {
public:
    using SegmentArray = std::vector<std::shared_ptr<cJPEGSegment>>;

    // Reading stops after this many segments; the rest of the file is left as it is.
    static constexpr std::size_t MostSegments = 65536;
    // What a read beyond the file's head brings: the next segment headers and small payloads.
    static constexpr std::uint32_t BlockByteCount = 4096;

    explicit QMMetadataParser_JPG(std::filesystem::path path);

    // The segments from position 2 on, in file order. Reading ends after the first start-of-scan
    // segment, at marker FFFF, at a zero length, or where fewer than 3 bytes remain; the stream is
    // left at the first byte not taken into a segment. Nothing is reported through `error`.
    static SegmentArray readJPEGSegmentsFromStream(simpleStream& stream, Error* error);

    const char* className() const override { return "QMMetadataParser_JPG"; }
    // {"marker", "offset", "length" (the length field as read)} per segment in file order, then
    // {"imageDataOffset"} when a start-of-scan segment was read.
    PlistValue structureSummary() const override;
    bool parseImageStream(simpleStream& stream, Error* error) override;

    const SegmentArray& JPEGSegments() const { return mJPEGSegments; }
    // Where the bytes that no segment holds begin (the image data after a start-of-scan header).
    std::uint32_t remainderOffset() const { return mRemainderOffset; }
    std::shared_ptr<cJPEGSegment> JPEGSegmentByMarker(std::uint16_t marker) const;
    std::shared_ptr<cJPEGSegment_APP1> XMPSegment() const;

    std::shared_ptr<cPhotoshopImageResource> photoshopImageResourceByID(std::uint16_t identifier) const override;
    std::optional<IPTCRecordArray> IPTCRecords() const override;
    // Stored in resource 1028 when the file has one; nothing is created.
    void setIPTCRecords(std::optional<IPTCRecordArray> records) override;
    std::optional<std::string> XMP() const override;
    // Stored in the XMP segment and in the resource XMP() falls back on, each when it exists.
    void setXMP(std::optional<std::string> packet) override;

    // Writes the start-of-image marker, every segment still marked for writing and then the
    // file's bytes from remainderOffset() on to a temporary file beside the target, and renames
    // it over the target: the target holds its old bytes or exactly the new ones. False, with
    // the error, when the file cannot be read, a segment is too large, a payload left in the
    // file cannot be read again because the file has changed, or the target cannot be written.
    bool writesBypassingCoreGraphics() const override { return true; }
    bool updateFileToURLBypassingCoreGraphics(const std::filesystem::path& target, Error* error) override;

    // Writes each segment (only markers FFE0 to FFFF when appSegmentsOnly) to a file of its own,
    // named "<path without extension>_SEG#<number>_<marker>.bin".
    void dumpJpegSegments(const std::filesystem::path& path, bool useCustomWriting, bool appSegmentsOnly) const;

protected:
    // Reads the segments through the file's head and small blocks after it, leaving the payloads
    // no class reads in the file unless they lie in what was read anyway.
    bool parseImageFile(ReadOnlyFile& file, Error* error) override;

private:
    std::shared_ptr<cAPP13_Segment> APP13Segment() const;
    void joinPhotoshopSegments();
    std::shared_ptr<cPhotoshopImageResource> XMPResource() const;
    std::optional<std::vector<std::uint8_t>> segmentBytes(int source, Error* error) const;

    SegmentArray mJPEGSegments;
    std::uint32_t mRemainderOffset = 0;
};

} // namespace qm
