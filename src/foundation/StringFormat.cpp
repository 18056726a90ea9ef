#include "foundation/StringFormat.h"

namespace qm {

std::string formatText(std::string_view format, std::initializer_list<std::string_view> arguments)
{
    std::string result;
    auto next = arguments.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        const char following = i + 1 < format.size() ? format[i + 1] : '\0';
        if (c == '%' && following == '%') {
            result += '%';
            ++i;
        } else if (c == '%' && (following == '@' || following == 'd')) {
            if (next != arguments.end())
                result += *next++;
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace qm
