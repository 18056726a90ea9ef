#include "textgen/URLToDisplayNameTransformer.h"

#include <vector>

#include "textgen/pathToDisplayNameTransformer.h"

namespace qm {

namespace {

constexpr std::string_view FileScheme = "file://";

int hexValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

} // namespace

std::string URLToDisplayNameTransformer::pathOfURL(const std::string& url)
{
    if (url.rfind(FileScheme, 0) != 0)
        return url;
    std::string_view rest = std::string_view(url).substr(FileScheme.size());
    rest = rest.substr(std::min(rest.find('/'), rest.size())); // the host, usually empty
    return percentDecoded(rest);
}

std::any URLToDisplayNameTransformer::transformedValue(const std::any& value) const
{
    const auto* url = std::any_cast<std::string>(&value);
    if (!url)
        return {};
    return pathToDisplayNameTransformer::displayName(pathOfURL(*url));
}

std::any URLToDisplayNameArrayTransformer::transformedValue(const std::any& value) const
{
    const auto* urls = std::any_cast<std::vector<std::string>>(&value);
    if (!urls)
        return {};
    std::vector<std::string> names;
    for (const auto& url : *urls)
        names.push_back(pathToDisplayNameTransformer::displayName(URLToDisplayNameTransformer::pathOfURL(url)));
    return names;
}

} // namespace qm
