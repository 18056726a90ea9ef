#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace qm {

// Fills a format of the program's texts: each "%@" or "%d" takes the next argument (already
// written as text), "%2$@" the second one, "%%" is a percent sign; anything else is kept as it
// is. Arguments are inserted as they are. Safe for formats read from resources: nothing is
// passed to printf.
std::string formatText(std::string_view format, std::initializer_list<std::string_view> arguments);

} // namespace qm
