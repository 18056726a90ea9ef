#include "ui/IPTCFieldNameTransformer.h"

#include "app/CustomIPTCFilter.h"
#include "metadata/cIPTCCode.h"

namespace qm {

std::any IPTCFieldNameTransformer::transformedValue(const std::any& value) const
{
    const auto* code = std::any_cast<cIPTCCode>(&value);
    if (!code)
        return {};
    return CustomIPTCFilter::labelForCode(*code, mDefaults);
}

} // namespace qm
