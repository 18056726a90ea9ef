#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>

namespace qm::bench {

// Prints what the console reporter prints and keeps the median rate ("items_per_second") of each
// benchmark by its registered name.
class RateCollector : public benchmark::ConsoleReporter {
public:
    RateCollector();
    void ReportRuns(const std::vector<Run>& runs) override;
    std::optional<double> rate(const std::string& name) const;

private:
    std::map<std::string, double> mRates;
};

// For the readers timed over one folder ("<group>/<reader>"): files per second, milliseconds per
// file and how many times faster ours is, as a table and, when asked, as KEY VALUE lines.
void printGroupSummary(const RateCollector& rates, const std::string& group, std::ostream& table,
                       std::ostream* keyValues);

} // namespace qm::bench
