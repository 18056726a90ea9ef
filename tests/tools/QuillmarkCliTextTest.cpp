// Bylines and captions through quillmark-cli: publications written by hand, imported, and their
// texts for made-up pictures.
#include "tools/CliTestSupport.h"

#include "foundation/PropertyList.h"

namespace {

using namespace qm::test::cli;
using QuillmarkCliTexts = QuillmarkCliFixture;

Bytes bigEndian(std::size_t value, int bytes)
{
    Bytes result;
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        result.push_back(static_cast<unsigned char>(value >> shift));
    return result;
}

// A JPEG whose Photoshop segment holds the IIM block as resource 1028.
Bytes jpegWithIIM(const Bytes& iim)
{
    const Bytes resource = text("8BIM") + Bytes{0x04, 0x04, 0, 0} + bigEndian(iim.size(), 4) + iim +
                           (iim.size() % 2 ? Bytes{0} : Bytes{});
    const Bytes app13 = text("Photoshop 3.0") + Bytes{0} + resource;
    const Bytes startOfScan{1, 1, 0, 0, 0x3F, 0};
    return Bytes{0xFF, 0xD8, 0xFF, 0xED} + bigEndian(app13.size() + 2, 2) + app13 + Bytes{0xFF, 0xDA} +
           bigEndian(startOfScan.size() + 2, 2) + startOfScan + Bytes{0x12, 0x34, 0xFF, 0xD9};
}

const Bytes PressPhoto = jpegWithIIM(
    dataset(1, 90, "\x1B%G") + dataset(2, 5, "a\r\nb") + dataset(2, 40, "ap") + dataset(2, 80, "Smith, John Doe") +
    dataset(2, 85, "John Doe Smith") + dataset(2, 90, "AFP") + dataset(2, 105, "ab cab") + dataset(2, 110, "REUTERS") +
    dataset(2, 115, "Reuters") + dataset(2, 116, "AP Photo") + dataset(2, 120, "Foo Photo: Bar"));

// One byline per behaviour, named after it.
const std::string Publications = R"json({"publications": [{"name": "Test", "captions": [
  {"name": "Caption", "textGenerationIPTCField": "2:120"}], "bylines": [
 {"name": "nothing", "textSource": 1, "textConcatSpecs": [
   {"IPTCField": "2:120", "conditionalIPTCField": "2:120", "condition": "conditionContains", "conditionalValueArray": ["zzz"]}]},
 {"name": "prefix", "textSource": 1, "textConcatSpecs": [
   {"prefix": "Photo: ", "prefixRequiresPreviousText": true, "IPTCField": "2:80"},
   {"prefix": " Photo: ", "prefixRequiresPreviousText": true, "IPTCField": "2:90"}]},
 {"name": "break", "textSource": 1, "textConcatSpecs": [
   {"IPTCField": "2:90", "conditionalIPTCField": "2:105", "condition": 3, "conditionalValueArray": ["zzz"], "breakIfConditionIsTrue": true},
   {"IPTCField": "2:105", "conditionalIPTCField": "2:120", "condition": 3, "conditionalValueArray": ["Foo"], "breakIfConditionIsTrue": true},
   {"IPTCField": "2:80"}]},
 {"name": "is", "textSource": 1, "textConcatSpecs": [
   {"prefix": "[", "suffix": "]", "IPTCField": "2:40", "conditionalIPTCField": "2:40", "condition": "conditionIs", "conditionalValueArray": ["AP"]},
   {"prefix": "[", "suffix": "]", "IPTCField": "2:116", "conditionalIPTCField": "2:116", "condition": "conditionIs", "conditionalValueArray": ["AP"]},
   {"prefix": "(", "suffix": ")", "IPTCField": "2:40", "conditionalIPTCField": "2:40", "condition": "conditionIs", "conditionalValueArray": ["AP"], "caseSensitive": true}]},
 {"name": "endsWith", "textSource": 1, "textConcatSpecs": [
   {"IPTCField": "2:105", "conditionalIPTCField": "2:105", "condition": "conditionEndsWith", "conditionalValueArray": ["ab"]},
   {"IPTCField": "2:90"}]},
 {"name": "after", "textSource": 1, "textConcatSpecs": [
   {"prefix": "<", "suffix": ">", "IPTCField": "2:120", "conditionalIPTCField": "2:120", "condition": "conditionContains", "conditionalValueArray": ["Photo:"], "IPTCTextToExtract": "textAfterMatch"},
   {"prefix": "<", "suffix": ">", "IPTCField": "matchedIPTCField", "conditionalIPTCField": "2:120", "condition": "conditionContains", "conditionalValueArray": ["Photo:"], "IPTCTextToExtract": "textAfterMatch", "trim": true}]},
 {"name": "words", "textSource": 1, "textConcatSpecs": [
   {"suffix": "|", "IPTCField": "2:80", "IPTCTextToExtract": "firstTwoWords"},
   {"IPTCField": "2:85", "IPTCTextToExtract": "lastTwoWords"}]},
 {"name": "unicity", "textSource": 1, "textConcatSpecs": [
   {"IPTCField": "2:110"}, {"IPTCField": "2:115", "unicity": "unicityNotInText"}]},
 {"name": "stripCRs", "textGenerationIPTCField": "2:5", "stripCRs": true},
 {"name": "replace", "textGenerationIPTCField": "2:90", "searchReplace": true,
  "searchReplaceSpecs": [{"search": "AFP", "replace": "Agence"}, {"search": "agence", "replace": "X"}]},
 {"name": "upper", "textGenerationIPTCField": "2:80", "prefix": "Photo: ", "textCase": 1},
 {"name": "nested", "textGenerationIPTCField": "2:90", "insertEndOfNestedStyleCharacter": true},
 {"name": "twoMissing", "textSource": 1, "textConcatSpecs": [{"IPTCField": "2:100"},
   {"prefix": "in ", "IPTCField": "2:90", "conditionalIPTCField": "2:101", "condition": "conditionIsEmpty"}]},
 {"name": "oneMissing", "textSource": 1, "textConcatSpecs": [{"IPTCField": "2:100"}]},
 {"name": "-", "textGenerationIPTCField": "2:90"}
], "defaultByline": "prefix"}]}
)json";

