#pragma once

#include <memory>
#include <string>
#include <vector>

#include "foundation/Bundle.h"
#include "foundation/StringFormat.h"

namespace qm {

// Names for new text blocks that the list they join does not have yet.
class TextBlockNaming {
public:
    // The localized base name, else "<base> 1", "<base> 2", ... (exact comparison).
    template <typename Spec>
    static std::string unusedName(const char* baseKey, const std::vector<std::shared_ptr<Spec>>& existing)
    {
        const std::string base = Bundle::main().localizedString(baseKey);
        const std::string numbered = Bundle::main().localizedString("%@ %d");
        std::string candidate = base;
        for (int number = 1; isTaken(candidate, existing); ++number)
            candidate = formatText(numbered, {base, std::to_string(number)});
        return candidate;
    }

private:
    template <typename Spec>
    static bool isTaken(const std::string& name, const std::vector<std::shared_ptr<Spec>>& existing)
    {
        for (const auto& spec : existing)
            if (spec && spec->name() == name)
                return true;
        return false;
    }
};

} // namespace qm
