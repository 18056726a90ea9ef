#include "metadata/IPTCDateFormatter.h"

#include "foundation/DateFormatting.h"

namespace qm {

std::optional<std::string> IPTCDateFormatter::fullDate(std::string_view text)
{
    auto date = DateFormatting::parse(text, "yyyyMMdd");
    if (!date)
        return std::nullopt;
    return DateFormatting::format(date->millisecondsSince1970, DateFormatting::Style::Full,
                                  DateFormatting::Style::None);
}

std::optional<std::string> IPTCDateFormatter::fullTime(std::string_view text)
{
    auto time = DateFormatting::parse(text, "HHmmssxx");
    if (!time || !time->utcOffsetMinutes)
        return std::nullopt;
    return DateFormatting::format(time->millisecondsSince1970, DateFormatting::Style::None,
                                  DateFormatting::Style::Full, time->utcOffsetMinutes);
}

} // namespace qm
