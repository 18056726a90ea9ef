#include "app/CreditsReport.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "app/BylineAndCaption.h"
#include "app/IPTCDisplay.h"
#include "parsers/QMMetadataParserCache.h"

namespace qm {

namespace {

constexpr unsigned MaximumReaders = 4;

bool isFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// Every dataset with the number, joined as consolidation joins repeatable ones.
std::optional<std::string> fieldText(int dataSet, const IPTCRecordArray& records)
{
    std::optional<std::string> text;
    for (const auto& record : records) {
        const auto& code = record->IPTCcode();
        if (code.recordType() == 2 && code.dataSetCode() == dataSet)
            text = (text ? *text + ", " : std::string()) + record->dataAsFormattedString();
    }
    return text;
}

void readPicture(CreditsReport::Row& row, const UserDefaults& defaults)
{
    if (!isFile(row.picture.path)) {
        row.status = CreditsReport::Status::Missing;
        return;
    }
    const auto parser = QMMetadataParserCache::MetadataParserForPath(row.picture.path.string(), true);
    if (!parser || !(parser->parsed() || parser->parseable())) {
        row.status = CreditsReport::Status::Unreadable;
        return;
    }
    // As the panel decodes it, without making it the panel's image; the fields from every dataset,
    // since consolidation keeps only the first of datasets the table does not count as repeatable.
    const StringEncoding encoding = IPTCDisplay::chosenEncoding(parser, defaults);
    row.records = IPTCDisplay::updateDisplayedIPTCDataWithEncoding(parser, encoding, defaults)
                      .IPTCRecords.value_or(IPTCRecordArray{});
    const auto every = IPTCDisplay::decodedIPTCRecords(parser, encoding, false, defaults).value_or(IPTCRecordArray{});
    row.byline = fieldText(80, every);
    row.credit = fieldText(110, every);
    row.source = fieldText(115, every);
    row.copyrightNotice = fieldText(116, every);
    row.transmissionReference = fieldText(103, every);
    row.objectName = fieldText(5, every);
}

std::optional<std::size_t> positiveNumber(const std::string& text)
{
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const auto value = std::stoul(text);
    return value > 0 ? std::optional<std::size_t>(value) : std::nullopt;
}

} // namespace

std::optional<CreditsReport::PageRange> CreditsReport::parsePageRange(const std::string& text)
{
    const auto dash = text.find('-');
    const auto first = positiveNumber(text.substr(0, dash));
    if (!first)
        return std::nullopt;
    if (dash == std::string::npos)
        return PageRange{*first, *first};
    if (dash + 1 == text.size())
        return PageRange{*first};
    const auto last = positiveNumber(text.substr(dash + 1));
    if (!last || *last < *first)
        return std::nullopt;
    return PageRange{*first, *last};
}

std::vector<CreditsReport::Row> CreditsReport::readPictures(const ScribusDocument& document, const PageRange& pages,
                                                            const UserDefaults& defaults)
{
    std::vector<Row> rows;
    for (const auto& picture : document.pictures())
        if (pages.contains(picture.pageIndex))
            rows.emplace_back().picture = picture;
    std::atomic<std::size_t> next = 0;
    const auto work = [&] {
        for (std::size_t i = next++; i < rows.size(); i = next++)
            readPicture(rows[i], defaults);
    };
    const unsigned readers = std::clamp(std::thread::hardware_concurrency(), 1u, MaximumReaders);
    std::vector<std::jthread> threads;
    for (unsigned i = 1; i < readers && i < rows.size(); ++i)
        threads.emplace_back(work);
    work();
    return rows;
}

void CreditsReport::addBylineTexts(std::vector<Row>& rows, const BylineAndCaption& chosen)
{
    const auto& spec = chosen.bylineSpec();
    for (auto& row : rows)
        if (spec && row.status == Status::Found)
            row.defaultBylineText = spec->textWithoutReport(row.picture.path.string(), row.records);
}

const char* CreditsReport::statusName(Status status)
{
    switch (status) {
    case Status::Found: return "found";
    case Status::Missing: return "missing";
    default: return "unreadable";
    }
}

const std::vector<std::string>& CreditsReport::columnNames()
{
    static const std::vector<std::string> names{"page", "position", "master", "frame", "image", "status",
        "byline", "credit", "source", "copyright", "transmission", "object", "default byline"};
    return names;
}

std::vector<std::optional<std::string>> CreditsReport::columnValues(const Row& row)
{
    const auto& picture = row.picture;
    return {picture.pageNumber, std::to_string(picture.pageIndex + 1), picture.masterPage, picture.frameName,
            picture.path.string(), statusName(row.status), row.byline, row.credit, row.source, row.copyrightNotice,
            row.transmissionReference, row.objectName, row.defaultBylineText};
}

} // namespace qm
