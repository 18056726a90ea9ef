// The export of the publication list as readable JSON.
#include "textgen/PublicationsJSON.h"

#include <charconv>
#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

#include "textgen/cIPTCCodeWithExtras.h"

namespace qm {

namespace {

using Json = nlohmann::ordered_json;
using Publications = PublicationsJSON::Publications;

Json text(const std::optional<std::string>& value)
{
    return value ? Json(*value) : Json();
}

// An artificial field by its identifier, a dataset as "R:D"; null for none.
Json codeText(const std::optional<cIPTCCode>& code)
{
    if (!code || !code->recordType() || !code->dataSetCode())
        return Json();
    if (auto identifier = cIPTCCodeWithExtras::identifier(*code))
        return *identifier;
    return std::to_string(*code->recordType()) + ":" + std::to_string(*code->dataSetCode());
}

Json numberOrIdentifier(std::int64_t number, const std::optional<std::string>& identifier)
{
    return identifier ? Json(*identifier) : Json(number);
}

// The shortest decimal that reads back as the same float, so that 0.1 stays 0.1.
Json distanceNumber(float value)
{
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    double number = value;
    std::from_chars(buffer, written.ptr, number);
    return number;
}

Json valuesText(const std::optional<PlistArray>& values)
{
    if (!values)
        return Json();
    Json list = Json::array();
    for (const auto& entry : *values)
        if (const PlistValue* value = entry.find("text"); value && value->string())
            list.push_back(*value->string());
    return list;
}

Json hotKeyObject(const std::shared_ptr<hotKey>& key)
{
    if (!key || !key->validHotKey() || !key->hotKeyEvent())
        return Json();
    const KeyEvent& event = *key->hotKeyEvent();
    Json object = Json::object();
    object["keyCode"] = event.keyCode;
    object["modifierFlags"] = event.modifierFlags;
    object["characters"] = event.charactersIgnoringModifiers;
    return object;
}

Json stringMember(const PlistValue& dictionary, std::string_view key)
{
    const PlistValue* value = dictionary.find(key);
    return value && value->string() ? Json(*value->string()) : Json();
}

Json searchReplaceList(const std::optional<PlistArray>& pairs)
{
    if (!pairs)
        return Json();
    Json list = Json::array();
    for (const auto& pair : *pairs) {
        const PlistValue* matchCase = pair.find("matchCase");
        Json object = Json::object();
        object["search"] = stringMember(pair, "search");
        object["replace"] = stringMember(pair, "replace");
        object["matchCase"] = matchCase && matchCase->asBoolean().value_or(false);
        list.push_back(std::move(object));
    }
    return list;
}

Json ruleObject(const iptcTextConcatSpec& rule)
{
    Json object = Json::object();
    object["prefix"] = text(rule.prefix());
    object["suffix"] = text(rule.suffix());
    object["IPTCField"] = codeText(rule.IPTCField());
    object["conditionalIPTCField"] = codeText(rule.conditionalIPTCField());
    object["conditionalValueArray"] = valuesText(rule.conditionalValueArray());
    object["condition"] = numberOrIdentifier(rule.condition(), iptcTextConcatSpec::conditionIdentifier(rule.condition()));
    object["IPTCTextToExtract"] = numberOrIdentifier(rule.IPTCTextToExtract(),
                                                     iptcTextConcatSpec::textPartIdentifier(rule.IPTCTextToExtract()));
    object["unicity"] = numberOrIdentifier(rule.unicity(), iptcTextConcatSpec::unicityIdentifier(rule.unicity()));
    object["caseSensitive"] = rule.caseSensitive();
    object["trim"] = rule.trim();
    object["breakIfConditionIsTrue"] = rule.breakIfConditionIsTrue();
    object["prefixRequiresPreviousText"] = rule.prefixRequiresPreviousText();
    return object;
}

Json rulesList(const std::optional<iptcTextConcatSpec::Array>& rules)
{
    if (!rules)
        return Json();
    Json list = Json::array();
    for (const auto& rule : *rules)
        if (rule)
            list.push_back(ruleObject(*rule));
    return list;
}

Json textBlockObject(const textBlockSpec& spec)
{
    Json object = Json::object();
    object["name"] = spec.name();
    object["paragraphStyleName"] = text(spec.paragraphStyleName());
    object["textColorSwatchName"] = text(spec.textColorSwatchName());
    object["objectStyleName"] = text(spec.objectStyleName());
    object["textGenerationAppleScript"] = text(spec.textGenerationAppleScript());
    object["prefix"] = text(spec.prefix());
    object["suffix"] = text(spec.suffix());
    object["frameIndependentDimension"] = distanceNumber(spec.frameIndependentDimension());
    object["horizontalGutter"] = distanceNumber(spec.horizontalGutter());
    object["verticalGutter"] = distanceNumber(spec.verticalGutter());
    object["textGenerationIPTCField"] = codeText(spec.textGenerationIPTCField());
    object["theHotKey"] = hotKeyObject(spec.theHotKey());
    object["fitFrameToContent"] = spec.fitFrameToContent();
    object["searchReplace"] = spec.searchReplace();
    object["insertEndOfNestedStyleCharacter"] = spec.insertEndOfNestedStyleCharacter();
    object["stripCRs"] = spec.stripCRs();
    object["display"] = spec.display();
    object["textSource"] = spec.textSource();
    object["position"] = spec.position();
    object["textAngle"] = spec.textAngle();
    object["verticalJustification"] = spec.verticalJustification();
    object["horizontalJustification"] = spec.horizontalJustification();
    object["textCase"] = spec.textCase();
    object["textWrap"] = spec.textWrap();
    object["textConcatSpecs"] = rulesList(spec.textConcatSpecs());
    object["searchReplaceSpecs"] = searchReplaceList(spec.searchReplaceSpecs());
    object["uniqueIDString"] = spec.uniqueIDString();
    return object;
}

template <typename Spec>
Json textBlockList(const std::vector<std::shared_ptr<Spec>>& specs)
{
    Json list = Json::array();
    for (const auto& spec : specs)
        if (spec)
            list.push_back(textBlockObject(*spec));
    return list;
}

Json publicationObject(const quillmarkPublication& publication)
{
    Json object = Json::object();
    object["name"] = publication.name();
    object["bylines"] = textBlockList(publication.bylines());
    object["captions"] = textBlockList(publication.captions());
    object["defaultBylineID"] = text(publication.defaultBylineID());
    object["defaultCaptionID"] = text(publication.defaultCaptionID());
    object["dragAndDropParagraphStyle"] = text(publication.dragAndDropParagraphStyle());
    object["useDragAndDropParagraphStyle"] = publication.useDragAndDropParagraphStyle();
    return object;
}

} // namespace

std::string PublicationsJSON::exportPublications(const Publications& publications)
{
    Json list = Json::array();
    for (const auto& publication : publications)
        if (publication)
            list.push_back(publicationObject(*publication));
    Json root = Json::object();
    root["publications"] = std::move(list);
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace qm
