// The parser for a file, chosen by the file's content.
#include "parsers/QMMetadataParser.h"

#include "foundation/ReadOnlyFile.h"
#include "parsers/QMMetadataParser_JPG.h"
#include "parsers/QMMetadataParser_PDF.h"
#include "parsers/QMMetadataParser_PSD.h"
#include "parsers/QMMetadataParser_TIFF.h"

namespace qm {

namespace {

// Enough for every signature.
constexpr std::uint32_t SniffByteCount = 256;

std::shared_ptr<QMMetadataParser> parserForType(QMFileType type, const std::filesystem::path& path)
{
    switch (type) {
    case QMFileTypeJPEG: return std::make_shared<QMMetadataParser_JPG>(path);
    case QMFileTypePhotoshop: return std::make_shared<QMMetadataParser_PSD>(path);
    case QMFileTypeTIFF: return std::make_shared<QMMetadataParser_TIFF>(path);
    case QMFileTypeEPS:
    case QMFileTypePDF: return std::make_shared<QMMetadataParser_PDF>(path);
    default: return nullptr;
    }
}

} // namespace

// One open for sniffing and parsing: the first read brings the bytes the type is told from and,
// when the file is parsed, the head a reader usually finds its metadata in.
std::shared_ptr<QMMetadataParser> QMMetadataParser::MetadataParserForPath(const std::filesystem::path& path, bool parse)
{
    ReadOnlyFile file(path);
    if (!file.isOpen())
        return nullptr;
    auto parser = parserForType(guessFileTypeFromContent(file.head(parse ? HeadByteCount : SniffByteCount)), path);
    if (parser && parse)
        parser->parseImage(file, nullptr);
    return parser;
}

} // namespace qm
