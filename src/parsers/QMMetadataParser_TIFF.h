#pragma once

#include <bit>
#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "parsers/QMMetadataParser.h"
#include "parsers/cIFD.h"

namespace qm {

// The parser of TIFF files: reads the chain of image file directories from a TIFF header and
// finds the IPTC records (tag 33723, else resource 1028 inside tag 34377) and the XMP packet
// (tag 700, else the XMP resource inside tag 34377). Embedded TIFF structures (a JPEG's Exif
// segment) are read with parseImageStreamAtTiffHeader. Writing goes through the image library.
class QMMetadataParser_TIFF : public QMMetadataParser {
public:
    static constexpr std::uint16_t XMPTag = 700;
    static constexpr std::uint16_t IPTCTag = 33723;
    static constexpr std::uint16_t PhotoshopTag = 34377;
    static constexpr std::uint16_t ExifTag = 34665;

    explicit QMMetadataParser_TIFF(std::filesystem::path path);
    // A parser with no file that reads nothing.
    static std::shared_ptr<QMMetadataParser_TIFF> initFromStream(simpleStream& stream);

    // Between the file's byte order and the host's: the bytes are reversed exactly when they differ.
    template <std::integral Integer>
    static Integer byteswapToHost(Integer value, bool fileByteOrderBigEndian);
    template <std::integral Integer>
    static Integer byteswapFromHost(Integer value, bool fileByteOrderBigEndian)
    {
        return byteswapToHost(value, fileByteOrderBigEndian);
    }
    static std::uint16_t byteswapToHost_UInt16(std::uint16_t value, bool bigEndian) { return byteswapToHost(value, bigEndian); }
    static std::int16_t byteswapToHost_SInt16(std::int16_t value, bool bigEndian) { return byteswapToHost(value, bigEndian); }
    static std::uint32_t byteswapToHost_UInt32(std::uint32_t value, bool bigEndian) { return byteswapToHost(value, bigEndian); }
    static std::int32_t byteswapToHost_SInt32(std::int32_t value, bool bigEndian) { return byteswapToHost(value, bigEndian); }
    static std::uint16_t byteswapFromHost_UInt16(std::uint16_t value, bool bigEndian) { return byteswapToHost(value, bigEndian); }
    static std::int16_t byteswapFromHost_SInt16(std::int16_t value, bool bigEndian) { return byteswapToHost(value, bigEndian); }
    static std::uint32_t byteswapFromHost_UInt32(std::uint32_t value, bool bigEndian) { return byteswapToHost(value, bigEndian); }
    static std::int32_t byteswapFromHost_SInt32(std::int32_t value, bool bigEndian) { return byteswapToHost(value, bigEndian); }

    // The directories of the TIFF structure whose header is at the stream's position; with
    // outMemoryUsed, about how many bytes of memory they hold.
    static IFDArray readIFDsFromStreamAtTiffHeader(simpleStream& stream, bool* outByteOrderIsBigEndian,
                                                   std::uint64_t* outMemoryUsed = nullptr);
    // The chain that starts at the first-IFD offset field at the stream's position.
    static IFDArray readIFDsFromStreamAtFirstIFD(simpleStream& stream, bool byteOrderIsBigEndian,
                                                 std::uint32_t tiffHeaderOffsetFromFileStart,
                                                 std::uint64_t* outMemoryUsed = nullptr);

    const char* className() const override { return "QMMetadataParser_TIFF"; }
    // [{"name": "IFD0", "offset": 8, "tags": [256, ...]}, {"name": "ExifIFD", ...}, ...] in file order.
    PlistValue structureSummary() const override;
    std::size_t heldByteCount() const override;

    // Reads the TIFF structure whose header is at position 0.
    bool parseImageStream(simpleStream& stream, Error* error) override;
    // Reads the TIFF structure whose header is at `headerPosition`; its offsets count from there.
    bool parseImageStreamAtTiffHeader(simpleStream& stream, std::uint32_t headerPosition);

    const IFDArray& IFDs() const { return mIFDs; }
    bool fileByteOrderIsBigEndian() const { return mFileByteOrderIsBigEndian; }
    std::uint32_t tiffHeaderOffsetInFile() const { return mTiffHeaderOffsetInFile; }
    // The first entry with the tag, directory by directory in chain order (not inside the Exif IFD).
    std::shared_ptr<cIFDEntry> IFDEntryByTag(std::uint16_t tag) const;

    std::optional<IPTCRecordArray> IPTCRecords() const override;
    // Stored in tag 33723, else in resource 1028 of tag 34377; a file with neither keeps them here.
    void setIPTCRecords(std::optional<IPTCRecordArray> records) override;
    std::optional<std::string> XMP() const override;
    // Stored in tag 700 and in tag 34377 where they exist; a file with neither keeps it here.
    void setXMP(std::optional<std::string> packet) override;

private:
    template <typename Entry>
    std::shared_ptr<Entry> entryOfClass(std::uint16_t tag) const;

    IFDArray mIFDs;
    bool mFileByteOrderIsBigEndian = false;
    std::uint32_t mTiffHeaderOffsetInFile = 0;
    std::uint64_t mIFDsByteCount = 0;
    std::optional<IPTCRecordArray> mIPTCRecordsWithoutEntry;
    std::optional<std::string> mXMPWithoutEntry;
};

template <std::integral Integer>
Integer QMMetadataParser_TIFF::byteswapToHost(Integer value, bool fileByteOrderBigEndian)
{
    const bool hostBigEndian = std::endian::native == std::endian::big;
    if (sizeof(Integer) == 1 || fileByteOrderBigEndian == hostBigEndian)
        return value;
    auto bits = static_cast<std::make_unsigned_t<Integer>>(value);
    std::make_unsigned_t<Integer> swapped = 0;
    for (std::size_t index = 0; index < sizeof(Integer); ++index, bits >>= 8)
        swapped = static_cast<decltype(swapped)>((swapped << 8) | (bits & 0xFF));
    return static_cast<Integer>(swapped);
}

} // namespace qm
