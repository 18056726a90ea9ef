// `settings`: the publication settings file shared between installations.
#include "Commands.h"
#include "foundation/UserDefaults.h"
#include "textgen/PublicationSettingsFile.h"

namespace qm::cli {

namespace {

int importSettings(const std::string& file, UserDefaults& defaults)
{
    switch (PublicationSettingsFile::importTextExtractionSettingsFromFile(file, defaults)) {
    case PublicationSettingsFile::ImportOutcome::Imported:
        return 0;
    case PublicationSettingsFile::ImportOutcome::NotADictionary:
        throw InputError(file + " is not a property list holding a dictionary; nothing was imported");
    case PublicationSettingsFile::ImportOutcome::Missing:
        break;
    }
    // The program has told of the missing file in its alert (unless that alert is turned off).
    return 1;
}

int exportSettings(const std::string& file, const UserDefaults& defaults)
{
    Error error;
    if (!PublicationSettingsFile::exportSettingsToFile(file, defaults, &error))
        throw InputError("cannot write " + file +
                         (error.localizedDescription.empty() ? "" : ": " + error.localizedDescription));
    return 0;
}

} // namespace

int runSettings(CommandLine& arguments, UserDefaults& defaults)
{
    const auto positionals = arguments.positionals();
    if (positionals.empty())
        throw UsageError("missing action (import or export)");
    if (positionals.size() < 2)
        throw UsageError("missing FILE");
    if (positionals.size() > 2)
        throw UsageError("unexpected argument " + positionals[2]);
    if (positionals[0] == "import")
        return importSettings(positionals[1], defaults);
    if (positionals[0] == "export")
        return exportSettings(positionals[1], defaults);
    throw UsageError("unknown action " + positionals[0]);
}

} // namespace qm::cli
