#include <gtest/gtest.h>

#include "textgen/PublicationsJSON.h"
#include "textgen/TextgenFixtures.h"

namespace qm {
namespace {

using test::field;
using test::rule;

// Every kind of value a publication list holds, none of them at its default.
PublicationStore::Publications richPublications()
{
    auto first = rule({.extracted = cIPTCCodeWithExtras::matchedIPTCField, .conditional = cIPTCCodeWithExtras::anyIPTCField,
                       .condition = iptcTextConcatSpec::conditionContains, .values = "AP||Reuters",
                       .part = iptcTextConcatSpec::textAfterMatch, .unicity = iptcTextConcatSpec::unicityNotInText,
                       .prefix = "Photo: ", .suffix = "", .caseSensitive = true, .trim = true, .breakIfTrue = true,
                       .prefixRequiresPreviousText = true});
    auto odd = rule({.extracted = 80, .conditional = cIPTCCodeWithExtras::imageFileNameField, .condition = 99,
                     .part = 42, .unicity = 2});
    auto byline = textBlockSpec_Byline::create();
    byline->setName("Agency \"wire\"\tbyline");
    byline->setParagraphStyleName("Byline");
    byline->setSuffix(" ©");
    byline->setFrameIndependentDimension(0.1f);
    byline->setVerticalGutter(-2.75f);
    byline->setTextGenerationIPTCField(cIPTCCode(2, 110));
    byline->setTheHotKey(std::make_shared<hotKey>(KeyEvent{KeyEvent::KeyDown, 11, ModifierFlag::Command | ModifierFlag::Shift, "b"}));
    byline->setSearchReplace(true);
    byline->setStripCRs(true);
    byline->setDisplay(false);
    byline->setTextSource(textBlockSpec::textSourceRules);
    byline->setTextCase(3);
    byline->setTextWrap(257);
    byline->setTextConcatSpecs(iptcTextConcatSpec::Array{first, odd});
    byline->setSearchReplaceSpecs(PlistArray{PlistDictionary{{"search", "AFP"}, {"replace", "Agence"}, {"matchCase", true}},
                                             PlistDictionary{{"search", "x"}, {"matchCase", false}}});
    auto empty = textBlockSpec_Byline::create();
    empty->setTextConcatSpecs(iptcTextConcatSpec::Array{});
    auto publication = quillmarkPublication::createEmpty();
    publication->setName("Zeitung");
    publication->setBylines({byline, empty});
    publication->setDefaultBylineID(empty->uniqueIDString());
    publication->setDragAndDropParagraphStyle("Caption");
    publication->setUseDragAndDropParagraphStyle(true);
    return {publication, quillmarkPublication::create()};
}

PublicationStore::Publications imported(const std::string& json)
{
    auto result = PublicationsJSON::importPublications(json);
    EXPECT_TRUE(result) << result.error;
    return result.publications.value_or(PublicationStore::Publications{});
}

std::string withPublication(const std::string& members)
{
    return R"({"publications": [{)" + members + "}]}";
}

TEST(PublicationsJSON, ExportImportExportGivesTheSameText)
{
    std::string exported;
    PlistData archived;
    {
        const auto originals = richPublications();
        exported = PublicationsJSON::exportPublications(originals);
        archived = PublicationStore::archivedPublications(originals).value();
    }
    EXPECT_EQ(exported.back(), '\n');
    EXPECT_NE(exported.find("\n  \"publications\": [\n    {\n      \"name\": \"Zeitung\",\n      \"bylines\": ["),
              std::string::npos) << exported;
    for (const char* expected : {R"("frameIndependentDimension": 0.1,)", R"("IPTCField": "matchedIPTCField",)",
                                 R"("conditionalValueArray": [)", R"("unicity": 2,)", R"("condition": 99,)",
                                 R"("keyCode": 11,)", R"("textGenerationIPTCField": "2:110",)", R"("theHotKey": null,)",
                                 R"("prefix": null,)", R"("textConcatSpecs": [],)", R"("searchReplaceSpecs": null,)"})
        EXPECT_NE(exported.find(expected), std::string::npos) << expected;

    // The originals are gone, so the text blocks read back keep their identifiers.
    const auto publications = imported(exported);
    EXPECT_EQ(PublicationsJSON::exportPublications(publications), exported);
    EXPECT_EQ(PublicationStore::archivedPublications(publications), archived) << "every stored value comes back";
    ASSERT_EQ(publications.size(), 2u);
    EXPECT_EQ(publications[0]->defaultBylineSpec(), publications[0]->bylines().at(1));
    EXPECT_EQ(publications[0]->bylines()[0]->textConcatSpecs()->at(0)->conditionalValue(), "AP, Reuters");
}

TEST(PublicationsJSON, TakenIdentifiersAreReplacedAndTheDefaultsFollow)
{
    const auto originals = richPublications();
    const auto copies = imported(PublicationsJSON::exportPublications(originals));
    const auto& original = originals[0]->bylines()[1];
    const auto& copy = copies[0]->bylines()[1];
    EXPECT_NE(copy->uniqueIDString(), original->uniqueIDString());
    EXPECT_EQ(copies[0]->defaultBylineID(), copy->uniqueIDString());
    EXPECT_EQ(textBlockSpec::findRegisteredSpecWithUniqueID(copy->uniqueIDString()), copy);
    EXPECT_EQ(textBlockSpec::findRegisteredSpecWithUniqueID(original->uniqueIDString()), original);
}

TEST(PublicationsJSON, MissingFieldsTakeTheDefaultsOfNewObjects)
{
    const auto publications = imported(
        R"({"publications": [{}, {"bylines": [{"textConcatSpecs": [{}]}], "captions": []}]})");
    ASSERT_EQ(publications.size(), 2u);
    EXPECT_EQ(publications[0]->name(), "New publication");
    EXPECT_EQ(publications[0]->bylines().at(0)->name(), "New byline");
    EXPECT_EQ(publications[0]->captions().at(0)->name(), "New caption");
    EXPECT_TRUE(publications[1]->captions().empty()) << "an empty list is kept empty";
    const auto& byline = *publications[1]->bylines().at(0);
    EXPECT_EQ(byline.name(), "Text specification");
    EXPECT_EQ(byline.frameIndependentDimension(), 5.0f);
    EXPECT_TRUE(byline.display());
    EXPECT_FALSE(byline.theHotKey()->validHotKey());
    const auto& newRule = *byline.textConcatSpecs()->at(0);
    EXPECT_EQ(newRule.IPTCTextToExtract(), iptcTextConcatSpec::wholeText);
    EXPECT_EQ(newRule.condition(), iptcTextConcatSpec::conditionNone);
    EXPECT_FALSE(newRule.conditionalValueArray());
}

TEST(PublicationsJSON, EnumerationsAndFieldsReadAsIdentifiersOrNumbers)
{
    const struct {
        const char* member;
        std::int64_t condition, part, unicity;
        std::optional<cIPTCCode> extracted;
    } cases[] = {
        {R"("condition": "conditionEndsWith", "IPTCTextToExtract": "lastTwoWords", "IPTCField": "2:5")", 7, 13, 0, cIPTCCode(2, 5)},
        {R"("condition": 7, "IPTCTextToExtract": 13, "unicity": 5)", 7, 13, 5, std::nullopt},
        {R"("unicity": "unicityTextNotRepeated", "IPTCField": "noIPTCFields")", 0, 6, 3, field(cIPTCCodeWithExtras::noIPTCFields)},
        {R"("condition": -3, "IPTCTextToExtract": "textWithoutMatch", "IPTCField": "255:0")", -3, 5, 0, cIPTCCode(255, 0)},
    };
    for (const auto& c : cases) {
        const auto publications =
            imported(withPublication(std::string(R"("bylines": [{"textConcatSpecs": [{)") + c.member + "}]}]"));
        ASSERT_EQ(publications.size(), 1u) << c.member;
        const auto& read = *publications[0]->bylines().at(0)->textConcatSpecs()->at(0);
        EXPECT_EQ(read.condition(), c.condition) << c.member;
        EXPECT_EQ(read.IPTCTextToExtract(), c.part) << c.member;
        EXPECT_EQ(read.unicity(), c.unicity) << c.member;
        EXPECT_EQ(read.IPTCField(), c.extracted) << c.member;
    }
}

TEST(PublicationsJSON, DefaultsByName)
{
    const std::string bylines =
        R"("bylines": [{"name": "Staff"}, {"name": "Agency", "uniqueIDString": "0b0d7f64-1111-4c2e-8e6f-2a2d1c9e0a11"}], )";
    auto byName = imported(withPublication(bylines + R"("defaultByline": "Agency", "captions": [{"name": "-"}], "defaultCaption": "-")"));
    ASSERT_EQ(byName.size(), 1u);
    EXPECT_EQ(byName[0]->defaultBylineSpec(), byName[0]->bylines().at(1));
    EXPECT_EQ(byName[0]->defaultBylineID(), "0B0D7F64-1111-4C2E-8E6F-2A2D1C9E0A11");
    EXPECT_EQ(byName[0]->defaultCaptionSpec(), byName[0]->captions().at(0));
    byName.clear();

    const auto byIdentifier = imported(withPublication(bylines + R"("defaultBylineID": "0b0d7f64-1111-4c2e-8e6f-2a2d1c9e0a11")"));
    ASSERT_EQ(byIdentifier.size(), 1u);
    EXPECT_EQ(byIdentifier[0]->defaultBylineSpec(), byIdentifier[0]->bylines().at(1));
}

TEST(PublicationsJSON, RefusesAFileThatDoesNotFitByItsElement)
{
    const std::string rules = R"("bylines": [{}, {"textConcatSpecs": [{}, {}, {)";
    const struct {
        std::string json;
        std::string error;
    } cases[] = {
        {withPublication(rules + R"("condition": "containz"}]}])"),
         R"(publications[0].bylines[1].textConcatSpecs[2].condition: unknown value "containz")"},
        {withPublication(rules + R"("unicity": true}]}])"),
         "publications[0].bylines[1].textConcatSpecs[2].unicity: expected an identifier or a whole number, found true"},
        {withPublication(rules + R"("IPTCField": "2:1200"}]}])"),
         R"(publications[0].bylines[1].textConcatSpecs[2].IPTCField: bad dataset "2:1200": write RECORD:DATASET with numbers from 0 to 255, as in 2:120)"},
        {withPublication(rules + R"("conditionalIPTCField": "anyField"}]}])"),
         R"(publications[0].bylines[1].textConcatSpecs[2].conditionalIPTCField: unknown value "anyField")"},
        {withPublication(rules + R"("conditionalValueArray": ["AP", null]}]}])"),
         "publications[0].bylines[1].textConcatSpecs[2].conditionalValueArray[1]: expected a string, found null"},
        {withPublication(rules + R"("trim": "yes"}]}])"),
         R"(publications[0].bylines[1].textConcatSpecs[2].trim: expected true or false, found "yes")"},
        {withPublication(rules + R"("prefx": ""}]}])"), "publications[0].bylines[1].textConcatSpecs[2].prefx: unknown field"},
        {withPublication(R"("captions": [{"textSource": 1.5}])"),
         "publications[0].captions[0].textSource: expected a whole number, found 1.5"},
        {withPublication(R"("captions": [{"theHotKey": {"modifierFlags": 1048576}}])"),
         "publications[0].captions[0].theHotKey.keyCode: missing"},
        {withPublication(R"("captions": [{"searchReplaceSpecs": [{"search": "a", "matchcase": true}]}])"),
         "publications[0].captions[0].searchReplaceSpecs[0].matchcase: unknown field"},
        {withPublication(R"("captions": [{"uniqueIDString": "not-a-uuid"}])"),
         R"(publications[0].captions[0].uniqueIDString: "not-a-uuid" is not an identifier (8-4-4-4-12 hexadecimal digits))"},
        {R"({"publications": [{"bylines": [{"uniqueIDString": "0B0D7F64-1111-4C2E-8E6F-2A2D1C9E0A11"}]},
                              {"captions": [{"uniqueIDString": "0b0d7f64-1111-4c2e-8e6f-2a2d1c9e0a11"}]}]})",
         R"(publications[1].captions[0].uniqueIDString: "0b0d7f64-1111-4c2e-8e6f-2a2d1c9e0a11" is also the identifier of publications[0].bylines[0].uniqueIDString)"},
        {withPublication(R"("bylines": [{"name": "Staff"}], "defaultByline": "Staf")"),
         R"(publications[0].defaultByline: no byline of the publication is named "Staf")"},
        {withPublication(R"("captions": [{"name": "A"}, {"name": "A"}], "defaultCaption": "A")"),
         R"(publications[0].defaultCaption: 2 captions of the publication are named "A")"},
        {withPublication(R"("bylines": [{"name": "A"}], "defaultByline": "A", "defaultBylineID": "0B0D7F64-1111-4C2E-8E6F-2A2D1C9E0A11")"),
         "publications[0].defaultByline: give either defaultBylineID or defaultByline, not both"},
        {withPublication(R"("defaultBylineID": "Staff")"),
         R"(publications[0].defaultBylineID: "Staff" is not an identifier (to name the byline, write defaultByline))"},
        {withPublication(R"("name": "A", "name": "B")"), "publications[0].name: given twice"},
        {withPublication(R"("bylines": null)"), "publications[0].bylines: expected a list, found null"},
        {R"({"publications": {}})", "publications: expected a list, found an object"},
        {R"({"publication": []})", "publication: unknown field"},
        {"{}", "publications: missing"},
        {"[]", R"(top level: expected an object with "publications", found a list)"},
        {"{\"publications\": [\n  {\"name\": \"Zürich\", \"bylines\": [x]}]}",
         "line 2, column 34: syntax error while parsing value - invalid literal; last read: '\"bylines\": [x'"},
        {withPublication(R"("bylines": [{"textSource": 215E7009}])"), "number overflow parsing '215E7009'"},
        {"", "line 1, column 1: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal"},
    };
    const std::size_t liveTextBlocks = textBlockSpec::allSpecs().size();
    for (const auto& c : cases) {
        const auto result = PublicationsJSON::importPublications(c.json);
        EXPECT_FALSE(result.publications) << c.json;
        EXPECT_EQ(result.error, c.error) << c.json;
        EXPECT_EQ(textBlockSpec::allSpecs().size(), liveTextBlocks) << "nothing is left of a refused file: " << c.json;
    }
}

} // namespace
} // namespace qm
