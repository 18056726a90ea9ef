#pragma once

#include <string>
#include <string_view>

#include "foundation/PlistValue.h"

namespace qm::cli {

// Text for one tab-separated field: backslash and control characters escaped (\\, \t, \x00...).
std::string escapeField(std::string_view text);

// A JSON string literal.
std::string jsonString(std::string_view text);

// A property-list value as JSON: data as a hexadecimal string, dates as seconds since 2001.
std::string jsonValue(const PlistValue& value);

// A property-list value as one line of text: scalars plainly, data in hexadecimal, containers as JSON.
std::string plainValue(const PlistValue& value);

std::string hexString(const PlistData& data);

} // namespace qm::cli