std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t found = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

TEST_F(QuillmarkCliTexts, HandWrittenRulesGiveTheirTexts)
{
    ASSERT_EQ(run({"publications", "import", textFile("test.json", Publications)}).status, 0);
    const auto photo = block("photo.jpg", PressPhoto);
    const struct {
        const char* byline;
        std::string expected;
    } cases[] = {
        {"nothing", "-"},
        {"prefix", "Smith, John Doe Photo: AFP"},
        {"break", "ab cab"},
        {"is", "[ap]"},
        {"endsWith", "AFP"},
        {"after", "< Bar><Bar>"},
        {"words", "Smith, John|Doe Smith"},
        {"unicity", "REUTERS"},
        {"stripCRs", "a  b"},
        {"replace", "X"},
        {"upper", "PHOTO: SMITH, JOHN DOE"},
        {"nested", "\\x03AFP"},
    };
    for (const auto& c : cases) {
        const Result result = run({"text", photo, "--byline", c.byline});
        EXPECT_EQ(result.status, 0) << c.byline << ": " << result.err;
        EXPECT_EQ(result.out, "byline\t" + c.expected + "\ncaption\tFoo Photo: Bar\n") << c.byline;
        EXPECT_EQ(result.err, "") << c.byline;
    }
    EXPECT_EQ(run({"text", photo, "--json", "--caption", "Caption"}).out,
              "{\"byline\":\"Smith, John Doe Photo: AFP\",\"caption\":\"Foo Photo: Bar\"}\n");
    const Result shown = run({"show", photo, "--byline", "words"});
    EXPECT_NE(shown.out.find("\n2:120\tCaption/Abstract\tFoo Photo: Bar\nbyline\tSmith, John|Doe Smith\ncaption\tFoo Photo: Bar\n"),
              std::string::npos) << shown.out;
}

