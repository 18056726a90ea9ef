#include <benchmark/benchmark.h>
#include <exiv2/exiv2.hpp>

#include "read/Readers.h"

namespace qm::bench {

void prepareExiv2()
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    Exiv2::XmpParser::initialize();
}

Tally readWithExiv2(const std::vector<std::filesystem::path>& files)
{
    Tally tally;
    for (const auto& path : files) {
        ++tally.files;
        try {
            auto image = Exiv2::ImageFactory::open(path.string());
            image->readMetadata();
            const Exiv2::IptcData& datasets = image->iptcData();
            const std::string& packet = image->xmpPacket();
            benchmark::DoNotOptimize(datasets.size());
            benchmark::DoNotOptimize(packet.data());
            tally.withIPTC += !datasets.empty();
            tally.withXMP += !packet.empty();
        } catch (const std::exception&) {
            ++tally.unreadable;
        }
    }
    return tally;
}

} // namespace qm::bench
