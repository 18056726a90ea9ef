#include "textgen/TrimWhitespaceTransformer.h"

#include <string>

#include "foundation/UnicodeText.h"
#include "foundation/UserDefaults.h"

namespace qm {

std::any TrimWhitespaceTransformer::transformedValue(const std::any& value) const
{
    const auto* text = std::any_cast<std::string>(&value);
    if (!text)
        return value;
    return mDefaults.boolForKey("trimWhitespace") ? UnicodeText::trimmed(*text) : *text;
}

} // namespace qm
