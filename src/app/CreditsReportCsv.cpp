#include "app/CreditsReportCsv.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace qm {

namespace {

void appendRow(std::string& out, const std::vector<std::optional<std::string>>& values)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += ',';
        out += CreditsReportCsv::field(values[i].value_or(""));
    }
    out += "\r\n";
}

} // namespace

std::string CreditsReportCsv::field(const std::string& value)
{
    if (value.find_first_of(",\"\r\n") == std::string::npos)
        return value;
    std::string quoted = "\"";
    for (char c : value) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

std::string CreditsReportCsv::text(const std::vector<CreditsReport::Row>& rows)
{
    std::string out;
    const auto& names = CreditsReport::columnNames();
    appendRow(out, {names.begin(), names.end()});
    for (const auto& row : rows)
        appendRow(out, CreditsReport::columnValues(row));
    return out;
}

bool CreditsReportCsv::write(const std::filesystem::path& file, const std::string& text, std::string& error)
{
    std::filesystem::path temporary = file;
    temporary += ".part-" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out)
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            error = std::strerror(errno);
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code status;
    std::filesystem::rename(temporary, file, status);
    if (status) {
        error = status.message();
        std::filesystem::remove(temporary, status);
        return false;
    }
    return true;
}

} // namespace qm
