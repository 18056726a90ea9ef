#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/CreditsReport.h"

namespace qm {

// The credits report as CSV for spreadsheets: UTF-8 without a byte order mark, a header row, CR LF
// after every row, and a field quoted (its quotes doubled) when it holds a comma, a quote or a line
// break (RFC 4180). An absent value is an empty field.
class CreditsReportCsv {
public:
    static std::string text(const std::vector<CreditsReport::Row>& rows);
    static std::string field(const std::string& value);
    // Writes the text to a temporary file beside `file`, then renames it; false with `error` set
    // when that fails.
    static bool write(const std::filesystem::path& file, const std::string& text, std::string& error);
};

} // namespace qm
