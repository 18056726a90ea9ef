#include "foundation/Bundle.h"

#include "foundation/Log.h"
#include "foundation/PropertyList.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>

#ifndef QUILLMARK_INSTALL_DATADIR
#define QUILLMARK_INSTALL_DATADIR "/usr/local/share/quillmark"
#endif

namespace qm {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDevelopmentLanguage = "en";

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

fs::path locateResources()
{
    if (auto fromEnvironment = environment("QUILLMARK_RESOURCES"); !fromEnvironment.empty())
        return fromEnvironment;
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path folder = executable.parent_path();
        for (const fs::path& candidate : {folder / "resources", folder / ".." / "share" / "quillmark"})
            if (fs::is_directory(candidate, error))
                return candidate.lexically_normal();
    }
    return QUILLMARK_INSTALL_DATADIR;
}

// "de_DE.UTF-8@euro" gives "de_DE" then "de"; "C" and "POSIX" give nothing.
void addLocale(std::string_view locale, std::vector<std::string>& languages)
{
    locale = locale.substr(0, locale.find_first_of(".@"));
    if (locale.empty() || locale == "C" || locale == "POSIX")
        return;
    auto add = [&](std::string_view language) {
        if (std::find(languages.begin(), languages.end(), language) == languages.end())
            languages.emplace_back(language);
    };
    add(locale);
    if (auto separator = locale.find('_'); separator != std::string_view::npos)
        add(locale.substr(0, separator));
}

} // namespace

struct Bundle::StringTables {
    std::mutex mutex;
    // Per language: its Localizable.plist, or an empty table when it has none. Never erased,
    // so references to the tables stay valid outside the lock.
    std::map<std::string, PlistDictionary, std::less<>> tables;
};

const Bundle& Bundle::main()
{
    static const Bundle bundle(locateResources());
    return bundle;
}

Bundle::Bundle(std::filesystem::path resourcePath)
    : mResourcePath(std::move(resourcePath)), mStringTables(std::make_shared<StringTables>())
{
}

std::optional<std::filesystem::path> Bundle::pathForResource(std::string_view name, std::string_view type) const
{
    if (name.empty())
        return std::nullopt;
    std::string fileName(name);
    if (!type.empty())
        fileName.append(".").append(type);

    std::vector<fs::path> candidates;
    const auto languages = preferredLanguages();
    for (const auto& language : languages)
        candidates.push_back(mResourcePath / (language + ".lproj") / fileName);
    candidates.push_back(mResourcePath / fileName);
    if (std::find(languages.begin(), languages.end(), kDevelopmentLanguage) == languages.end())
        candidates.push_back(mResourcePath / (std::string(kDevelopmentLanguage) + ".lproj") / fileName);

    std::error_code error;
    for (const auto& candidate : candidates)
        if (fs::exists(candidate, error))
            return candidate;
    return std::nullopt;
}

std::optional<PlistValue> Bundle::plistResource(std::string_view name) const
{
    const auto path = pathForResource(name, "plist");
    if (!path) {
        Log::format("Bundle: no resource \"%.*s.plist\" in \"%s\"", static_cast<int>(name.size()), name.data(),
                    mResourcePath.c_str());
        return std::nullopt;
    }
    auto value = PropertyList::readFile(*path);
    if (!value)
        Log::format("Bundle: cannot read the resource \"%s\"", path->c_str());
    return value;
}

std::string Bundle::localizedString(std::string_view key) const
{
    auto languages = preferredLanguages();
    languages.emplace_back(kDevelopmentLanguage);
    for (const auto& language : languages) {
        const PlistDictionary* table = nullptr;
        {
            std::lock_guard lock(mStringTables->mutex);
            auto found = mStringTables->tables.find(language);
            if (found == mStringTables->tables.end()) {
                PlistDictionary loaded;
                const fs::path path = mResourcePath / (language + ".lproj") / "Localizable.plist";
                std::error_code error;
                if (fs::exists(path, error)) {
                    auto value = PropertyList::readFile(path);
                    if (value && value->dictionary())
                        loaded = std::move(*value->dictionary());
                    else
                        Log::format("Bundle: \"%s\" is not a dictionary of strings", path.c_str());
                }
                found = mStringTables->tables.emplace(language, std::move(loaded)).first;
            }
            table = &found->second;
        }
        auto entry = table->find(key);
        if (entry != table->end() && entry->second.string())
            return *entry->second.string();
    }
    return std::string(key);
}

std::vector<std::string> Bundle::preferredLanguages()
{
    std::vector<std::string> languages;
    const std::string list = environment("LANGUAGE");
    for (size_t start = 0; start <= list.size();) {
        const size_t end = std::min(list.find(':', start), list.size());
        addLocale(std::string_view(list).substr(start, end - start), languages);
        start = end + 1;
    }
    // POSIX order: the first of these that is set decides the language of messages.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::string locale = environment(name);
        if (!locale.empty()) {
            addLocale(locale, languages);
            break;
        }
    }
    return languages;
}

} // namespace qm
