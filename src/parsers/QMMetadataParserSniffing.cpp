// Telling a file's type from its first bytes.
#include "parsers/QMMetadataParser.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <string>

#include "metadata/simpleDataStream.h"

namespace qm {

namespace {

// The fixed signatures lie in the first 11 bytes; a PostScript header line may run longer.
constexpr std::size_t SignatureByteCount = 11;
constexpr std::size_t SniffedByteCount = 256;

// Runs a check and puts the stream back where it was.
template <typename Check>
auto keepingPosition(simpleStream& stream, Check check)
{
    const auto position = stream.streamPosition();
    auto result = check();
    stream.setStreamPosition(position);
    return result;
}

bool startsWith(simpleStream& stream, const char* prefix, std::size_t length)
{
    return keepingPosition(stream, [&] {
        std::array<std::uint8_t, SignatureByteCount> bytes{};
        if (!stream.setStreamPosition(0) || stream.readBytes(bytes.data(), SignatureByteCount) < length)
            return false;
        return std::memcmp(bytes.data(), prefix, length) == 0;
    });
}

// The text up to the first line break (CR or LF) within the sniffed bytes.
std::string firstLine(simpleStream& stream)
{
    return keepingPosition(stream, [&] {
        std::array<char, SniffedByteCount> bytes{};
        if (!stream.setStreamPosition(0))
            return std::string();
        const std::string_view head(bytes.data(), stream.readBytes(bytes.data(), SniffedByteCount));
        return std::string(head.substr(0, head.find_first_of("\r\n")));
    });
}

// PostScript whose header comment declares it encapsulated: "%!PS-Adobe-3.0 EPSF-3.0".
bool isPlainTextEPS(simpleStream& stream)
{
    const std::string line = firstLine(stream);
    return line.starts_with("%!PS-Adobe-") && line.find("EPSF") != std::string::npos;
}

std::vector<std::uint8_t> firstBytes(const std::filesystem::path& path)
{
    std::vector<std::uint8_t> bytes(SniffedByteCount);
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {};
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return bytes;
}

} // namespace

bool QMMetadataParser::isJPG(simpleStream& stream)
{
    return keepingPosition(stream, [&] {
        return stream.setStreamPosition(0) && stream.remainingByteCount() >= 2 && stream.readUInt8() == 0xFF &&
               stream.readUInt8() == 0xD8;
    });
}

bool QMMetadataParser::isPSD(simpleStream& stream)
{
    return keepingPosition(stream, [&] {
        std::array<std::uint8_t, 6> header{};
        return stream.setStreamPosition(0) && stream.readBytes(header.data(), 6) == 6 &&
               std::memcmp(header.data(), "8BPS", 4) == 0 && header[4] == 0 && header[5] == 1;
    });
}

bool QMMetadataParser::isTIFF(simpleStream& stream)
{
    return keepingPosition(stream, [&] {
        std::array<std::uint8_t, 4> header{};
        if (stream.readBytes(header.data(), 4) != 4)
            return false;
        if (header[0] == 'I' && header[1] == 'I')
            return header[2] == 42 && header[3] == 0;
        if (header[0] == 'M' && header[1] == 'M')
            return header[2] == 0 && header[3] == 42;
        return false;
    });
}

bool QMMetadataParser::isAI_or_PDF(simpleStream& stream)
{
    return startsWith(stream, "%PDF-", 5);
}

bool QMMetadataParser::isEPS(simpleStream& stream)
{
    return startsWith(stream, "\xC5\xD0\xD3\xC6", 4) || isPlainTextEPS(stream);
}

QMFileType QMMetadataParser::guessFileTypeFromContent(const std::filesystem::path& path)
{
    const std::vector<std::uint8_t> bytes = firstBytes(path);
    return guessFileTypeFromContent(std::span<const std::uint8_t>(bytes));
}

QMFileType QMMetadataParser::guessFileTypeFromContent(std::span<const std::uint8_t> firstBytes)
{
    const auto sniffed = firstBytes.first(std::min(firstBytes.size(), SniffedByteCount));
    simpleStream stream(sniffed.data(), static_cast<std::uint32_t>(sniffed.size()), false);
    if (isJPG(stream))
        return QMFileTypeJPEG;
    if (isPSD(stream))
        return QMFileTypePhotoshop;
    if (isTIFF(stream))
        return QMFileTypeTIFF;
    if (isAI_or_PDF(stream))
        return QMFileTypePDF;
    if (isEPS(stream))
        return QMFileTypeEPS;
    return QMFileTypeUnknown;
}

} // namespace qm
