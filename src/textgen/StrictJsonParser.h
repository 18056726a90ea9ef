#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace qm {

// Parses JSON keeping the order of object members, and refuses what a hand-written file may
// get wrong without the parser saying so: a key given twice in one object. Problems are told
// as "line L, column C: ..." or "PATH: given twice".
class StrictJsonParser {
public:
    using Json = nlohmann::ordered_json;

    static std::optional<Json> parse(std::string_view text, std::string& problem);
};

} // namespace qm
