#include "bridge/LayoutArguments.h"

#include <charconv>
#include <cmath>
#include <string>

namespace qm {

namespace {

// The double nearest to the float's shortest decimal form, so that 0.1f is written 0.1 and not
// 0.100000001490116; the JSON writer adds ".0" to whole numbers. JSON has no NaN or infinity:
// those are sent as 0.0.
double shortestDecimal(float value)
{
    if (!std::isfinite(value))
        return 0.0;
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    double decimal = value;
    if (written.ec == std::errc())
        std::from_chars(digits, written.ptr, decimal);
    return decimal;
}

} // namespace

LayoutArguments& LayoutArguments::text(std::string_view value)
{
    mList.push_back(std::string(value));
    return *this;
}

LayoutArguments& LayoutArguments::integer(std::int32_t value)
{
    mList.push_back(value);
    return *this;
}

LayoutArguments& LayoutArguments::real(float value)
{
    mList.push_back(shortestDecimal(value));
    return *this;
}

LayoutArguments& LayoutArguments::boolean(bool value)
{
    mList.push_back(value);
    return *this;
}

LayoutArguments& LayoutArguments::value(nlohmann::json value)
{
    mList.push_back(std::move(value));
    return *this;
}

} // namespace qm
