#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace qm {

// The meaning of the integer codes a text block passes to "maketextbox" for the frame's position,
// text angle, justifications and text wrap. The layout script reads the same table from
// layout/scribus/layout_codes.json, written from this one (`quillmark-cli layout codes --json`).
class LayoutCodes {
public:
    struct Choice {
        std::int64_t code;
        std::string key;   // the layout script's name of the choice
        std::string title; // the bylines pane's and the documentation's
    };
    struct Field {
        std::string name; // the text block's field
        std::string description;
        std::vector<Choice> choices; // the first one is the default, code 0
    };

    static const std::vector<Field>& fields();
    static const Field* field(const std::string& name);
    // The choice of that code, or the field's default for a code the table lacks.
    static const Choice& choice(const Field& field, std::int64_t code);

    // {"FIELD": {"description": …, "choices": [{"code": 0, "key": …, "title": …}, …]}, …}
    static nlohmann::json json();
};

} // namespace qm
