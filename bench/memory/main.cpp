// memory_driver: makes each file current in turn, as the panel does (the parser cache, a
// background parse of the next files, the display pipeline with the user's settings), and
// prints the process's resident size along the way and at the end.
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/ApplicationDefaults.h"
#include "app/CurrentImageSequence.h"
#include "app/IPTCDisplay.h"
#include "foundation/UserDefaults.h"
#include "memory/ProcessMemory.h"
#include "parsers/QMMetadataParserCache.h"
#include "platform/linux/QtExiv2ImageLibrary.h"

namespace {

using namespace qm;
using qm::bench::ProcessMemory;

constexpr std::size_t ReportEvery = 250;

void printMemory(const char* when, std::size_t shown)
{
    const auto memory = ProcessMemory::current();
    const auto& cache = QMMetadataParserCache::sharedInstance();
    std::printf("%-6s %6zu files: VmRSS %7.1f MiB, VmHWM %7.1f MiB, cache %zu parsers holding %.1f KiB\n", when,
                shown, memory.residentKiB / 1024.0, memory.peakResidentKiB / 1024.0, cache.count(),
                cache.heldByteCount() / 1024.0);
    std::fflush(stdout);
}

// Shows every file; returns how many showed no datasets.
std::size_t showAll(const std::vector<std::string>& files, UserDefaults& defaults)
{
    std::size_t failures = 0;
    CurrentImageSequence(files).run([&](std::size_t index, std::shared_ptr<QMMetadataParser> parser) {
        const auto result = parser ? IPTCDisplay::updateDisplayedIPTCData(parser, defaults, true) : IPTCDisplay::Result{};
        failures += !result.filteredIPTCRecords || result.filteredIPTCRecords->empty();
        if ((index + 1) % ReportEvery == 0)
            printMemory("after", index + 1);
    });
    return failures;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> files;
    std::string summaryPath;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--summary" && i + 1 < argc)
            summaryPath = argv[++i];
        else
            files.emplace_back(argv[i]);
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: memory_driver [--summary FILE] IMAGE...\n");
        return 2;
    }
    ImageLibrary::install(std::make_shared<QtExiv2ImageLibrary>());
    auto& defaults = UserDefaults::standard();
    ApplicationDefaults::registerDefaults(defaults);
    printMemory("start", 0);
    const std::size_t failures = showAll(files, defaults);
    printMemory("end", files.size());
    if (failures)
        std::printf("%zu files showed no datasets\n", failures);
    if (!summaryPath.empty()) {
        const auto memory = ProcessMemory::current();
        std::ofstream(summaryPath) << "driver_files " << files.size() << "\ndriver_failures " << failures
                                   << "\ndriver_vmrss_kib " << memory.residentKiB << "\ndriver_vmhwm_kib "
                                   << memory.peakResidentKiB << '\n';
    }
    return failures ? 1 : 0;
}
