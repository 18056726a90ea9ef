// `report`: the pictures a Scribus document prints, page by page, with their credits.
#include <iostream>

#include "Commands.h"
#include "Output.h"
#include "TextOutput.h"
#include "app/CreditsReportCsv.h"
#include "foundation/UserDefaults.h"

namespace qm::cli {

namespace {

enum class Format { Text, Json, Csv };

Format takeFormat(CommandLine& arguments)
{
    const bool json = arguments.takeFlag("--json");
    const bool csv = arguments.takeFlag("--csv");
    if (json && csv)
        throw UsageError("--json and --csv exclude each other");
    return json ? Format::Json : csv ? Format::Csv : Format::Text;
}

CreditsReport::PageRange takePages(CommandLine& arguments)
{
    const auto text = arguments.takeValue("--pages");
    if (!text)
        return {};
    const auto range = CreditsReport::parsePageRange(*text);
    if (!range)
        throw UsageError("--pages wants A-B, A- or A (page positions from 1), not " + *text);
    return *range;
}

void printText(const std::vector<CreditsReport::Row>& rows)
{
    const auto& names = CreditsReport::columnNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        std::cout << (i ? "\t" : "") << names[i];
    std::cout << '\n';
    for (const auto& row : rows) {
        const auto values = CreditsReport::columnValues(row);
        for (std::size_t i = 0; i < values.size(); ++i)
            std::cout << (i ? "\t" : "") << (values[i] ? escapeField(*values[i]) : "-");
        std::cout << '\n';
    }
}

void printJson(const std::vector<CreditsReport::Row>& rows)
{
    const auto& names = CreditsReport::columnNames();
    std::cout << '[';
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto values = CreditsReport::columnValues(rows[r]);
        std::cout << (r ? ",\n " : "") << '{';
        for (std::size_t i = 0; i < values.size(); ++i)
            std::cout << (i ? "," : "") << jsonString(names[i]) << ':' << (values[i] ? jsonString(*values[i]) : "null");
        std::cout << '}';
    }
    std::cout << "]\n";
}

} // namespace

int runReport(CommandLine& arguments, UserDefaults& defaults)
{
    const Format format = takeFormat(arguments);
    const auto pages = takePages(arguments);
    const auto files = arguments.positionals();
    if (files.empty())
        throw UsageError("missing DOC.sla");
    if (files.size() > 1)
        throw UsageError("unexpected argument " + files[1]);
    const ChosenTexts chosen({}, defaults);
    std::string error;
    const auto document = ScribusDocument::read(files[0], error);
    if (!document)
        throw InputError(files[0] + ": " + error);
    auto rows = CreditsReport::readPictures(*document, pages, defaults);
    chosen.addBylineTexts(rows);
    if (format == Format::Csv)
        std::cout << CreditsReportCsv::text(rows);
    else if (format == Format::Json)
        printJson(rows);
    else
        printText(rows);
    return 0;
}

} // namespace qm::cli
