#include "ImageFiles.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "CommandLine.h"

namespace qm::cli {

std::string readInputFile(const std::string& path)
{
    std::istream* in = &std::cin;
    std::ifstream file;
    if (path != "-") {
        std::error_code error;
        if (std::filesystem::is_directory(path, error))
            throw InputError("cannot read " + path + ": it is a folder");
        file.open(path, std::ios::binary);
        if (!file)
            throw InputError("cannot read " + path + ": " + std::strerror(errno));
        in = &file;
    }
    std::string bytes((std::istreambuf_iterator<char>(*in)), std::istreambuf_iterator<char>());
    if (in->bad())
        throw InputError("cannot read " + path);
    return bytes;
}

std::shared_ptr<QMMetadataParser> openParsedImage(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw InputError("cannot read " + path + ": it is a folder");
    if (!std::ifstream(path, std::ios::binary))
        throw InputError("cannot read " + path + ": " + std::strerror(errno));
    auto parser = QMMetadataParser::MetadataParserForPath(path);
    if (!parser)
        throw InputError(path + ": unknown type");
    Error parseError;
    if (!parser->parseImage(&parseError) && !parser->parseable())
        throw InputError("cannot read " + path + ": " + parseError.localizedDescription);
    parser->setFileType(QMMetadataParser::guessFileTypeFromContent(path));
    return parser;
}

std::string fileTypeName(long fileType)
{
    switch (fileType) {
    case QMFileTypeJPEG: return "JPEG";
    case QMFileTypePhotoshop: return "Photoshop";
    case QMFileTypeTIFF: return "TIFF";
    case QMFileTypeEPS: return "EPS";
    case QMFileTypePDF: return "PDF";
    default: return "unknown";
    }
}

} // namespace qm::cli
