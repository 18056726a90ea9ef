// The parser for a file, chosen by the file's content.
#include "parsers/QMMetadataParser.h"

#include "foundation/FileAccess.h"
#include "parsers/QMMetadataParser_JPG.h"
#include "parsers/QMMetadataParser_PDF.h"
#include "parsers/QMMetadataParser_PSD.h"
#include "parsers/QMMetadataParser_TIFF.h"

namespace qm {

namespace {

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

std::shared_ptr<QMMetadataParser> QMMetadataParser::MetadataParserForPath(const std::filesystem::path& path, bool parse)
{
    if (!isReadableFile(path))
        return nullptr;
    auto parser = parserForType(guessFileTypeFromContent(path), path);
    if (parser && parse)
        parser->parseImage();
    return parser;
}

} // namespace qm
