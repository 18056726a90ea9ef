#include "app/CurrentImageSequence.h"

#include <chrono>

#include "foundation/MainThread.h"
#include "parsers/QMAsynchronousMetadataParser.h"
#include "parsers/QMMetadataParserCache.h"

namespace qm {

void CurrentImageSequence::run(const Each& each)
{
    MainThread::adoptCurrentThread();
    std::size_t next = 0;
    for (std::size_t shown = 0; shown < mFiles.size(); ++shown) {
        while (next < mFiles.size() && next <= shown + ParsesAhead)
            start(next++);
        while (!mDelivered.contains(shown))
            MainThread::waitForTasks(std::chrono::milliseconds(100));
        auto parser = std::move(mDelivered[shown]);
        mDelivered.erase(shown);
        each(shown, std::move(parser));
    }
}

void CurrentImageSequence::start(std::size_t index)
{
    if (auto cached = QMMetadataParserCache::CachedMetadataParserForPath(mFiles[index])) {
        mDelivered[index] = std::move(cached);
        return;
    }
    QMAsynchronousMetadataParser::ParseMetadataAsynchronouslyForPath(
        mFiles[index], [this, index](std::shared_ptr<QMMetadataParser> parser) { mDelivered[index] = std::move(parser); });
}

} // namespace qm
