#include "foundation/ValueTransformer.h"

#include <map>
#include <mutex>

namespace qm {

namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<ValueTransformer>, std::less<>> transformers;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

} // namespace

void ValueTransformer::setValueTransformer(std::shared_ptr<ValueTransformer> transformer, std::string name)
{
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    if (transformer)
        r.transformers.insert_or_assign(std::move(name), std::move(transformer));
    else
        r.transformers.erase(name);
}

std::shared_ptr<ValueTransformer> ValueTransformer::valueTransformerForName(std::string_view name)
{
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto found = r.transformers.find(name);
    return found == r.transformers.end() ? nullptr : found->second;
}

} // namespace qm
