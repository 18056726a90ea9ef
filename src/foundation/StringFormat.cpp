#include "foundation/StringFormat.h"

#include <cctype>
#include <vector>

namespace qm {

namespace {

// The length of a placeholder at the start of `rest` ("%@", "%d", "%2$@", ...) and the index of
// its argument (positional ones count from 1); 0 when `rest` starts with no placeholder.
std::size_t placeholderAt(std::string_view rest, std::size_t& argument, std::size_t& nextArgument)
{
    std::size_t at = 1;
    std::size_t position = 0;
    while (at < rest.size() && std::isdigit(static_cast<unsigned char>(rest[at])))
        position = position * 10 + static_cast<std::size_t>(rest[at++] - '0');
    const bool positional = at > 1;
    if (positional && (at >= rest.size() || rest[at++] != '$' || position == 0))
        return 0;
    if (at >= rest.size() || (rest[at] != '@' && rest[at] != 'd'))
        return 0;
    argument = positional ? position - 1 : nextArgument++;
    return at + 1;
}

} // namespace

std::string formatText(std::string_view format, std::initializer_list<std::string_view> arguments)
{
    const std::vector<std::string_view> values(arguments);
    std::string result;
    std::size_t nextArgument = 0;
    for (std::size_t i = 0; i < format.size();) {
        const std::string_view rest = format.substr(i);
        std::size_t argument = 0;
        if (rest.starts_with("%%")) {
            result += '%';
            i += 2;
        } else if (const std::size_t length = rest[0] == '%' ? placeholderAt(rest, argument, nextArgument) : 0) {
            if (argument < values.size())
                result += values[argument];
            i += length;
        } else {
            result += format[i++];
        }
    }
    return result;
}

} // namespace qm
