#include "metadata/textEncoding.h"

#include <algorithm>

#include "foundation/UnicodeText.h"

namespace qm {

const std::vector<textEncoding>& textEncoding::allTextEncodings()
{
    static const std::vector<textEncoding> encodings = [] {
        std::vector<textEncoding> list;
        for (const auto& entry : StringEncodings::available())
            list.emplace_back(entry.number);
        std::stable_sort(list.begin(), list.end(),
                         [](const textEncoding& a, const textEncoding& b) { return a.compare(b) < 0; });
        return list;
    }();
    return encodings;
}

std::optional<textEncoding> textEncoding::getTextEncodingByNumber(StringEncoding encoding)
{
    if (auto index = indexOfEncoding(encoding))
        return allTextEncodings()[*index];
    return std::nullopt;
}

std::optional<textEncoding> textEncoding::getTextEncodingByName(std::string_view name)
{
    const auto& all = allTextEncodings();
    auto found = std::find_if(all.begin(), all.end(), [&](const textEncoding& e) { return e.name() == name; });
    return found == all.end() ? std::nullopt : std::optional(*found);
}

StringEncoding textEncoding::getRawTextEncodingByName(std::string_view name)
{
    auto encoding = getTextEncodingByName(name);
    return encoding ? encoding->rawEncoding() : Encoding::MacOSRoman;
}

std::string textEncoding::getTextEncodingNameByRawEncoding(StringEncoding encoding)
{
    return StringEncodings::localizedName(encoding);
}

std::optional<std::size_t> textEncoding::indexOfEncoding(StringEncoding encoding)
{
    const auto& all = allTextEncodings();
    auto found = std::find_if(all.begin(), all.end(), [&](const textEncoding& e) { return e.mEncoding == encoding; });
    return found == all.end() ? std::nullopt : std::optional<std::size_t>(found - all.begin());
}

std::string textEncoding::name() const
{
    return StringEncodings::localizedName(mEncoding);
}

void textEncoding::setName(std::string_view name)
{
    if (auto encoding = getTextEncodingByName(name))
        mEncoding = encoding->mEncoding;
}

int textEncoding::compare(const textEncoding& other) const
{
    return UnicodeText::compareLocalized(name(), other.name());
}

void textEncoding::encodeWithCoder(ArchiveWriter& coder) const
{
    coder.encode(PlistValue(static_cast<std::int64_t>(mEncoding)));
}

std::optional<textEncoding> textEncoding::initWithCoder(ArchiveReader& coder)
{
    auto number = coder.decodeInteger();
    if (!number || *number < 0 || *number > 0xFFFFFFFF)
        return std::nullopt;
    return textEncoding(static_cast<StringEncoding>(*number));
}

} // namespace qm
