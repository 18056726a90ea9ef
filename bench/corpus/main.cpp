// make_corpus: writes a folder of press JPEGs of realistic sizes, one large TIFF whose metadata
// sits at its end, optionally large PDF and EPS files whose packet lies near their end, and
// optionally hard links to the first JPEG.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "corpus/CorpusFiles.h"
#include "corpus/PageFiles.h"

namespace {

using namespace qm::bench;
namespace fs = std::filesystem;

constexpr std::uint64_t MiB = 1u << 20;

struct Options {
    fs::path folder;
    int count = 2000;
    double minMiB = 1;
    double maxMiB = 20;
    double tiffMiB = 200;
    double pageMiB = 0;
    int links = 0;
};

const char* const Usage =
    "usage: make_corpus --out FOLDER [--count N] [--min-mb A] [--max-mb B] [--tiff-mb T] [--page-mb P]\n"
    "                   [--links L]\n"
    "  Writes N JPEGs press-NNNNN.jpg of A to B MiB (log-uniform; defaults 2000, 1, 20), one TIFF\n"
    "  press-large.tif of T MiB (default 200; 0 for none), three files of P MiB (default 0: none):\n"
    "  page-packet.pdf and preview-packet.eps (binary header) with their XMP packet 1 KiB before\n"
    "  the end, page-nopacket.pdf without one, and L hard links link-NNNNN.jpg to the first JPEG\n"
    "  (default 0).\n";

std::optional<Options> parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--out") options.folder = value;
        else if (name == "--count") options.count = std::stoi(value);
        else if (name == "--min-mb") options.minMiB = std::stod(value);
        else if (name == "--max-mb") options.maxMiB = std::stod(value);
        else if (name == "--tiff-mb") options.tiffMiB = std::stod(value);
        else if (name == "--page-mb") options.pageMiB = std::stod(value);
        else if (name == "--links") options.links = std::stoi(value);
        else return std::nullopt;
    }
    if (argc % 2 == 0 || options.folder.empty() || options.count < 0 || options.minMiB <= 0 ||
        options.maxMiB < options.minMiB || (options.links > 0 && options.count < 1))
        return std::nullopt;
    return options;
}

// Sizes spread evenly on a log scale, so that small files are as common as in a picture desk's
// folder: from 1 to 20 MiB they average about 6.3 MiB.
std::uint64_t jpegSize(const Options& options, int number)
{
    const double fraction = std::fmod(number * 0.6180339887498949, 1.0);
    return static_cast<std::uint64_t>(options.minMiB * MiB * std::pow(options.maxMiB / options.minMiB, fraction));
}

std::string numbered(const char* prefix, int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s-%05d.jpg", prefix, number);
    return name;
}

std::uint64_t writeJpegs(const Options& options, const ScanBlock& scan)
{
    std::uint64_t total = 0;
    for (int number = 1; number <= options.count; ++number) {
        const auto path = options.folder / numbered("press", number);
        writePressJpeg(path, number, jpegSize(options, number), scan);
        total += fs::file_size(path);
        if (number % 250 == 0)
            std::cerr << "  " << number << " of " << options.count << " JPEGs\n";
    }
    return total;
}

std::uint64_t writePages(const Options& options, const ScanBlock& scan)
{
    const auto size = static_cast<std::uint64_t>(options.pageMiB * MiB);
    const int number = options.count + 2;
    writeLargePdf(options.folder / "page-packet.pdf", number, size, true, scan);
    writeLargePdf(options.folder / "page-nopacket.pdf", number, size, false, scan);
    writeLargeEps(options.folder / "preview-packet.eps", number, size, scan);
    std::uint64_t total = 0;
    for (const char* name : {"page-packet.pdf", "page-nopacket.pdf", "preview-packet.eps"})
        total += fs::file_size(options.folder / name);
    return total;
}

void writeLinks(const Options& options)
{
    const auto target = options.folder / numbered("press", 1);
    for (int number = 1; number <= options.links; ++number) {
        const auto link = options.folder / numbered("link", number);
        fs::remove(link);
        fs::create_hard_link(target, link);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << Usage;
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    fs::create_directories(options->folder);
    const ScanBlock scan(static_cast<std::size_t>(options->maxMiB * MiB) + 16 * MiB, 20240917);
    std::uint64_t total = writeJpegs(*options, scan);
    if (options->tiffMiB > 0) {
        const auto path = options->folder / "press-large.tif";
        writeLargeTiff(path, options->count + 1, static_cast<std::uint64_t>(options->tiffMiB * MiB), scan);
        total += fs::file_size(path);
    }
    if (options->pageMiB > 0)
        total += writePages(*options, scan);
    writeLinks(*options);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("corpus %s: %d JPEGs%s%s, %.1f MiB in %.1f s (%.0f MiB/s)\n", options->folder.c_str(), options->count,
                options->tiffMiB > 0 ? ", 1 TIFF" : "", options->pageMiB > 0 ? ", 2 PDFs and 1 EPS" : "", double(total) / MiB, seconds, double(total) / MiB / seconds);
    return 0;
}