TEST_F(QuillmarkCliTexts, MissingFieldsAreReportedOncePerText)
{
    ASSERT_EQ(run({"publications", "import", textFile("test.json", Publications)}).status, 0);
    const auto photo = block("photo.jpg", PressPhoto);
    const Result two = run({"text", photo, "--byline", "twoMissing"});
    EXPECT_EQ(two.out, "byline\tin AFP\ncaption\tFoo Photo: Bar\n");
    EXPECT_EQ(count(two.err, "2 fields that the text needs are missing"), 1u) << two.err;
    EXPECT_EQ(count(two.err, "Missing: Country/Primary Location Code, Country/Primary Location Name."), 1u) << two.err;

    const Result one = run({"text", photo, "--byline", "oneMissing", "--json"});
    EXPECT_EQ(one.out, "{\"byline\":null,\"caption\":\"Foo Photo: Bar\"}\n");
    EXPECT_EQ(count(one.err, "A field that the text needs is missing"), 1u) << one.err;

    ASSERT_EQ(run({"defaults", "write", "alertMissingIPTC", "-bool", "false"}).status, 0);
    EXPECT_EQ(run({"text", photo, "--byline", "twoMissing"}).err, "");
}

TEST_F(QuillmarkCliTexts, ChoicesThatNameNothingAreRefused)
{
    ASSERT_EQ(run({"publications", "import", textFile("test.json", Publications)}).status, 0);
    ASSERT_EQ(run({"publications", "import", "--append", textFile("second.json", R"({"publications": [{"name": "Other"}]})")}).status, 0);
    const auto photo = block("photo.jpg", PressPhoto);
    EXPECT_EQ(run({"publications", "list"}).out,
              "publication\t0\tTest\tcurrent\nbyline\tnothing\nbyline\tprefix\tdefault\nbyline\tbreak\nbyline\tis\n"
              "byline\tendsWith\nbyline\tafter\nbyline\twords\nbyline\tunicity\nbyline\tstripCRs\nbyline\treplace\n"
              "byline\tupper\nbyline\tnested\nbyline\ttwoMissing\nbyline\toneMissing\ncaption\tCaption\tdefault\n"
              "publication\t1\tOther\nbyline\tNew byline\tdefault\ncaption\tNew caption\tdefault\n");
    EXPECT_EQ(run({"text", photo, "--publication", "1"}).out, "byline\t-\ncaption\t-\n");
    const struct {
        std::vector<std::string> choice;
        std::string error;
    } refused[] = {
        {{"--byline", "-"}, "the publication \"Test\" has no byline named \"-\""},
        {{"--publication", "Other", "--byline", "prefix"}, "the publication \"Other\" has no byline named \"prefix\""},
        {{"--publication", "2"}, "no publication is named \"2\" or has that index (there are 2)"},
    };
    for (const auto& c : refused) {
        std::vector<std::string> arguments{"text", photo};
        arguments.insert(arguments.end(), c.choice.begin(), c.choice.end());
        const Result result = run(arguments);
        EXPECT_EQ(result.status, 1) << c.error;
        EXPECT_EQ(result.err, "quillmark-cli text: " + c.error + "\n");
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(QuillmarkCliTexts, ExportImportExportAndRefusedImports)
{
    ASSERT_EQ(run({"publications", "import", textFile("test.json", Publications)}).status, 0);
    const auto first = (mFolder / "first.json").string();
    const auto second = (mFolder / "second.json").string();
    ASSERT_EQ(run({"publications", "export", first}).status, 0);
    ASSERT_EQ(run({"publications", "import", first}).status, 0);
    ASSERT_EQ(run({"publications", "export", second}).status, 0);
    EXPECT_EQ(slurp(second), slurp(first));
    EXPECT_EQ(run({"publications", "export", "-"}).out, slurp(first));

    const std::string broken = R"({"publications": [{"bylines": [{}, {"textConcatSpecs": [{}, {}, {"condition": "containz"}]}]}]})";
    const Result refused = run({"publications", "import", "--append", textFile("broken.json", broken)});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("publications[0].bylines[1].textConcatSpecs[2].condition: unknown value \"containz\""),
              std::string::npos) << refused.err;
    EXPECT_EQ(run({"publications", "export", "-"}).out, slurp(first)) << "the stored publications are unchanged";
}

TEST_F(QuillmarkCliTexts, SettingsFileImportAndExport)
{
    ASSERT_EQ(run({"publications", "import", textFile("alpha.json", R"({"publications": [{"name": "Alpha"}]})")}).status, 0);
    const auto everything = (mFolder / "everything.plist").string();
    ASSERT_EQ(run({"settings", "export", everything}).status, 0);
    const auto exported = qm::PropertyList::readFile(everything);
    ASSERT_TRUE(exported && exported->find("publications") && exported->find("defaultTextEncoding"));
    const auto onlyPublications = (mFolder / "only.plist").string();
    ASSERT_TRUE(qm::PropertyList::writeFileAtomically(
        onlyPublications, qm::PlistDictionary{{"publications", *exported->find("publications")}}, qm::PlistFormat::Xml));

    ASSERT_EQ(run({"publications", "import", textFile("beta.json", R"({"publications": [{"name": "Beta"}]})")}).status, 0);
    ASSERT_EQ(run({"defaults", "write", "defaultTextEncoding", "-int", "30"}).status, 0);
    const Result imported = run({"settings", "import", onlyPublications});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(run({"publications", "list"}).out.substr(0, 28), "publication\t0\tAlpha\tcurrent\n");
    EXPECT_EQ(run({"defaults", "read", "defaultTextEncoding"}).out, "30\n");

    const Result notADictionary = run({"settings", "import", textFile("list.plist", "(1, 2)")});
    EXPECT_EQ(notADictionary.status, 1);
    EXPECT_NE(notADictionary.err.find("is not a property list holding a dictionary"), std::string::npos);
    const Result missing = run({"settings", "import", (mFolder / "gone.plist").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("The publication settings file \"gone.plist\" couldn't be found."), std::string::npos)
        << missing.err;
    ASSERT_EQ(run({"defaults", "write", "alertMissingPublicationSettingsFile", "-bool", "false"}).status, 0);
    const Result silent = run({"settings", "import", (mFolder / "gone.plist").string()});
    EXPECT_EQ(silent.status, 1);
    EXPECT_EQ(silent.err, "");
}

TEST_F(QuillmarkCliTexts, TheSampleHasABylineAndACaptionOutOfTheBox)
{
    const Result result = run({"show", QUILLMARK_SOURCE_DIR "/resources/samples/sample.jpg"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\nbyline\tPhoto: J\xC3\xBCrgen M\xC3\xBCller / RZ Bildredaktion\n"
                              "caption\tRhein tritt \xC3\xBC" "ber die Ufer. Der Rhein hat die K\xC3\xB6lner Altstadt "
                              "erreicht; Anwohner r\xC3\xA4umen ihre Keller.\n"),
              std::string::npos) << result.out;
    for (const char* command : {"text", "publications", "settings"})
        EXPECT_EQ(run({command, "--help"}).status, 0) << command;
}

} // namespace

TEST_F(QuillmarkCliTexts, MenusListTheCurrentPublicationsTextBlocksWithTheirHotKeys)
{
    const std::string publications = R"json({"publications": [
 {"name": "Daily", "bylines": [
   {"name": "Staff", "theHotKey": {"keyCode": 1, "modifierFlags": 1179648, "characters": "s"}},
   {"name": "-"}, {"name": "Hidden", "display": false}, {"name": "Agency"}],
  "captions": [], "defaultByline": "Agency"},
 {"name": "-", "bylines": [], "captions": []}]}
)json";
    ASSERT_EQ(run({"publications", "import", textFile("menus.json", publications)}).status, 0);
    EXPECT_EQ(run({"menu", "byline"}).out,
              "Staff\tmake-text-frame\t⇧⌘S\t\n-\nAgency (default)\tmake-text-frame\t\t\n");
    EXPECT_EQ(run({"menu", "caption"}).out, "[No captions defined]\tnone\t\tdisabled\n");
    EXPECT_EQ(run({"menu", "publication"}).out, "Daily\tswitch-publication\t\tchecked\n-\n");
    EXPECT_EQ(run({"menu", "status", "--json"}).out.substr(0, 60),
              R"([{"title":"Show or hide the metadata panel","action":"templa)");
    EXPECT_EQ(run({"menu", "window"}).status, 2);
}
