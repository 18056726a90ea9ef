#pragma once

#include <memory>
#include <string>

#include "parsers/QMMetadataParser.h"

namespace qm::cli {

// The bytes of a file, or of standard input for "-"; InputError naming the file when it cannot be read.
std::string readInputFile(const std::string& path);

// The parser of an image file, parsed; InputError naming the file when it is missing,
// unreadable or of unknown type.
std::shared_ptr<QMMetadataParser> openParsedImage(const std::string& path);

// "JPEG", "Photoshop", "TIFF", "EPS", "PDF" or "unknown".
std::string fileTypeName(long fileType);

} // namespace qm::cli
