#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/PlistValue.h"
#include "foundation/StringEncodings.h"
#include "metadata/cIPTCCode.h"

namespace qm {

class simpleStream;
class simpleOutputStream;
class cIPTCRecord;

using IPTCRecordArray = std::vector<std::shared_ptr<cIPTCRecord>>;

// One IIM dataset as found in a file: its code, its raw bytes and the encoding of its text.
class cIPTCRecord {
public:
    using Bytes = std::vector<std::uint8_t>;

    static constexpr std::uint8_t TagMarker = 0x1C;
    static constexpr std::uint32_t MaximumDataLength = 0x7FFF;
    static constexpr const char* LocalCaptionMarker = "*** Local Caption ***";

    cIPTCRecord(); // empty code, no data, Mac OS Roman
    cIPTCRecord(std::uint8_t recordType, std::uint8_t dataSetNumber, std::optional<Bytes> data);
    // Reads one dataset at the stream's position (the tag byte is not checked).
    static std::shared_ptr<cIPTCRecord> initFromStream(simpleStream& stream);

    const cIPTCCode& IPTCcode() const { return mIPTCcode; }
    void setIPTCcode(const cIPTCCode& code) { mIPTCcode = code; }
    const std::optional<Bytes>& data() const { return mData; }
    void setData(std::optional<Bytes> data) { mData = std::move(data); }
    StringEncoding textEncoding() const { return mTextEncoding; }
    void setTextEncoding(StringEncoding encoding) { mTextEncoding = encoding; }

    std::optional<std::string> name() const { return mIPTCcode.name(); }
    std::string string() const { return dataAsFormattedString(); }
    void setString(const std::string& text);
    std::string description() const;

    // The datasets of a block, from the stream's position up to position maxBytes, in order.
    static IPTCRecordArray IPTCRecordsFromStream(simpleStream& stream, std::uint32_t maxBytes);
    // Header and raw data; false (nothing written) for data longer than the standard form allows.
    bool writeToStream(simpleOutputStream& stream) const;
    // Text datasets are converted to `encoding`; false (nothing written) when that is impossible.
    bool writeToStream(simpleOutputStream& stream, StringEncoding encoding) const;

    std::optional<std::string> dataAsFormattedStringWithEncoding(StringEncoding encoding) const;
    std::string dataAsFormattedString() const;
    bool isEditableAsString() const;
    void setDataFromString(const std::string& text);
    static std::string formatDate(const std::string& text);

    static std::vector<cIPTCCode> uniqueIPTCCodes(const IPTCRecordArray& records);
    static std::shared_ptr<cIPTCRecord> consolidatedIPTCRecord(const cIPTCCode& code, const IPTCRecordArray& records);
    static IPTCRecordArray IPTCRecordsByConsolidatingRepeatableRecords(const IPTCRecordArray& records);
    static std::shared_ptr<cIPTCRecord> IPTCRecordByCode(const cIPTCCode& code, const IPTCRecordArray& records,
                                                         bool consolidateRepeatables);
    static IPTCRecordArray removeRecordsOfDataSet(std::int32_t dataSet, std::int32_t recordType,
                                                  const IPTCRecordArray& records);
    static int compareIPTCNumbers(const cIPTCRecord& a, const cIPTCRecord& b);
    static int compareIPTCNames(const cIPTCRecord& a, const cIPTCRecord& b);

    // A search text whose characters, found in a record's text, reveal the record's real encoding.
    struct EncodingSpec {
        std::string search;
        StringEncoding encoding;
    };
    // The default encoding unless the UTF-8 marker (when respected) or the first spec that
    // matches, in record order then spec order, says otherwise.
    static StringEncoding guessStringEncodingOfIPTCRecords(const IPTCRecordArray& records,
                                                           StringEncoding defaultEncoding,
                                                           const std::vector<EncodingSpec>& specs,
                                                           bool respectUTF8Marker);

    bool isUTF8EncodingMarker() const;
    static const Bytes& UTF8MarkerData();

    // 0: the whole caption; 1: the text after the local-caption marker; 2: the text before it.
    static int captionMode();
    static void setCaptionMode(int mode);

    // Record-2 dataset numbers to the image library's IPTC property keys.
    static const std::map<int, std::string>& IPTCAppRecordDataSetNumberToCoreGraphicsKeyDictionary();
    static PlistDictionary IPTCRecordArrayToCoreGraphicsIPTCDictionary(const IPTCRecordArray& records);

    // Archived by key: "iptcCode", "data", "textEncoding".
    static constexpr const char* ArchiveClassName = "cIPTCRecord";
    std::string archiveClassName() const { return ArchiveClassName; }
    std::int64_t archiveVersion() const { return 1; }
    void encodeWithCoder(ArchiveWriter& coder) const;
    static std::shared_ptr<cIPTCRecord> initWithCoder(ArchiveReader& coder);

private:
    bool writeBytes(simpleOutputStream& stream, const Bytes& bytes) const;
    std::optional<std::string> envelopeText() const;
    std::optional<std::string> applicationText(StringEncoding encoding) const;
    std::optional<std::string> decodedText(StringEncoding encoding) const;
    std::optional<Bytes> bytesForWriting(StringEncoding encoding) const;

    cIPTCCode mIPTCcode;
    std::optional<Bytes> mData;
    StringEncoding mTextEncoding = Encoding::MacOSRoman;
};

} // namespace qm
