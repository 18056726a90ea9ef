#include "applications/applicationInstancePathTransformer.h"

#include "applications/applicationInstancePath.h"

namespace qm {

namespace {

std::any pathOf(const applicationInstancePath& application)
{
    return application.path() ? std::any(*application.path()) : std::any();
}

} // namespace

std::any applicationInstancePathTransformer::transformedValue(const std::any& value) const
{
    if (std::any_cast<NullMarker>(&value))
        return value;
    const auto* application = std::any_cast<applicationInstancePath::Pointer>(&value);
    return application && *application ? pathOf(**application) : std::any();
}

std::any applicationInstancePathFromDataTransformer::transformedValue(const std::any& value) const
{
    if (std::any_cast<NullMarker>(&value))
        return value;
    const auto* data = std::any_cast<PlistData>(&value);
    if (!data)
        return {};
    const auto application = unarchiveObject<applicationInstancePath>(*data);
    return application ? pathOf(*application) : std::any(NullMarker{});
}

void registerApplicationInstancePathTransformers()
{
    ValueTransformer::setValueTransformer(std::make_shared<applicationInstancePathTransformer>(),
                                          applicationInstancePathTransformer::Name);
    ValueTransformer::setValueTransformer(std::make_shared<applicationInstancePathFromDataTransformer>(),
                                          applicationInstancePathFromDataTransformer::Name);
}

} // namespace qm
