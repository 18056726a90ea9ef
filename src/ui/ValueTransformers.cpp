#include "ui/ValueTransformers.h"

#include "textgen/TrimWhitespaceTransformer.h"
#include "textgen/URLToDisplayNameTransformer.h"
#include "textgen/textBlockSpecToUniqueIDStringTransformer.h"
#include "ui/IPTCFieldNameTransformer.h"

namespace qm {

// In the order of start-up. The transformer of stored application paths belongs to the
// application lists and is registered with them.
void registerValueTransformers(const UserDefaults& defaults)
{
    textBlockSpecToUniqueIDStringTransformer::registerTransformer();
    ValueTransformer::setValueTransformer(std::make_shared<URLToDisplayNameTransformer>(), URLToDisplayNameTransformer::Name);
    ValueTransformer::setValueTransformer(std::make_shared<URLToDisplayNameArrayTransformer>(),
                                          URLToDisplayNameArrayTransformer::Name);
    ValueTransformer::setValueTransformer(std::make_shared<TrimWhitespaceTransformer>(defaults),
                                          TrimWhitespaceTransformer::Name);
    ValueTransformer::setValueTransformer(std::make_shared<IPTCFieldNameTransformer>(defaults), IPTCFieldNameTransformer::Name);
}

} // namespace qm
