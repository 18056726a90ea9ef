// The import of the publication list from readable JSON: the whole file or nothing.
#include "textgen/PublicationsJSON.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>
#include <map>
#include <set>

#include "foundation/Bundle.h"
#include "foundation/Uuid.h"
#include "textgen/StrictJsonParser.h"
#include "textgen/cIPTCCodeWithExtras.h"

namespace qm {

namespace {

using Json = StrictJsonParser::Json;
using Publications = PublicationsJSON::Publications;

// A file refused by one of its elements.
struct Refusal {
    std::string message;
};

[[noreturn]] void refuse(const std::string& path, const std::string& problem)
{
    throw Refusal{path + ": " + problem};
}

std::string found(const Json& value)
{
    if (value.is_array())
        return "a list";
    if (value.is_object())
        return "an object";
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

[[noreturn]] void refuseType(const Json& value, const std::string& path, std::string_view expected)
{
    refuse(path, "expected " + std::string(expected) + ", found " + found(value));
}

std::string string(const Json& value, const std::string& path)
{
    if (!value.is_string())
        refuseType(value, path, "a string");
    return value.get<std::string>();
}

std::optional<std::string> optionalString(const Json& value, const std::string& path)
{
    if (value.is_null())
        return std::nullopt;
    if (!value.is_string())
        refuseType(value, path, "a string or null");
    return value.get<std::string>();
}

bool boolean(const Json& value, const std::string& path)
{
    if (!value.is_boolean())
        refuseType(value, path, "true or false");
    return value.get<bool>();
}

std::int64_t integer(const Json& value, const std::string& path)
{
    if (value.is_number_unsigned() && value.get<std::uint64_t>() > std::numeric_limits<std::int64_t>::max())
        refuse(path, "number out of range");
    if (!value.is_number_integer())
        refuseType(value, path, "a whole number");
    return value.get<std::int64_t>();
}

std::int64_t integerInRange(const Json& value, const std::string& path, std::int64_t lowest, std::int64_t highest)
{
    const std::int64_t number = integer(value, path);
    if (number < lowest || number > highest)
        refuse(path, "expected a number from " + std::to_string(lowest) + " to " + std::to_string(highest) + ", found " +
                         std::to_string(number));
    return number;
}

std::int64_t enumeration(const Json& value, const std::string& path,
                         std::optional<std::int64_t> (*forIdentifier)(std::string_view))
{
    if (value.is_string()) {
        const auto& identifier = value.get_ref<const std::string&>();
        if (auto number = forIdentifier(identifier))
            return *number;
        refuse(path, "unknown value \"" + identifier + "\"");
    }
    if (!value.is_number_integer())
        refuseType(value, path, "an identifier or a whole number");
    return integer(value, path);
}

float readDistance(const Json& value, const std::string& path)
{
    if (!value.is_number())
        refuseType(value, path, "a number");
    const double number = value.get<double>();
    if (!std::isfinite(number) || std::fabs(number) > std::numeric_limits<float>::max())
        refuse(path, "number out of range");
    return static_cast<float>(number);
}

std::optional<std::int32_t> datasetNumber(std::string_view digits)
{
    std::int32_t number = 0;
    const auto end = digits.data() + digits.size();
    const auto parsed = std::from_chars(digits.data(), end, number);
    if (digits.empty() || digits.size() > 3 || parsed.ec != std::errc() || parsed.ptr != end || number > 255)
        return std::nullopt;
    return number;
}

std::optional<cIPTCCode> code(const Json& value, const std::string& path)
{
    if (value.is_null())
        return std::nullopt;
    if (!value.is_string())
        refuseType(value, path, "a dataset such as \"2:120\", an artificial field or null");
    const auto& written = value.get_ref<const std::string&>();
    if (auto artificial = cIPTCCodeWithExtras::codeForIdentifier(written))
        return artificial;
    const auto colon = written.find(':');
    if (colon == std::string::npos)
        refuse(path, "unknown value \"" + written + "\"");
    const auto record = datasetNumber(std::string_view(written).substr(0, colon));
    const auto dataSet = datasetNumber(std::string_view(written).substr(colon + 1));
    if (!record || !dataSet)
        refuse(path, "bad dataset \"" + written + "\": write RECORD:DATASET with numbers from 0 to 255, as in 2:120");
    return cIPTCCode(*record, *dataSet);
}

std::optional<PlistArray> conditionalValues(const Json& value, const std::string& path)
{
    if (value.is_null())
        return std::nullopt;
    if (!value.is_array())
        refuseType(value, path, "a list of strings or null");
    PlistArray values;
    for (std::size_t index = 0; index < value.size(); ++index)
        values.push_back(PlistDictionary{{"text", PlistValue(string(value[index], path + "[" + std::to_string(index) + "]"))}});
    return values;
}

// The members of one JSON object; a member the object may not have refuses the file.
class Object {
public:
    Object(const Json& value, std::string path, std::initializer_list<std::string_view> fields)
        : mValue(value), mPath(std::move(path))
    {
        if (!value.is_object())
            refuseType(value, mPath, "an object");
        for (const auto& member : value.items())
            if (std::find(fields.begin(), fields.end(), member.key()) == fields.end())
                refuse(pathOf(member.key()), "unknown field");
    }

    const Json* find(std::string_view key) const
    {
        const auto found = mValue.find(std::string(key));
        return found == mValue.end() ? nullptr : &*found;
    }

    std::string pathOf(std::string_view key) const { return mPath.empty() ? std::string(key) : mPath + "." + std::string(key); }

    // Hands the member read by `reader` to `apply`; a missing member leaves the default alone.
    template <typename Reader, typename Apply>
    void read(std::string_view key, Reader reader, Apply apply) const
    {
        if (const Json* value = find(key))
            apply(reader(*value, pathOf(key)));
    }

private:
    const Json& mValue;
    std::string mPath;
};

std::shared_ptr<hotKey> hotKeyOf(const Json& value, const std::string& path)
{
    if (value.is_null())
        return std::make_shared<hotKey>();
    const Object object(value, path, {"keyCode", "modifierFlags", "characters"});
    KeyEvent event;
    event.type = KeyEvent::KeyDown;
    if (!object.find("keyCode"))
        refuse(object.pathOf("keyCode"), "missing");
    object.read("keyCode", [](const Json& v, const std::string& p) { return integerInRange(v, p, 0, 0xFFFF); },
                [&](std::int64_t keyCode) { event.keyCode = static_cast<std::uint16_t>(keyCode); });
    object.read("modifierFlags",
                [](const Json& v, const std::string& p) { return integerInRange(v, p, 0, std::numeric_limits<std::int64_t>::max()); },
                [&](std::int64_t flags) { event.modifierFlags = static_cast<std::uint64_t>(flags); });
    object.read("characters", string, [&](std::string characters) { event.charactersIgnoringModifiers = std::move(characters); });
    return std::make_shared<hotKey>(event);
}

std::optional<PlistArray> searchReplacePairs(const Json& value, const std::string& path)
{
    if (value.is_null())
        return std::nullopt;
    if (!value.is_array())
        refuseType(value, path, "a list or null");
    PlistArray pairs;
    for (std::size_t index = 0; index < value.size(); ++index) {
        const Object object(value[index], path + "[" + std::to_string(index) + "]", {"search", "replace", "matchCase"});
        PlistDictionary pair{{"matchCase", PlistValue(false)}};
        object.read("search", optionalString, [&](auto search) { if (search) pair["search"] = PlistValue(*search); });
        object.read("replace", optionalString, [&](auto replace) { if (replace) pair["replace"] = PlistValue(*replace); });
        object.read("matchCase", boolean, [&](bool matchCase) { pair["matchCase"] = PlistValue(matchCase); });
        pairs.push_back(std::move(pair));
    }
    return pairs;
}

iptcTextConcatSpec::Pointer readRule(const Json& value, const std::string& path)
{
    const Object object(value, path,
                        {"prefix", "suffix", "IPTCField", "conditionalIPTCField", "conditionalValueArray", "condition",
                         "IPTCTextToExtract", "unicity", "caseSensitive", "trim", "breakIfConditionIsTrue",
                         "prefixRequiresPreviousText"});
    auto rule = iptcTextConcatSpec::create();
    iptcTextConcatSpec& r = *rule;
    object.read("prefix", optionalString, [&](auto v) { r.setPrefix(std::move(v)); });
    object.read("suffix", optionalString, [&](auto v) { r.setSuffix(std::move(v)); });
    object.read("IPTCField", code, [&](auto v) { r.setIPTCField(v); });
    object.read("conditionalIPTCField", code, [&](auto v) { r.setConditionalIPTCField(v); });
    object.read("conditionalValueArray", conditionalValues, [&](auto v) { r.setConditionalValueArray(std::move(v)); });
    object.read("condition",
                [](const Json& v, const std::string& p) { return enumeration(v, p, &iptcTextConcatSpec::conditionForIdentifier); },
                [&](auto v) { r.setCondition(v); });
    object.read("IPTCTextToExtract",
                [](const Json& v, const std::string& p) { return enumeration(v, p, &iptcTextConcatSpec::textPartForIdentifier); },
                [&](auto v) { r.setIPTCTextToExtract(v); });
    object.read("unicity",
                [](const Json& v, const std::string& p) { return enumeration(v, p, &iptcTextConcatSpec::unicityForIdentifier); },
                [&](auto v) { r.setUnicity(v); });
    object.read("caseSensitive", boolean, [&](bool v) { r.setCaseSensitive(v); });
    object.read("trim", boolean, [&](bool v) { r.setTrim(v); });
    object.read("breakIfConditionIsTrue", boolean, [&](bool v) { r.setBreakIfConditionIsTrue(v); });
    object.read("prefixRequiresPreviousText", boolean, [&](bool v) { r.setPrefixRequiresPreviousText(v); });
    return rule;
}

std::optional<iptcTextConcatSpec::Array> readRules(const Json& value, const std::string& path)
{
    if (value.is_null())
        return std::nullopt;
    if (!value.is_array())
        refuseType(value, path, "a list or null");
    iptcTextConcatSpec::Array list;
    for (std::size_t index = 0; index < value.size(); ++index)
        list.push_back(readRule(value[index], path + "[" + std::to_string(index) + "]"));
    return list;
}

// Reads one file's publications, keeping track of the text blocks' identifiers across it.
class Importer {
public:
    Publications publications(const Json& root)
    {
        if (!root.is_object())
            refuseType(root, "top level", "an object with \"publications\"");
        const Object object(root, "", {"publications"});
        const Json* list = object.find("publications");
        if (!list)
            refuse("publications", "missing");
        if (!list->is_array())
            refuseType(*list, "publications", "a list");
        Publications result;
        for (std::size_t index = 0; index < list->size(); ++index)
            result.push_back(readPublication((*list)[index], "publications[" + std::to_string(index) + "]"));
        for (const auto& publication : result) {
            publication->setDefaultBylineID(followingRenames(publication->defaultBylineID()));
            publication->setDefaultCaptionID(followingRenames(publication->defaultCaptionID()));
        }
        return result;
    }

private:
    quillmarkPublication::Pointer readPublication(const Json& value, const std::string& path)
    {
        const Object object(value, path,
                            {"name", "bylines", "captions", "defaultBylineID", "defaultCaptionID", "defaultByline",
                             "defaultCaption", "dragAndDropParagraphStyle", "useDragAndDropParagraphStyle"});
        // A publication's defaults: the bylines and captions of a new one unless the file gives them.
        auto publication = quillmarkPublication::create();
        quillmarkPublication& p = *publication;
        object.read("name", string, [&](auto v) { p.setName(std::move(v)); });
        object.read("bylines", [&](const Json& v, const std::string& at) { return readTextBlocks<textBlockSpec_Byline>(v, at); },
                    [&](auto v) { p.setBylines(std::move(v)); });
        object.read("captions", [&](const Json& v, const std::string& at) { return readTextBlocks<textBlockSpec_Caption>(v, at); },
                    [&](auto v) { p.setCaptions(std::move(v)); });
        p.setDefaultBylineID(defaultIdentifier(object, "defaultBylineID", "defaultByline", p.bylines(), "byline"));
        p.setDefaultCaptionID(defaultIdentifier(object, "defaultCaptionID", "defaultCaption", p.captions(), "caption"));
        object.read("dragAndDropParagraphStyle", optionalString, [&](auto v) { p.setDragAndDropParagraphStyle(std::move(v)); });
        object.read("useDragAndDropParagraphStyle", boolean, [&](bool v) { p.setUseDragAndDropParagraphStyle(v); });
        return publication;
    }

    template <typename Spec>
    std::vector<std::shared_ptr<Spec>> readTextBlocks(const Json& value, const std::string& path)
    {
        if (!value.is_array())
            refuseType(value, path, "a list");
        std::vector<std::shared_ptr<Spec>> specs;
        for (std::size_t index = 0; index < value.size(); ++index) {
            auto spec = Spec::create();
            readTextBlock(*spec, value[index], path + "[" + std::to_string(index) + "]");
            specs.push_back(std::move(spec));
        }
        return specs;
    }

    void readTextBlock(textBlockSpec& s, const Json& value, const std::string& path)
    {
        const Object object(value, path,
                            {"name", "paragraphStyleName", "textColorSwatchName", "objectStyleName",
                             "textGenerationAppleScript", "prefix", "suffix", "frameIndependentDimension",
                             "horizontalGutter", "verticalGutter", "textGenerationIPTCField", "theHotKey",
                             "fitFrameToContent", "searchReplace", "insertEndOfNestedStyleCharacter", "stripCRs",
                             "display", "textSource", "position", "textAngle", "verticalJustification",
                             "horizontalJustification", "textCase", "textWrap", "textConcatSpecs",
                             "searchReplaceSpecs", "uniqueIDString"});
        object.read("name", string, [&](auto v) { s.setName(std::move(v)); });
        object.read("paragraphStyleName", optionalString, [&](auto v) { s.setParagraphStyleName(std::move(v)); });
        object.read("textColorSwatchName", optionalString, [&](auto v) { s.setTextColorSwatchName(std::move(v)); });
        object.read("objectStyleName", optionalString, [&](auto v) { s.setObjectStyleName(std::move(v)); });
        object.read("textGenerationAppleScript", optionalString, [&](auto v) { s.setTextGenerationAppleScript(std::move(v)); });
        object.read("prefix", optionalString, [&](auto v) { s.setPrefix(std::move(v)); });
        object.read("suffix", optionalString, [&](auto v) { s.setSuffix(std::move(v)); });
        object.read("frameIndependentDimension", readDistance, [&](float v) { s.setFrameIndependentDimension(v); });
        object.read("horizontalGutter", readDistance, [&](float v) { s.setHorizontalGutter(v); });
        object.read("verticalGutter", readDistance, [&](float v) { s.setVerticalGutter(v); });
        object.read("textGenerationIPTCField", code, [&](auto v) { s.setTextGenerationIPTCField(v); });
        object.read("theHotKey", hotKeyOf, [&](auto v) { s.setTheHotKey(std::move(v)); });
        object.read("fitFrameToContent", boolean, [&](bool v) { s.setFitFrameToContent(v); });
        object.read("searchReplace", boolean, [&](bool v) { s.setSearchReplace(v); });
        object.read("insertEndOfNestedStyleCharacter", boolean, [&](bool v) { s.setInsertEndOfNestedStyleCharacter(v); });
        object.read("stripCRs", boolean, [&](bool v) { s.setStripCRs(v); });
        object.read("display", boolean, [&](bool v) { s.setDisplay(v); });
        object.read("textSource", integer, [&](auto v) { s.setTextSource(v); });
        object.read("position", integer, [&](auto v) { s.setPosition(v); });
        object.read("textAngle", integer, [&](auto v) { s.setTextAngle(v); });
        object.read("verticalJustification", integer, [&](auto v) { s.setVerticalJustification(v); });
        object.read("horizontalJustification", integer, [&](auto v) { s.setHorizontalJustification(v); });
        object.read("textCase", integer, [&](auto v) { s.setTextCase(v); });
        object.read("textWrap", integer, [&](auto v) { s.setTextWrap(v); });
        object.read("textConcatSpecs", readRules, [&](auto v) { s.setTextConcatSpecs(std::move(v)); });
        object.read("searchReplaceSpecs", searchReplacePairs, [&](auto v) { s.setSearchReplaceSpecs(std::move(v)); });
        object.read("uniqueIDString", optionalString, [&](auto v) {
            if (v)
                adoptIdentifier(s, *v, object.pathOf("uniqueIDString"));
        });
    }

    // The file's identifier, unless a live text block has it: then the fresh one stays, and the
    // defaults that name the file's identifier follow.
    void adoptIdentifier(textBlockSpec& spec, const std::string& written, const std::string& path)
    {
        const auto identifier = Uuid::fromString(written);
        if (!identifier)
            refuse(path, "\"" + written + "\" is not an identifier (8-4-4-4-12 hexadecimal digits)");
        const std::string canonical = identifier->string();
        if (auto [seen, added] = mIdentifierPaths.emplace(canonical, path); !added)
            refuse(path, "\"" + written + "\" is also the identifier of " + seen->second);
        if (textBlockSpec::findRegisteredSpecWithUniqueID(canonical))
            mRenamed[canonical] = spec.uniqueIDString();
        else
            spec.setUniqueID(*identifier);
    }

    template <typename Spec>
    static std::optional<std::string> defaultIdentifier(const Object& object, const char* identifierKey,
                                                        const char* nameKey,
                                                        const std::vector<std::shared_ptr<Spec>>& specs,
                                                        const std::string& kind)
    {
        std::optional<std::string> identifier, name;
        object.read(identifierKey, optionalString, [&](auto v) { identifier = std::move(v); });
        object.read(nameKey, optionalString, [&](auto v) { name = std::move(v); });
        if (identifier && name)
            refuse(object.pathOf(nameKey), std::string("give either ") + identifierKey + " or " + nameKey + ", not both");
        if (name)
            return identifierOfNamed(specs, *name, object.pathOf(nameKey), kind);
        if (!identifier)
            return std::nullopt;
        const auto uuid = Uuid::fromString(*identifier);
        if (!uuid)
            refuse(object.pathOf(identifierKey), "\"" + *identifier + "\" is not an identifier (to name the " + kind +
                                                     ", write " + nameKey + ")");
        return uuid->string();
    }

    template <typename Spec>
    static std::string identifierOfNamed(const std::vector<std::shared_ptr<Spec>>& specs, const std::string& name,
                                         const std::string& path, const std::string& kind)
    {
        std::shared_ptr<Spec> named;
        std::size_t count = 0;
        for (const auto& spec : specs)
            if (spec->name() == name && count++ == 0)
                named = spec;
        if (count == 0)
            refuse(path, "no " + kind + " of the publication is named \"" + name + "\"");
        if (count > 1)
            refuse(path, std::to_string(count) + " " + kind + "s of the publication are named \"" + name + "\"");
        return named->uniqueIDString();
    }

    std::optional<std::string> followingRenames(const std::optional<std::string>& identifier) const
    {
        if (!identifier)
            return identifier;
        const auto renamed = mRenamed.find(*identifier);
        return renamed == mRenamed.end() ? identifier : std::optional(renamed->second);
    }

    std::map<std::string, std::string> mIdentifierPaths; // the file's identifiers, where each was given
    std::map<std::string, std::string> mRenamed;         // file identifier -> the one its text block got
};

} // namespace

PublicationsJSON::ImportResult PublicationsJSON::importPublications(std::string_view json)
{
    std::string problem;
    const auto root = StrictJsonParser::parse(json, problem);
    if (!root)
        return {std::nullopt, problem};
    try {
        return {Importer().publications(*root), {}};
    } catch (const Refusal& refusal) {
        return {std::nullopt, refusal.message};
    } catch (const std::exception& error) {
        return {std::nullopt, std::string("cannot read the publications: ") + error.what()};
    }
}

} // namespace qm
