// read_metadata: how many files a second each reader gets the IPTC datasets and XMP packet of:
// the program's parsers and Exiv2 in this process, exiftool as one process over each folder,
// and, for a folder of JPEGs, the floor: open, read up to the last APP1/APP13 segment, close.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>

#include "read/Readers.h"
#include "read/Summary.h"

namespace {

using namespace qm::bench;
namespace fs = std::filesystem;

constexpr const char* Usage =
    "usage: read_metadata FOLDER... [--summary FILE] [--repetitions N] [--readers NAME,...]\n"
    "                     [--benchmark_... flags]\n"
    "  For each FOLDER, times reading every file below it with the program's parsers, Exiv2 and\n"
    "  exiftool (one process over the folder), after one untimed pass of each; the median of N\n"
    "  repetitions (default 3) counts. A folder of JPEGs is also read by the floor: each file\n"
    "  opened, its bytes up to the end of its last APP1/APP13 segment read in one call, closed.\n"
    "  --readers limits the readers (quillmark, exiv2, exiftool, floor). --summary writes the\n"
    "  figures as KEY VALUE lines.\n";

struct Folder {
    fs::path path;
    std::string group; // the folder's name
    std::vector<fs::path> files;
    std::uintmax_t bytes = 0;
    std::optional<std::vector<FloorFile>> floor; // when every file is a JPEG
};

Folder folderAt(const fs::path& path)
{
    auto normal = fs::absolute(path).lexically_normal();
    if (normal.filename().empty())
        normal = normal.parent_path();
    Folder folder{path, normal.filename().string(), {}, 0};
    for (const auto& entry : fs::recursive_directory_iterator(path))
        if (entry.is_regular_file()) {
            folder.files.push_back(entry.path());
            folder.bytes += entry.file_size();
        }
    std::sort(folder.files.begin(), folder.files.end());
    folder.floor = floorFiles(folder.files);
    return folder;
}

struct Reader {
    std::string name;
    std::function<Tally()> read;
};

std::vector<Reader> readers(const Folder& folder)
{
    std::vector<Reader> all{
        {"quillmark", [&folder] { return readWithQuillmark(folder.files); }},
        {"exiv2", [&folder] { return readWithExiv2(folder.files); }},
        {"exiftool", [&folder] { return readWithExiftool({folder.path.string()}); }},
    };
    if (folder.floor)
        all.push_back({"floor", [&folder] { return readFloor(*folder.floor); }});
    return all;
}

std::string exiftoolCommand()
{
    std::string command;
    for (const auto& argument : exiftoolArguments())
        command += argument + " ";
    return command + "FOLDER";
}

// --readers NAME,... limits the readers (all by default).
std::string selectedReaders;

bool isSelected(const Folder&, const Reader& reader)
{
    if (selectedReaders.empty())
        return true;
    return ("," + selectedReaders + ",").find("," + reader.name + ",") != std::string::npos;
}

// Also brings the files' first blocks (and the TIFF's end) into the page cache.
void untimedPass(const Folder& folder)
{
    std::printf("%s: %zu files, %.2f GiB in %s\n", folder.group.c_str(), folder.files.size(),
                double(folder.bytes) / (1u << 30), folder.path.c_str());
    if (folder.floor) {
        std::size_t floorBytes = 0;
        for (const auto& file : *folder.floor)
            floorBytes += file.byteCount;
        std::printf("  floor: %.1f KiB a file up to the end of the last APP1/APP13 segment\n",
                    folder.files.empty() ? 0.0 : double(floorBytes) / folder.files.size() / 1024);
    }
    for (const auto& reader : readers(folder)) {
        if (!isSelected(folder, reader))
            continue;
        const auto start = std::chrono::steady_clock::now();
        const Tally tally = reader.read();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("  untimed pass: %-10s %zu files, %zu with IPTC, %zu with XMP, %zu unreadable (%.2f s)\n",
                    reader.name.c_str(), tally.files, tally.withIPTC, tally.withXMP, tally.unreadable, seconds);
    }
    std::fflush(stdout);
}

void registerReaders(const Folder& folder, int repetitions)
{
    for (const auto& reader : readers(folder)) {
        if (!isSelected(folder, reader))
            continue;
        const auto count = static_cast<std::int64_t>(folder.files.size());
        auto run = [read = reader.read, count](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(read());
            state.SetItemsProcessed(state.iterations() * count);
        };
        benchmark::RegisterBenchmark((folder.group + "/" + reader.name).c_str(), run)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(reader.name == "exiftool" ? 0.5 : 2.0)
            ->Repetitions(repetitions)
            ->ReportAggregatesOnly(repetitions > 1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::vector<Folder> folders;
    std::string summaryPath;
    int repetitions = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--summary" && i + 1 < argc)
            summaryPath = argv[++i];
        else if (argument == "--readers" && i + 1 < argc)
            selectedReaders = argv[++i];
        else if (argument == "--repetitions" && i + 1 < argc)
            repetitions = std::max(1, std::atoi(argv[++i]));
        else if (argument.rfind("--", 0) != 0 && fs::is_directory(argument))
            folders.push_back(folderAt(argument));
        else {
            std::cerr << Usage;
            return 2;
        }
    }
    if (folders.empty()) {
        std::cerr << Usage;
        return 2;
    }
    prepareExiv2();
    std::printf("exiftool runs as: %s\n", exiftoolCommand().c_str());
    for (const auto& folder : folders)
        untimedPass(folder);
    for (const auto& folder : folders)
        registerReaders(folder, repetitions);
    RateCollector rates;
    benchmark::RunSpecifiedBenchmarks(&rates);
    benchmark::Shutdown();
    std::ofstream summary;
    if (!summaryPath.empty())
        summary.open(summaryPath);
    for (const auto& folder : folders) {
        std::cout << "\nSummary, " << folder.group << ": IPTC and XMP of " << folder.files.size() << " files ("
                  << folder.bytes / (1u << 20) << " MiB), median of " << repetitions << '\n';
        printGroupSummary(rates, folder.group, std::cout, summary.is_open() ? &summary : nullptr);
        if (summary.is_open())
            summary << folder.group << "_files " << folder.files.size() << '\n';
    }
    return 0;
}
