#include <benchmark/benchmark.h>

#include "parsers/QMMetadataParser.h"
#include "read/Readers.h"

namespace qm::bench {

Tally& Tally::operator+=(const Tally& other)
{
    files += other.files;
    withIPTC += other.withIPTC;
    withXMP += other.withXMP;
    unreadable += other.unreadable;
    return *this;
}

Tally readWithQuillmark(const std::vector<std::filesystem::path>& files)
{
    Tally tally;
    for (const auto& path : files) {
        auto parser = QMMetadataParser::MetadataParserForPath(path, true);
        ++tally.files;
        if (!parser || !parser->parseable()) {
            ++tally.unreadable;
            continue;
        }
        const auto records = parser->IPTCRecords();
        const auto packet = parser->XMP();
        benchmark::DoNotOptimize(records);
        benchmark::DoNotOptimize(packet);
        tally.withIPTC += records && !records->empty();
        tally.withXMP += packet && !packet->empty();
    }
    return tally;
}

} // namespace qm::bench
