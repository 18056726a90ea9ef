#pragma once

#include <functional>
#include <memory>
#include <string>

#include "parsers/QMMetadataParser.h"

namespace qm {

// Parses one file on a background thread through the parser cache and hands the parser (null
// for an unreadable file or unknown content) to its owner on the main thread.
class QMAsynchronousMetadataParser {
public:
    using Finalization = std::function<void(std::shared_ptr<QMMetadataParser> parser)>;

    // Returns at once; `finalization` runs on the main thread (see MainThread), and the background
    // thread waits until it has returned.
    static void ParseMetadataAsynchronouslyForPath(std::string path, Finalization finalization);
};

} // namespace qm
