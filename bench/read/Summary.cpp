#include "read/Summary.h"

#include <cstdio>
#include <unistd.h>

namespace qm::bench {

namespace {
// Reading a JPEG's IPTC and XMP in-process should run at a quarter of the floor's rate or faster.
constexpr double FloorTargetPercent = 25;
} // namespace

RateCollector::RateCollector() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

void RateCollector::ReportRuns(const std::vector<Run>& runs)
{
    for (const auto& run : runs) {
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        const auto counter = run.counters.find("items_per_second");
        if (!run.error_occurred && (single || median) && counter != run.counters.end())
            mRates[run.run_name.function_name] = counter->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
}

std::optional<double> RateCollector::rate(const std::string& name) const
{
    const auto found = mRates.find(name);
    if (found == mRates.end())
        return std::nullopt;
    return found->second;
}

void printGroupSummary(const RateCollector& rates, const std::string& group, std::ostream& table,
                       std::ostream* keyValues)
{
    const auto ours = rates.rate(group + "/quillmark");
    char line[160];
    std::snprintf(line, sizeof line, "  %-10s %12s %12s %14s\n", "reader", "files/s", "ms/file", "ours/reader");
    table << line;
    for (const char* reader : {"quillmark", "exiv2", "exiftool", "floor"}) {
        const auto rate = rates.rate(group + "/" + reader);
        if (!rate)
            continue;
        const double ratio = ours ? *ours / *rate : 0.0;
        std::snprintf(line, sizeof line, "  %-10s %12.1f %12.3f %13.3gx\n", reader, *rate, 1000.0 / *rate, ratio);
        table << line;
        if (!keyValues)
            continue;
        const std::string prefix = group + "_" + reader;
        *keyValues << prefix << "_files_per_s " << *rate << '\n'
                   << prefix << "_ms_per_file " << 1000.0 / *rate << '\n'
                   << group << "_ratio_quillmark_over_" << reader << ' ' << ratio << '\n';
    }
    const auto floor = rates.rate(group + "/floor");
    if (!ours || !floor)
        return;
    const double percent = 100.0 * *ours / *floor;
    std::snprintf(line, sizeof line, "  quillmark at %.1f %% of the floor (target: >= %.0f %%): %s\n", percent,
                  FloorTargetPercent, percent >= FloorTargetPercent ? "met" : "MISSED");
    table << line;
    if (keyValues)
        *keyValues << group << "_quillmark_percent_of_floor " << percent << '\n';
}

} // namespace qm::bench
