#include "bridge/PagePictures.h"

namespace qm {

namespace {

std::optional<PagePictures::Picture> pictureFrom(const nlohmann::json& item)
{
    if (!item.is_object() || !item.value("name", nlohmann::json()).is_string() ||
        !item.value("image", nlohmann::json()).is_string())
        return std::nullopt;
    PagePictures::Picture picture{item["name"].get<std::string>(), item["image"].get<std::string>(), {}};
    for (const auto& role : item.value("made", nlohmann::json::array()))
        if (role.is_string())
            picture.madeRoles.insert(role.get<std::string>());
    return picture;
}

} // namespace

std::optional<PagePictures> PagePictures::fromResult(const nlohmann::json& result)
{
    if (!result.is_object() || !result.value("pictures", nlohmann::json()).is_array() ||
        !result.value("page", nlohmann::json()).is_number_integer())
        return std::nullopt;
    PagePictures listing;
    listing.documentName = result.value("document", nlohmann::json("")).is_string() ? result.value("document", "") : "";
    listing.page = result["page"].get<std::int32_t>();
    listing.pageCount = result.value("pages", nlohmann::json(0)).is_number_integer() ? result.value("pages", 0) : 0;
    for (const auto& item : result["pictures"]) {
        auto picture = pictureFrom(item);
        if (!picture)
            return std::nullopt;
        listing.pictures.push_back(std::move(*picture));
    }
    return listing;
}

nlohmann::json PageFrame::toJson() const
{
    // The 14 settings after the instance name; the role travels on its own.
    const auto& list = textFrame.list();
    nlohmann::json settings = nlohmann::json::array();
    for (std::size_t index = 1; index < list.size() && index <= SettingsCount; ++index)
        settings.push_back(list[index]);
    return {{"picture", picture}, {"role", role}, {"settings", settings}};
}

} // namespace qm
