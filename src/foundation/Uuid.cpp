#include "foundation/Uuid.h"

#include <random>

namespace qm {

namespace {

constexpr bool isDashPosition(std::size_t index)
{
    return index == 8 || index == 13 || index == 18 || index == 23;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Uuid Uuid::random()
{
    thread_local std::mt19937_64 generator{[] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }()};
    Uuid uuid;
    for (std::size_t i = 0; i < uuid.mBytes.size(); i += 8) {
        const std::uint64_t bits = generator();
        for (std::size_t j = 0; j < 8; ++j)
            uuid.mBytes[i + j] = static_cast<std::uint8_t>(bits >> (8 * j));
    }
    uuid.mBytes[6] = static_cast<std::uint8_t>((uuid.mBytes[6] & 0x0F) | 0x40);
    uuid.mBytes[8] = static_cast<std::uint8_t>((uuid.mBytes[8] & 0x3F) | 0x80);
    return uuid;
}

std::optional<Uuid> Uuid::fromString(std::string_view text)
{
    if (text.size() != 36)
        return std::nullopt;
    Uuid uuid;
    std::size_t byte = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (isDashPosition(i)) {
            if (text[i++] != '-')
                return std::nullopt;
            continue;
        }
        const int high = hexValue(text[i]);
        const int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        uuid.mBytes[byte++] = static_cast<std::uint8_t>(high << 4 | low);
        i += 2;
    }
    return uuid;
}

std::string Uuid::string() const
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < mBytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += digits[mBytes[i] >> 4];
        text += digits[mBytes[i] & 0x0F];
    }
    return text;
}

} // namespace qm
