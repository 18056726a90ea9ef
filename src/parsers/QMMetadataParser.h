#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "foundation/Error.h"
#include "foundation/KeyValueObservable.h"
#include "metadata/cIPTCRecord.h"
#include "platform/ImageLibrary.h"

namespace qm {

class simpleStream;
class cPhotoshopImageResource;
class ReadOnlyFile;

// What a file holds, told from its first bytes.
enum QMFileType : long {
    QMFileTypeUnknown = 0,
    QMFileTypeJPEG = 1,
    QMFileTypePhotoshop = 2,
    QMFileTypeTIFF = 3,
    QMFileTypeEPS = 4,
    QMFileTypePDF = 5,
};

enum QMResizeMode : int { QMResizeToFit = 0, QMResizeToHeight = 1, QMResizeToWidth = 2 };

// The parser of one image file: recognises the file by its content, reads its IPTC records and
// XMP packet, answers record queries and makes thumbnails. Subclasses read one format each.
// Observers hear of changes of "IPTCRecords" and "XMP" when the file has been (re)parsed.
class QMMetadataParser : public KeyValueObservable, public std::enable_shared_from_this<QMMetadataParser> {
public:
    // How much of a file that is to be parsed is read first: usually all that a JPEG reader needs.
    static constexpr std::uint32_t HeadByteCount = 16 * 1024;

    explicit QMMetadataParser(std::filesystem::path path); // initWithPath:
    ~QMMetadataParser() override;

    // The parser for a file by its content, or null for an unreadable file or unknown content.
    static std::shared_ptr<QMMetadataParser> MetadataParserForPath(const std::filesystem::path& path,
                                                                   bool parse = false);
    static QMFileType guessFileTypeFromContent(const std::filesystem::path& path);
    // The same, told from the file's first bytes (as many as the file has of the sniffed ones).
    static QMFileType guessFileTypeFromContent(std::span<const std::uint8_t> firstBytes);
    static bool isJPG(simpleStream& stream);
    static bool isPSD(simpleStream& stream);
    static bool isTIFF(simpleStream& stream);
    static bool isAI_or_PDF(simpleStream& stream);
    // An EPS file: the binary header of one with a preview, or a first line "%!PS-Adobe-… EPSF…".
    static bool isEPS(simpleStream& stream);

    const std::filesystem::path& path() const { return mPath; }
    long fileType() const { return mFileType; }
    void setFileType(long type) { mFileType = type; }
    bool parsed() const { return mParsed; }
    bool parseable() const { return mParseable; }
    // The class name of the format reader ("QMMetadataParser_JPG", ...).
    virtual const char* className() const = 0;
    // A short description of the file's structure as the reader found it (resources, IFDs, packet
    // position...), for diagnostics.
    virtual PlistValue structureSummary() const { return {}; }
    // About how many bytes of memory the parser holds (for the cache's budget). Readers that keep
    // more than their records and packet (segments, resources) add theirs.
    virtual std::size_t heldByteCount() const;

    // Reads the file; false (with the error, when asked) when the file cannot be used.
    bool parseImage(Error* error = nullptr);
    // The same on the file opened at path() by the caller (whose head the reader may reuse).
    bool parseImage(ReadOnlyFile& file, Error* error);
    virtual bool parseImageStream(simpleStream& stream, Error* error) = 0;

    // Absent when the file has none.
    virtual std::optional<IPTCRecordArray> IPTCRecords() const = 0;
    virtual void setIPTCRecords(std::optional<IPTCRecordArray> records) = 0;
    virtual std::optional<std::string> XMP() const = 0;
    virtual void setXMP(std::optional<std::string> packet) = 0;
    virtual std::shared_ptr<cPhotoshopImageResource> photoshopImageResourceByID(std::uint16_t identifier) const;

    // The parser's own records, each given the encoding (changed in place); absent when none.
    std::optional<IPTCRecordArray> IPTCRecordsWithEncoding(StringEncoding encoding);
    // New records, all in the encoding guessed for the whole set.
    IPTCRecordArray IPTCRecordArrayWithDefaultEncoding(StringEncoding defaultEncoding,
                                                       const std::vector<cIPTCRecord::EncodingSpec>& specs,
                                                       bool respectUTF8Marker) const;
    IPTCRecordArray IPTCRecordsByRecordType(std::uint8_t recordType, std::uint8_t dataSet) const;
    std::shared_ptr<cIPTCRecord> IPTCRecordByRecordType(std::uint8_t recordType, std::uint8_t dataSet) const;
    std::shared_ptr<cIPTCRecord> repeatedIPTCRecordByRecordType(std::uint8_t recordType, std::uint8_t dataSet) const;
    std::shared_ptr<cIPTCRecord> IPTCRecordByCode(const cIPTCCode& code) const;
    std::shared_ptr<cIPTCRecord> repeatedIPTCRecordByCode(const cIPTCCode& code) const;

    std::optional<IPTCRecordArray> IPTCRecordsFromXMP() const;
    bool updateXMPForIPTCRecord(const cIPTCRecord& record);
    std::optional<PlistDictionary> CoreGraphicsMetadata() const;

    // A 70 × 50 preview, made once; absent when the file cannot be shown.
    virtual std::optional<Bitmap> thumbnail();
    std::optional<Bitmap> thumbnailWithSize(int width, int height, int resizeMode) const;
    static std::pair<int, int> thumbnailAdjustedSizeForPreview(std::pair<int, int> imageSize,
                                                               std::pair<int, int> desiredSize, int resizeMode);

    // Writes the file with its current metadata to `target`.
    bool updateFileToURL(const std::filesystem::path& target, bool useCoreGraphics, double imageQuality,
                         Error* error);
    bool updateFileToURLUsingCoreGraphics(const std::filesystem::path& target, double imageQuality, Error* error);
    // Formats that write their own bytes say so and override the writer.
    virtual bool writesBypassingCoreGraphics() const { return false; }
    virtual bool updateFileToURLBypassingCoreGraphics(const std::filesystem::path& target, Error* error);

protected:
    // Reads a file that is open and usable. The default reads path() through a chunked file stream.
    virtual bool parseImageFile(ReadOnlyFile& file, Error* error);
    std::optional<Bitmap> cachedThumbnail() const;
    void setCachedThumbnail(std::optional<Bitmap> thumbnail);

private:
    static bool isFileUsable(const ReadOnlyFile& file);

    const std::filesystem::path mPath;
    std::atomic<long> mFileType{QMFileTypeUnknown};
    std::atomic<bool> mParsed{false};
    std::atomic<bool> mParseable{false};
    mutable std::mutex mThumbnailMutex;
    std::optional<Bitmap> mThumbnail;
};

} // namespace qm
