#include "textgen/PublicationSettingsFile.h"

#include "foundation/Bundle.h"
#include "foundation/FileAccess.h"
#include "foundation/Log.h"
#include "foundation/PropertyList.h"
#include "foundation/StringFormat.h"
#include "foundation/UserDefaults.h"
#include "platform/AlertPresenter.h"
#include "textgen/PublicationStore.h"
#include "textgen/pathToDisplayNameTransformer.h"

namespace qm {

namespace {

constexpr const char* AlertMissingFileKey = "alertMissingPublicationSettingsFile";

// Publications that do not read would replace the user's list with nothing usable.
bool isUsable(const std::string& key, const PlistValue& value)
{
    if (key != PublicationStore::PublicationsKey)
        return true;
    if (value.data() && PublicationStore::publicationsFromArchive(*value.data()))
        return true;
    Log::format("settings file: its publications cannot be read; the current ones are kept");
    return false;
}

} // namespace

const std::vector<std::string>& PublicationSettingsFile::importedKeys()
{
    static const std::vector<std::string> keys{
        "publications",         "defaultTextEncoding", "respectUTF8Marker", "useAlternateEncodingSpecs",
        "alternateEncodingSpecs", "detectUTF8Corruption", "corruptUTF8Triggers", "corruptUTF8From",
        "corruptUTF8To"};
    return keys;
}

PublicationSettingsFile::ImportOutcome
PublicationSettingsFile::importTextExtractionSettingsFromFile(const std::optional<std::string>& path,
                                                              UserDefaults& defaults)
{
    if (!path || !isReadableFile(*path)) {
        alertMissingFile(path, defaults);
        return ImportOutcome::Missing;
    }
    const auto contents = PropertyList::readFile(*path);
    const PlistDictionary* settings = contents ? contents->dictionary() : nullptr;
    if (!settings)
        return ImportOutcome::NotADictionary;
    for (const auto& key : importedKeys())
        if (const PlistValue* value = contents->find(key); value && isUsable(key, *value))
            defaults.setObject(key, *value);
    return ImportOutcome::Imported;
}

void PublicationSettingsFile::alertMissingFile(const std::optional<std::string>& path, UserDefaults& defaults)
{
    if (!defaults.boolForKey(AlertMissingFileKey))
        return;
    const Bundle& bundle = Bundle::main();
    Alert alert;
    alert.windowTitle = bundle.localizedString("Quillmark error");
    alert.buttonTitles = {bundle.localizedString("OK")};
    alert.showsSuppressionButton = true;
    if (path) {
        alert.messageText = formatText(bundle.localizedString("The publication settings file \"%@\" couldn't be found."),
                                       {std::filesystem::path(*path).filename().string()});
        alert.informativeText = formatText(
            bundle.localizedString("Quillmark is set to load publication settings from the file \"%@\".\rThe file "
                                   "can't be found.\r\rPlease check Quillmark's Preferences."),
            {pathToDisplayNameTransformer::pathWithDisplayNames(*path)});
    } else {
        alert.messageText = bundle.localizedString("No publication settings file is specified.");
        alert.informativeText = bundle.localizedString("Quillmark is set up to load publication settings from a file.\r"
                                                       "However, no file is specified.\r\rPlease check Quillmark's "
                                                       "Preferences.");
    }
    auto presenter = AlertPresenter::current();
    presenter->activateApplication();
    if (presenter->runModal(alert).suppressionChecked)
        defaults.setObject(AlertMissingFileKey, false);
}

bool PublicationSettingsFile::exportSettingsToFile(const std::filesystem::path& path, const UserDefaults& defaults,
                                                   Error* error)
{
    if (PropertyList::writeFileAtomically(path, PlistValue(defaults.dictionaryRepresentation()), PlistFormat::Xml))
        return true;
    if (error)
        *error = Error{GeneralErrorDomain, -1,
                       formatText(Bundle::main().localizedString("The settings could not be written to \"%@\"."),
                                  {path.string()}),
                       ""};
    return false;
}

} // namespace qm
