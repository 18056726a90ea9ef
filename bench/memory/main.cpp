// memory_driver: makes each file current in turn, as the panel does (the parser cache, a
// background parse of the next files, the display pipeline with the user's settings), and
// prints the process's resident size along the way and at the end.
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ApplicationDefaults.h"
#include "app/IPTCDisplay.h"
#include "foundation/MainThread.h"
#include "foundation/UserDefaults.h"
#include "memory/ProcessMemory.h"
#include "parsers/QMAsynchronousMetadataParser.h"
#include "parsers/QMMetadataParserCache.h"
#include "platform/linux/QtExiv2ImageLibrary.h"

namespace {

using namespace qm;
using qm::bench::ProcessMemory;

// Files parsed ahead of the one shown, as when a user clicks through pictures.
constexpr std::size_t ParsesAhead = 2;
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

class CurrentImages {
public:
    CurrentImages(std::vector<std::string> files, UserDefaults& defaults) : mFiles(std::move(files)), mDefaults(defaults)
    {
    }

    // Shows every file; returns how many could not be read.
    std::size_t showAll()
    {
        MainThread::adoptCurrentThread();
        std::size_t next = 0;
        for (std::size_t shown = 0; shown < mFiles.size(); ++shown) {
            while (next < mFiles.size() && next <= shown + ParsesAhead)
                start(next++);
            while (!mDelivered.contains(shown))
                MainThread::waitForTasks(std::chrono::milliseconds(100));
            show(shown);
            if ((shown + 1) % ReportEvery == 0)
                printMemory("after", shown + 1);
        }
        return mFailures;
    }

private:
    void start(std::size_t index)
    {
        if (auto cached = QMMetadataParserCache::CachedMetadataParserForPath(mFiles[index])) {
            mDelivered[index] = cached;
            return;
        }
        QMAsynchronousMetadataParser::ParseMetadataAsynchronouslyForPath(
            mFiles[index], [this, index](std::shared_ptr<QMMetadataParser> parser) { mDelivered[index] = parser; });
    }

    void show(std::size_t index)
    {
        auto parser = std::move(mDelivered[index]);
        mDelivered.erase(index);
        if (!parser) {
            ++mFailures;
            return;
        }
        const auto result = IPTCDisplay::updateDisplayedIPTCData(parser, mDefaults, true);
        mFailures += !result.filteredIPTCRecords || result.filteredIPTCRecords->empty();
    }

    std::vector<std::string> mFiles;
    UserDefaults& mDefaults;
    std::map<std::size_t, std::shared_ptr<QMMetadataParser>> mDelivered;
    std::size_t mFailures = 0;
};

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
    const std::size_t failures = CurrentImages(files, defaults).showAll();
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
