#pragma once

#include <initializer_list>
#include <string_view>

#include <QString>

namespace qm {

// The bundle's localized text for an English key, as Qt text.
QString localized(std::string_view key);
// The localized format filled with the arguments ("%@", "%1$@").
QString localizedFormat(std::string_view key, std::initializer_list<std::string_view> arguments);

} // namespace qm
