#pragma once

#include "metadata/cIPTCRecord.h"

namespace qm::cli {

// Prints records one line each (R:D<TAB>NAME<TAB>VALUE) or, with json, as an array of objects.
void printRecords(const IPTCRecordArray& records, bool json);
// JSON: {"encoding": N, "records": [...]}.
void printRecordsWithEncoding(const IPTCRecordArray& records, StringEncoding encoding);

} // namespace qm::cli
