#include "app/ScribusDocument.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>

#include "parsers/bufferedTinyXML.h"

namespace qm {

namespace {

constexpr const char* PictureFrameType = "2";

std::string attribute(const TiXmlElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value ? value : "";
}

std::optional<long> number(const TiXmlElement& element, const char* name)
{
    const std::string text = attribute(element, name);
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::size_t index(const TiXmlElement& element, const char* name)
{
    const auto value = number(element, name);
    return value && *value >= 0 ? static_cast<std::size_t>(*value) : 0;
}

bool isNamed(const TiXmlElement& element, const char* name)
{
    return element.ValueStr() == name;
}

ScribusPageNumbers::Section sectionOf(const TiXmlElement& element)
{
    ScribusPageNumbers::Section section;
    section.from = index(element, "From");
    section.to = index(element, "To");
    section.start = number(element, "Start").value_or(1);
    section.type = attribute(element, "Type");
    section.reversed = attribute(element, "Reversed") == "1";
    section.fillCharacter = static_cast<char32_t>(number(element, "FillChar").value_or(0));
    section.fieldWidth = index(element, "FieldWidth");
    return section;
}

} // namespace

// Collects the pictures of one DOCUMENT element.
class ScribusDocumentBuilder {
public:
    explicit ScribusDocumentBuilder(std::filesystem::path folder) : mFolder(std::move(folder)) {}

    ScribusDocument build(const TiXmlElement& document)
    {
        for (const TiXmlElement* child = document.FirstChildElement(); child; child = child->NextSiblingElement())
            take(*child);
        ScribusDocument result;
        result.mPageCount = mPageMasters.size();
        for (auto& [page, master] : mPageMasters)
            placeMasterPictures(page, master, result.mPictures);
        for (auto& picture : mPagePictures)
            if (mPageMasters.contains(picture.pageIndex))
                result.mPictures.push_back(std::move(picture));
        std::stable_sort(result.mPictures.begin(), result.mPictures.end(),
                         [](const auto& a, const auto& b) { return a.pageIndex < b.pageIndex; });
        for (auto& picture : result.mPictures)
            picture.pageNumber = mNumbers.label(picture.pageIndex);
        return result;
    }

private:
    struct MasterPicture {
        std::size_t masterIndex;
        ScribusDocument::Picture picture;
    };

    void take(const TiXmlElement& element)
    {
        if (isNamed(element, "PAGE"))
            mPageMasters[index(element, "NUM")] = attribute(element, "MNAM");
        else if (isNamed(element, "MASTERPAGE"))
            mMasterNames[index(element, "NUM")] = attribute(element, "NAM");
        else if (isNamed(element, "Sections"))
            for (const TiXmlElement* s = element.FirstChildElement("Section"); s; s = s->NextSiblingElement("Section"))
                mNumbers.addSection(sectionOf(*s));
        else if (isNamed(element, "PAGEOBJECT"))
            takeItem(element, false, std::nullopt);
        else if (isNamed(element, "MASTEROBJECT"))
            takeItem(element, true, std::nullopt);
    }

    // A group's items are nested PAGEOBJECT elements; an item without a page takes its group's.
    void takeItem(const TiXmlElement& item, bool onMaster, std::optional<long> groupPage)
    {
        const std::optional<long> page = number(item, "OwnPage") ? number(item, "OwnPage") : groupPage;
        const std::string file = attribute(item, "PFILE");
        if (attribute(item, "PTYPE") == PictureFrameType && !file.empty() && page && *page >= 0)
            keep(onMaster, static_cast<std::size_t>(*page), pictureOf(item, file));
        for (const TiXmlElement* child = item.FirstChildElement("PAGEOBJECT"); child;
             child = child->NextSiblingElement("PAGEOBJECT"))
            takeItem(*child, onMaster, page);
    }

    ScribusDocument::Picture pictureOf(const TiXmlElement& item, const std::string& file) const
    {
        ScribusDocument::Picture picture;
        picture.frameName = attribute(item, "ANNAME");
        picture.storedPath = file;
        const std::filesystem::path stored(file);
        picture.path = (stored.is_absolute() ? stored : mFolder / stored).lexically_normal();
        return picture;
    }

    void keep(bool onMaster, std::size_t page, ScribusDocument::Picture picture)
    {
        if (onMaster) {
            mMasterPictures.push_back({page, std::move(picture)});
            return;
        }
        picture.pageIndex = page;
        mPagePictures.push_back(std::move(picture));
    }

    void placeMasterPictures(std::size_t page, const std::string& master, std::vector<ScribusDocument::Picture>& out)
    {
        for (const auto& [masterIndex, picture] : mMasterPictures) {
            const auto name = mMasterNames.find(masterIndex);
            if (name == mMasterNames.end() || name->second != master)
                continue;
            out.push_back(picture);
            out.back().pageIndex = page;
            out.back().masterPage = master;
        }
    }

    std::filesystem::path mFolder;
    std::map<std::size_t, std::string> mPageMasters; // page index to its master page's name
    std::map<std::size_t, std::string> mMasterNames;
    ScribusPageNumbers mNumbers;
    std::vector<ScribusDocument::Picture> mPagePictures;
    std::vector<MasterPicture> mMasterPictures;
};

std::optional<ScribusDocument> ScribusDocument::fromText(std::string_view text, const std::filesystem::path& folder,
                                                         std::string& error)
{
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        error = "the document is too large";
        return std::nullopt;
    }
    if (text.starts_with("\x1f\x8b")) {
        error = "a compressed document (.sla.gz): unpack it with gunzip first";
        return std::nullopt;
    }
    bufferedTinyXML xml(nullptr, 0);
    if (!xml.LoadFromString(text.data(), static_cast<std::int32_t>(text.size()))) {
        error = xml.Error() && xml.ErrorRow() > 0
                    ? "damaged XML at line " + std::to_string(xml.ErrorRow()) + ": " + xml.ErrorDesc()
                    : "not an XML document";
        return std::nullopt;
    }
    const TiXmlElement* root = xml.RootElement();
    const TiXmlElement* document = root ? root->FirstChildElement("DOCUMENT") : nullptr;
    if (!root || root->ValueStr().rfind("SCRIBUS", 0) != 0 || !document) {
        error = "not a Scribus document";
        return std::nullopt;
    }
    return ScribusDocumentBuilder(folder).build(*document);
}

std::optional<ScribusDocument> ScribusDocument::read(const std::filesystem::path& file, std::string& error)
{
    std::error_code status;
    if (std::filesystem::is_directory(file, status)) {
        error = "it is a folder";
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot be read";
        return std::nullopt;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot be read";
        return std::nullopt;
    }
    return fromText(text, std::filesystem::absolute(file, status).parent_path(), error);
}

} // namespace qm
