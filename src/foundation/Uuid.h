#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// A universally unique identifier, written in the canonical form 8-4-4-4-12 in upper-case hex.
class Uuid {
public:
    static Uuid random(); // version 4
    // Accepts either case; absent for anything else than the canonical form.
    static std::optional<Uuid> fromString(std::string_view text);

    std::string string() const;
    bool operator==(const Uuid&) const = default;

private:
    std::array<std::uint8_t, 16> mBytes{};
};

} // namespace qm
