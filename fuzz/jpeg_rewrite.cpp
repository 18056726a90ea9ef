// Any file read as a JPEG and rewritten: without a change it comes back byte for byte; with a
// dataset added, the copy gives the same IPTC records and XMP packet.
#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "parsers/QMMetadataParser_JPG.h"

namespace {

namespace fs = std::filesystem;

const fs::path& folder()
{
    static const fs::path path = [] {
        fs::path made = fs::temp_directory_path() / ("quillmark-fuzz-jpeg-" + std::to_string(::getpid()));
        fs::create_directories(made);
        return made;
    }();
    return path;
}

std::vector<std::uint8_t> contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The records in dataset order (the rewrite writes them so), repeated datasets in file order.
std::string recordsOf(const qm::QMMetadataParser& parser)
{
    auto records = parser.IPTCRecords().value_or(qm::IPTCRecordArray{});
    std::stable_sort(records.begin(), records.end(),
                     [](const auto& a, const auto& b) { return qm::cIPTCRecord::compareIPTCNumbers(*a, *b) < 0; });
    std::string text;
    for (const auto& record : records) {
        const auto data = record->data().value_or(qm::cIPTCRecord::Bytes{});
        text += std::to_string(record->IPTCcode().dataSetCode().value_or(-1)) + "=" +
                std::string(data.begin(), data.end()) + ";";
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    using namespace qm;
    const fs::path source = folder() / "in.jpg";
    const fs::path copy = folder() / "out.jpg";
    std::ofstream(source, std::ios::binary).write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    auto parser = std::make_shared<QMMetadataParser_JPG>(source);
    parser->parseImage();
    Error error;
    if (!parser->updateFileToURLBypassingCoreGraphics(copy, &error))
        return 0; // refused with a reason, such as a segment too large to write back
    fuzz::require(contents(copy) == std::vector<std::uint8_t>(bytes, bytes + size),
                  "a file rewritten without a change comes back byte for byte");
    auto records = parser->IPTCRecords();
    if (!records)
        return 0;
    records->push_back(std::make_shared<cIPTCRecord>(2, 5, cIPTCRecord::Bytes{'f'}));
    parser->setIPTCRecords(records);
    if (!parser->updateFileToURLBypassingCoreGraphics(copy, &error))
        return 0;
    auto reread = std::make_shared<QMMetadataParser_JPG>(copy);
    reread->parseImage();
    fuzz::require(recordsOf(*reread) == recordsOf(*parser), "the copy has the same IPTC records");
    fuzz::require(reread->XMP() == parser->XMP(), "the copy has the same XMP packet");
    return 0;
}
