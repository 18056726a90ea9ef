#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/PlistValue.h"

namespace qm {

// The application's resource bundle: the `resources/` folder.
class Bundle {
public:
    // Found through $QUILLMARK_RESOURCES, then `resources/` beside the executable (build tree),
    // then `../share/quillmark` beside the executable, then the install prefix's share/quillmark.
    static const Bundle& main();

    explicit Bundle(std::filesystem::path resourcePath);

    const std::filesystem::path& resourcePath() const { return mResourcePath; }

    // <resources>/<lang>.lproj/<name>.<type> for the preferred languages, then <resources>/<name>.<type>,
    // then en.lproj (the development language). An empty type means the name is the whole file name.
    std::optional<std::filesystem::path> pathForResource(std::string_view name, std::string_view type) const;

    // The property-list resource <name>.plist, or nothing (logged) when missing or unreadable.
    std::optional<PlistValue> plistResource(std::string_view name) const;

    // The text for an English key from <lang>.lproj/Localizable.plist, the first preferred language
    // that has one winning, then the development language's (en); the key itself when there is
    // none. Each table is read once.
    std::string localizedString(std::string_view key) const;

    // Language codes in order of preference, from LANGUAGE, LC_ALL, LC_MESSAGES and LANG ("de", "fr", ...).
    static std::vector<std::string> preferredLanguages();

private:
    struct StringTables;

    std::filesystem::path mResourcePath;
    std::shared_ptr<StringTables> mStringTables;
};

} // namespace qm
