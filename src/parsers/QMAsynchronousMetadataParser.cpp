#include "parsers/QMAsynchronousMetadataParser.h"

#include <thread>

#include "foundation/MainThread.h"
#include "parsers/QMMetadataParserCache.h"

namespace qm {

void QMAsynchronousMetadataParser::ParseMetadataAsynchronouslyForPath(std::string path, Finalization finalization)
{
    std::thread([path = std::move(path), finalization = std::move(finalization)] {
        auto parser = QMMetadataParserCache::MetadataParserForPath(path, true);
        MainThread::perform([&] { finalization(parser); }, true);
    }).detach();
}

} // namespace qm
