#pragma once

#include <string>
#include <vector>

#include "CommandLine.h"

namespace qm {
class UserDefaults;
}

namespace qm::cli {

// One subcommand: its name, a one-line summary, its usage text and what it does.
struct Command {
    const char* name;
    const char* summary;
    const char* usage;
    int (*run)(CommandLine& arguments, UserDefaults& defaults);
};

int runRecords(CommandLine& arguments, UserDefaults& defaults);
int runCodes(CommandLine& arguments, UserDefaults& defaults);
int runEncodings(CommandLine& arguments, UserDefaults& defaults);
int runDefaults(CommandLine& arguments, UserDefaults& defaults);
int runInfo(CommandLine& arguments, UserDefaults& defaults);
int runXmp(CommandLine& arguments, UserDefaults& defaults);
int runThumbnail(CommandLine& arguments, UserDefaults& defaults);
int runXmpRecords(CommandLine& arguments, UserDefaults& defaults);
int runXmpUpdate(CommandLine& arguments, UserDefaults& defaults);
int runShow(CommandLine& arguments, UserDefaults& defaults);
int runSet(CommandLine& arguments, UserDefaults& defaults);
int runDumpSegments(CommandLine& arguments, UserDefaults& defaults);
int runText(CommandLine& arguments, UserDefaults& defaults);
int runPublications(CommandLine& arguments, UserDefaults& defaults);
int runSettings(CommandLine& arguments, UserDefaults& defaults);
int runMenu(CommandLine& arguments, UserDefaults& defaults);
int runLayout(CommandLine& arguments, UserDefaults& defaults);
int runFrame(CommandLine& arguments, UserDefaults& defaults);
int runFollow(CommandLine& arguments, UserDefaults& defaults);
int runHotKeys(CommandLine& arguments, UserDefaults& defaults);
int runFront(CommandLine& arguments, UserDefaults& defaults);
int runApps(CommandLine& arguments, UserDefaults& defaults);
int runReport(CommandLine& arguments, UserDefaults& defaults);
// `layout install-scribus [--remove]`.
int installScribus(bool remove);
// `defaults filter ...`; arguments start with "filter".
int runFilter(const std::vector<std::string>& arguments, UserDefaults& defaults);
// `defaults encoding-spec ...`; arguments start with "encoding-spec".
int runEncodingSpec(const std::vector<std::string>& arguments, UserDefaults& defaults);

} // namespace qm::cli
