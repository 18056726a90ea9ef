#include "bridge/LayoutCodes.h"

#include <algorithm>

namespace qm {

const std::vector<LayoutCodes::Field>& LayoutCodes::fields()
{
    static const std::vector<Field> table{
        {"position",
         "where the frame goes relative to the selected picture; the horizontal gutter is the distance to "
         "the picture's side (left, right) or the inset from both sides (inside), the vertical gutter the "
         "distance to its bottom or top edge; frameIndependentDimension is the frame's size across that "
         "edge in points (0: the picture's own)",
         {{0, "below", "Below the picture"},
          {1, "above", "Above the picture"},
          {2, "left", "Left of the picture"},
          {3, "right", "Right of the picture"},
          {4, "insideBottom", "Inside the picture, at the bottom"},
          {5, "insideTop", "Inside the picture, at the top"}}},
        {"textAngle",
         "the frame's rotation, counter-clockwise",
         {{0, "0", "0°"}, {1, "90", "90° (reads upwards)"}, {2, "180", "180°"}, {3, "270", "270° (reads downwards)"}}},
        {"verticalJustification",
         "where the text sits in the frame's height",
         {{0, "top", "Top"}, {1, "center", "Centre"}, {2, "bottom", "Bottom"}}},
        {"horizontalJustification",
         "the alignment of the frame's paragraphs",
         {{0, "left", "Left"},
          {1, "center", "Centre"},
          {2, "right", "Right"},
          {3, "justified", "Justified"},
          {4, "forced", "Forced justified"}}},
        {"textWrap",
         "whether text of other frames flows around the frame",
         {{0, "none", "No text wrap"}, {1, "aroundFrame", "Wrap around the frame"}}},
    };
    return table;
}

const LayoutCodes::Field* LayoutCodes::field(const std::string& name)
{
    const auto& all = fields();
    const auto found = std::find_if(all.begin(), all.end(), [&](const Field& field) { return field.name == name; });
    return found == all.end() ? nullptr : &*found;
}

const LayoutCodes::Choice& LayoutCodes::choice(const Field& field, std::int64_t code)
{
    const auto found = std::find_if(field.choices.begin(), field.choices.end(),
                                    [code](const Choice& choice) { return choice.code == code; });
    return found == field.choices.end() ? field.choices.front() : *found;
}

nlohmann::json LayoutCodes::json()
{
    auto table = nlohmann::json::object();
    for (const auto& field : fields()) {
        auto choices = nlohmann::json::array();
        for (const auto& choice : field.choices)
            choices.push_back({{"code", choice.code}, {"key", choice.key}, {"title", choice.title}});
        table[field.name] = {{"description", field.description}, {"choices", choices}};
    }
    return table;
}

} // namespace qm
