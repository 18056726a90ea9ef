#include "app/ScribusPageNumbers.h"

#include <algorithm>
#include <array>
#include <utility>

namespace qm {

namespace {

std::string roman(long number, bool upper)
{
    static constexpr std::array<std::pair<long, const char*>, 13> parts{{{1000, "m"}, {900, "cm"}, {500, "d"},
        {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}}};
    std::string text;
    for (const auto& [value, letters] : parts)
        for (; number >= value; number -= value)
            text += letters;
    if (upper)
        for (char& c : text)
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// 1 a, 26 z, 27 aa: bijective base 26.
std::string letters(long number, bool upper)
{
    std::string text;
    for (; number > 0; number = (number - 1) / 26)
        text.insert(text.begin(), static_cast<char>((upper ? 'A' : 'a') + (number - 1) % 26));
    return text;
}

std::string utf8(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string arabicIndic(long number)
{
    std::string text;
    for (char digit : std::to_string(number))
        text += digit == '-' ? std::string("-") : utf8(U'\u0660' + static_cast<char32_t>(digit - '0'));
    return text;
}

std::size_t characterCount(const std::string& text)
{
    std::size_t count = 0;
    for (unsigned char c : text)
        count += (c & 0xC0) != 0x80;
    return count;
}

bool isUsableCharacter(char32_t c)
{
    return c >= 0x20 && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

} // namespace

std::string ScribusPageNumbers::formatted(long number, const std::string& type)
{
    if (type == "Type_None")
        return {};
    if (number < 1 && type != "Type_1_2_3" && type != "Type_1_2_3_ar")
        return std::to_string(number);
    if (type == "Type_i_ii_iii" || type == "Type_I_II_III")
        return roman(number, type == "Type_I_II_III");
    if (type == "Type_a_b_c" || type == "Type_A_B_C")
        return letters(number, type == "Type_A_B_C");
    if (type == "Type_asterix")
        return std::string(static_cast<std::size_t>(std::min(number, 1000L)), '*');
    if (type == "Type_1_2_3_ar")
        return arabicIndic(number);
    return std::to_string(number);
}

std::string ScribusPageNumbers::label(std::size_t pageIndex) const
{
    for (const auto& section : mSections) {
        if (pageIndex < section.from || pageIndex > section.to)
            continue;
        const long offset = static_cast<long>(section.reversed ? section.to - pageIndex : pageIndex - section.from);
        std::string text = formatted(section.start + offset, section.type);
        if (section.fieldWidth > 0 && isUsableCharacter(section.fillCharacter))
            for (std::size_t count = characterCount(text); count < section.fieldWidth && count < 64; ++count)
                text.insert(0, utf8(section.fillCharacter));
        return text;
    }
    return std::to_string(pageIndex + 1);
}

} // namespace qm
