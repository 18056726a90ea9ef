#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ArchiveReader.h"
#include "foundation/ArchiveWriter.h"
#include "foundation/StringEncodings.h"

namespace qm {

// A text encoding as the user chooses it: its number and its localized name.
class textEncoding {
public:
    textEncoding() = default; // Mac OS Roman
    explicit textEncoding(StringEncoding encoding) : mEncoding(encoding) {}

    // Every available encoding, sorted by localized name; built once.
    static const std::vector<textEncoding>& allTextEncodings();
    static std::optional<textEncoding> getTextEncodingByNumber(StringEncoding encoding);
    static std::optional<textEncoding> getTextEncodingByName(std::string_view name);
    // Mac OS Roman when the name is unknown.
    static StringEncoding getRawTextEncodingByName(std::string_view name);
    static std::string getTextEncodingNameByRawEncoding(StringEncoding encoding);
    // The position of an encoding in allTextEncodings().
    static std::optional<std::size_t> indexOfEncoding(StringEncoding encoding);

    StringEncoding rawEncoding() const { return mEncoding; }
    void setRawEncoding(StringEncoding encoding) { mEncoding = encoding; }
    std::string name() const;
    // Takes the number of the encoding with that name; an unknown name changes nothing.
    void setName(std::string_view name);
    std::string description() const { return name(); }
    int compare(const textEncoding& other) const;
    bool operator==(const textEncoding& other) const { return mEncoding == other.mEncoding; }

    // Archived as one value: the encoding number.
    static constexpr const char* ArchiveClassName = "textEncoding";
    std::string archiveClassName() const { return ArchiveClassName; }
    std::int64_t archiveVersion() const { return 1; }
    void encodeWithCoder(ArchiveWriter& coder) const;
    static std::optional<textEncoding> initWithCoder(ArchiveReader& coder);

private:
    StringEncoding mEncoding = Encoding::MacOSRoman;
};

} // namespace qm
