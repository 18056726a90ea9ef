#include "textgen/pathToDisplayNameTransformer.h"

#include <filesystem>
#include <system_error>

#include <unicode/unistr.h>

namespace qm {

namespace {

// ICU's UTF-8 reading puts U+FFFD for each ill-formed sequence.
std::string shownComponent(const std::string& component)
{
    std::string shown;
    icu::UnicodeString::fromUTF8(component).toUTF8String(shown);
    return shown;
}

} // namespace

std::any pathToDisplayNameTransformer::transformedValue(const std::any& value) const
{
    const auto* path = std::any_cast<std::string>(&value);
    return path ? std::any(displayName(*path)) : std::any();
}

std::string pathToDisplayNameTransformer::displayName(const std::string& path)
{
    return shownComponent(std::filesystem::path(path).filename().string());
}

std::string pathToDisplayNameTransformer::pathWithDisplayNames(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return path;
    std::string shown;
    for (const auto& component : std::filesystem::path(path)) {
        if (component == "/")
            continue;
        if (!shown.empty() || path.front() == '/')
            shown += '/';
        shown += shownComponent(component.string());
    }
    return shown.empty() ? path : shown;
}

} // namespace qm
