#pragma once

#include <cstdint>
#include <string_view>

#include <nlohmann/json.hpp>

namespace qm {

// The argument list of a layout script call, each value with the type the script expects:
// texts as JSON strings, 32-bit integers as JSON integers, 32-bit floats as JSON numbers written
// with a fraction or an exponent (12.0), booleans as JSON booleans.
class LayoutArguments {
public:
    LayoutArguments& text(std::string_view value);
    LayoutArguments& integer(std::int32_t value);
    LayoutArguments& real(float value);
    LayoutArguments& boolean(bool value);
    // A list or object already made of values of the types above.
    LayoutArguments& value(nlohmann::json value);

    const nlohmann::json& list() const { return mList; }

private:
    nlohmann::json mList = nlohmann::json::array();
};

} // namespace qm
