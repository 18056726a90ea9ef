// Display text of a record, and setting a record from text.
#include "metadata/cIPTCRecord.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "foundation/Log.h"
#include "foundation/UnicodeText.h"
#include "metadata/IPTCDateFormatter.h"

namespace qm {

namespace {

constexpr std::size_t CaptionSlotSize = 256;

std::string byteCountText(std::size_t count)
{
    return "[" + std::to_string(count) + " bytes]";
}

bool isDateDataSet(std::int32_t dataSet)
{
    return dataSet == 30 || dataSet == 37 || dataSet == 47 || dataSet == 55 || dataSet == 62;
}

std::string cutCaption(const std::string& caption, int mode)
{
    const std::string marker = cIPTCRecord::LocalCaptionMarker;
    const auto found = caption.find(marker);
    if (found == std::string::npos || mode == 0)
        return caption;
    if (mode == 1)
        return caption.substr(found + marker.size());
    if (mode == 2)
        return caption.substr(0, found);
    return caption;
}

std::string paddedWithBlanks(std::string text, std::size_t minimum)
{
    const std::size_t length = UnicodeText::utf16Length(text);
    if (length < minimum)
        text.append(minimum - length, ' ');
    return text;
}

struct LengthRule {
    std::int32_t dataSet;
    std::size_t padTo;
    std::size_t cutTo;
};

constexpr std::array<LengthRule, 6> LengthRules{{
    {3, 3, 67}, {4, 3, 68}, {5, 0, 64}, {7, 0, 64}, {8, 0, 2}, {120, 0, 2000},
}};

} // namespace

std::optional<std::string> cIPTCRecord::dataAsFormattedStringWithEncoding(StringEncoding encoding) const
{
    if (!mData || mData->empty())
        return std::string();
    if (mIPTCcode.recordType() == 1)
        return envelopeText();
    if (mIPTCcode.recordType() == 2)
        return applicationText(encoding);
    return std::nullopt;
}

std::string cIPTCRecord::dataAsFormattedString() const
{
    return dataAsFormattedStringWithEncoding(mTextEncoding).value_or("");
}

// Writers that pad text with zero bytes (C strings) leave them at the end; they are not shown.
std::optional<std::string> cIPTCRecord::decodedText(StringEncoding encoding) const
{
    auto text = StringEncodings::decode(*mData, encoding);
    if (text)
        text->erase(text->find_last_not_of('\0') + 1);
    return text;
}

std::optional<std::string> cIPTCRecord::envelopeText() const
{
    switch (mIPTCcode.dataSetCode().value_or(-1)) {
    case 70: {
        auto text = decodedText(Encoding::UTF8);
        return text ? IPTCDateFormatter::fullDate(*text) : std::nullopt;
    }
    case 80: {
        auto text = decodedText(Encoding::UTF8);
        return text ? IPTCDateFormatter::fullTime(*text) : std::nullopt;
    }
    case 90:
        return isUTF8EncodingMarker() ? std::string("UTF-8") : byteCountText(mData->size());
    default:
        return byteCountText(mData->size());
    }
}

std::optional<std::string> cIPTCRecord::applicationText(StringEncoding encoding) const
{
    const std::int32_t dataSet = mIPTCcode.dataSetCode().value_or(-1);
    if (dataSet == 0) {
        // The record version is a big-endian binary number (normally two bytes).
        unsigned value = 0;
        for (std::size_t i = 0; i < std::min<std::size_t>(mData->size(), 2); ++i)
            value = value << 8 | (*mData)[i];
        return std::to_string(value);
    }
    if (isDateDataSet(dataSet)) {
        auto text = decodedText(Encoding::UTF8);
        return text ? std::optional(formatDate(*text)) : std::nullopt;
    }
    if (dataSet == 120) {
        auto text = decodedText(encoding);
        return text ? std::optional(cutCaption(*text, captionMode())) : std::nullopt;
    }
    if (dataSet == 186)
        return byteCountText(mData->size());
    if (dataSet == 231) {
        std::string joined;
        bool first = true;
        for (std::size_t slot = 0; slot < mData->size(); slot += CaptionSlotSize) {
            const auto begin = mData->begin() + static_cast<std::ptrdiff_t>(slot);
            const auto end = mData->begin() + static_cast<std::ptrdiff_t>(std::min(slot + CaptionSlotSize, mData->size()));
            auto text = StringEncodings::decode(std::span(&*begin, static_cast<std::size_t>(std::find(begin, end, 0) - begin)),
                                                encoding);
            if (!text)
                continue;
            joined += (first ? "" : "\r") + *text;
            first = false;
        }
        return joined;
    }
    return decodedText(encoding);
}

std::string cIPTCRecord::formatDate(const std::string& text)
{
    return IPTCDateFormatter::fullDate(text).value_or(text);
}

bool cIPTCRecord::isEditableAsString() const
{
    static constexpr std::array<std::int32_t, 8> envelope{5, 30, 40, 50, 60, 70, 80, 100};
    static constexpr std::array<std::int32_t, 41> application{
        3,  4,  5,  7,  8,  10, 12, 15, 20,  22,  25,  26,  27,  30,  35,  37,  38,  40,  55,  60, 62,
        63, 65, 70, 75, 80, 85, 90, 92, 95, 100, 101, 103, 105, 110, 115, 116, 118, 120, 122, 135};
    const std::int32_t dataSet = mIPTCcode.dataSetCode().value_or(-1);
    if (mIPTCcode.recordType() == 1)
        return std::find(envelope.begin(), envelope.end(), dataSet) != envelope.end();
    if (mIPTCcode.recordType() == 2)
        return std::find(application.begin(), application.end(), dataSet) != application.end();
    return false;
}

void cIPTCRecord::setString(const std::string& text)
{
    if (mIPTCcode.recordType() != 2)
        return;
    const std::int32_t dataSet = mIPTCcode.dataSetCode().value_or(-1);
    const auto rule = std::find_if(LengthRules.begin(), LengthRules.end(),
                                   [dataSet](const LengthRule& r) { return r.dataSet == dataSet; });
    if (rule == LengthRules.end())
        return;
    if (dataSet == 120)
        Log::format("setting str %s", Log::excerpt(text).c_str());
    setDataFromString(UnicodeText::utf16Prefix(paddedWithBlanks(text, rule->padTo), rule->cutTo));
}

void cIPTCRecord::setDataFromString(const std::string& text)
{
    if (mIPTCcode.recordType() != 2)
        return;
    const std::int32_t dataSet = mIPTCcode.dataSetCode().value_or(-1);
    if (dataSet == 0 || dataSet == 125 || dataSet == 202) {
        Log::format("attempted to set cIPTCRecord value from string, but it's a binary value and can't be set! "
                    "(record: %s)",
                    mIPTCcode.description().c_str());
        return;
    }
    if (text.empty()) {
        mData = Bytes{}; // empty text is empty in every encoding
        return;
    }
    auto bytes = StringEncodings::encode(text, mTextEncoding);
    mData = bytes ? std::optional<Bytes>(std::move(*bytes)) : std::nullopt;
}

} // namespace qm
