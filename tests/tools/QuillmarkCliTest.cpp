#include "tools/CliTestSupport.h"
#include "support/PhotoshopBytes.h"

namespace {

using namespace qm::test::cli;
using QuillmarkCli = QuillmarkCliFixture;

} // namespace

TEST_F(QuillmarkCli, RecordsPrintsOneLinePerDatasetInBlockOrder)
{
    const auto file = block("two.iim", dataset(2, 120, "Hello") + dataset(2, 25, "abc") + Bytes{0, 0, 0});
    const Result result = run({"records", "--iim", file});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "2:120\tCaption/Abstract\tHello\n2:25\tKeywords\tabc\n");
}

TEST_F(QuillmarkCli, RecordsShowsDecodedAndFormattedValues)
{
    const struct {
        const char* name;
        Bytes block;
        std::vector<std::string> options;
        std::string expected;
    } cases[] = {
        {"date", dataset(2, 55, "20090315"), {}, "2:55\tDate Created\tSunday, March 15, 2009\n"},
        {"date as written", dataset(2, 55, "2009-03-15"), {}, "2:55\tDate Created\t2009-03-15\n"},
        {"record version", dataset(2, 0, std::string("\0\4", 2)), {}, "2:0\tRecord Version\t4\n"},
        {"unknown dataset", dataset(2, 200, "x"), {}, "2:200\tUnknown 2:200\tx\n"},
        {"Mac OS Roman", dataset(2, 80, "\x8E"), {}, "2:80\tBy-line\t\xC3\xA9\n"},
        {"Windows Latin 1", dataset(2, 80, "\x8E"), {"--encoding", "12"}, "2:80\tBy-line\t\xC5\xBD\n"},
        {"invalid UTF-8", dataset(2, 80, "\xC3\x28"), {"--encoding", "4"}, "2:80\tBy-line\t\n"},
        {"escapes", dataset(2, 120, "a\tb\\c\r\nd"), {}, "2:120\tCaption/Abstract\ta\\tb\\\\c\\r\\nd\n"},
        {"control characters", dataset(2, 120, std::string("a\0b\x1B[1m\x7F", 8)), {},
         "2:120\tCaption/Abstract\ta\\x00b\\x1b[1m\\x7f\n"},
        {"extended length", dataset(2, 5, "a") + Bytes{0x1C, 2, 10, 0x80, 4, 0, 0, 0, 9}, {},
         "2:5\tObject Name\ta\n"},
        {"marker", dataset(1, 90, "\x1B%G") + dataset(2, 80, "\xC3\xA9"), {},
         "1:90\tCoded Character Set\tUTF-8\n2:80\tBy-line\t\xC3\xA9\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"records", "--iim", block("case.iim", c.block)};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const Result result = run(arguments);
        EXPECT_EQ(result.status, 0) << c.name << ": " << result.err;
        EXPECT_EQ(result.out, c.expected) << c.name;
    }
}

TEST_F(QuillmarkCli, WritesLogLinesOnlyWhenAsked)
{
    const auto empty = block("empty.xmp", {});
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        std::string environment;
        bool logged;
    } cases[] = {
        {"not asked", {"xmp-records", empty}, "", false},
        {"QUILLMARK_LOG not 1", {"xmp-records", empty}, "QUILLMARK_LOG=0", false},
        {"--verbose first", {"--verbose", "xmp-records", empty}, "", true},
        {"--verbose last", {"xmp-records", empty, "--verbose"}, "", true},
        {"QUILLMARK_LOG=1", {"xmp-records", empty}, "QUILLMARK_LOG=1", true},
    };
    for (const auto& c : cases) {
        const Result result = run(c.arguments, c.environment);
        EXPECT_EQ(result.status, 0) << c.name << ": " << result.err;
        EXPECT_EQ(result.out, "") << c.name;
        EXPECT_EQ(result.err, c.logged ? "XMPToIPTCRecordArray no bytes\n" : "") << c.name;
    }
}

TEST_F(QuillmarkCli, RecordsJsonCarriesTheEncodingOfEachRecord)
{
    const auto file = block("marker.iim", dataset(1, 90, "\x1B%G") + dataset(2, 120, "\"quoted\""));
    const Result result = run({"records", "--iim", file, "--json"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "[{\"record\":1,\"dataset\":90,\"name\":\"Coded Character Set\",\"value\":\"UTF-8\","
                          "\"encoding\":4},\n {\"record\":2,\"dataset\":120,\"name\":\"Caption/Abstract\","
                          "\"value\":\"\\\"quoted\\\"\",\"encoding\":4}]\n");
}

TEST_F(QuillmarkCli, CaptionModeComesFromTheSettings)
{
    const auto file = block("caption.iim", dataset(2, 120, "Agency text *** Local Caption *** Our text"));
    const struct {
        const char* mode;
        std::string expected;
    } cases[] = {{"1", "2:120\tCaption/Abstract\t Our text\n"}, {"2", "2:120\tCaption/Abstract\tAgency text \n"},
                 {"0", "2:120\tCaption/Abstract\tAgency text *** Local Caption *** Our text\n"}};
    for (const auto& c : cases) {
        ASSERT_EQ(run({"defaults", "write", "captionMode", "-int", c.mode}).status, 0);
        EXPECT_EQ(run({"records", "--iim", file}).out, c.expected) << "mode " << c.mode;
    }
}

TEST_F(QuillmarkCli, ExitStatusTellsBadInputFromWrongUsage)
{
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        int status;
    } cases[] = {
        {"missing file", {"records", "--iim", "/no/such/file.iim"}, 1},
        {"folder", {"records", "--iim", "/"}, 1},
        {"unknown encoding", {"records", "--iim", "/dev/null", "--encoding", "999"}, 1},
        {"bad encoding number", {"records", "--iim", "/dev/null", "--encoding", "x"}, 1},
        {"unknown option", {"records", "--iim", "/dev/null", "--frobnicate"}, 2},
        {"missing value", {"records", "--iim"}, 2},
        {"unknown command", {"frobnicate"}, 2},
        {"no command", {}, 2},
        {"bad integer", {"defaults", "write", "k", "-int", "12x"}, 1},
        {"unknown type", {"defaults", "write", "k", "-colour", "red"}, 2},
        {"hot key without a modifier", {"defaults", "write", "k", "-hotkey", "b"}, 1},
        {"no such key", {"defaults", "write", "k", "-hotkey", "ctrl+nosuchkey"}, 1},
        {"absent key", {"defaults", "read", "noSuchKey"}, 1},
        {"help", {"records", "--help"}, 0},
    };
    for (const auto& c : cases) {
        const Result result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.name << ": " << result.err;
        if (c.status != 0) {
            EXPECT_FALSE(result.err.empty()) << c.name;
            EXPECT_TRUE(result.out.empty()) << c.name;
        }
    }
}

TEST_F(QuillmarkCli, DefaultsWriteReadDeleteAndExport)
{
    const struct {
        std::vector<std::string> write;
        std::string read;
    } cases[] = {
        {{"-string", "Köln"}, "Köln\n"}, {{"-int", "-42"}, "-42\n"},     {{"-float", "2.5"}, "2.5\n"},
        {{"-bool", "true"}, "true\n"},   {{"-data", "1b2547"}, "1b2547\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"defaults", "write", "someKey"};
        arguments.insert(arguments.end(), c.write.begin(), c.write.end());
        ASSERT_EQ(run(arguments).status, 0) << c.write[0];
        EXPECT_EQ(run({"defaults", "read", "someKey"}).out, c.read) << c.write[0];
    }
    EXPECT_EQ(run({"defaults", "read", "respectUTF8Marker"}).out, "true\n") << "registered value";
    ASSERT_EQ(run({"defaults", "write", "respectUTF8Marker", "-bool", "false"}).status, 0);
    EXPECT_EQ(run({"defaults", "read", "respectUTF8Marker"}).out, "false\n");
    ASSERT_EQ(run({"defaults", "delete", "respectUTF8Marker"}).status, 0);
    EXPECT_EQ(run({"defaults", "read", "respectUTF8Marker"}).out, "true\n") << "back to the registered value";
    EXPECT_EQ(run({"defaults", "delete", "respectUTF8Marker"}).status, 1) << "nothing stored any more";

    ASSERT_EQ(run({"defaults", "write", "hotKeys_MakeBylineAndCaption", "-hotkey", "ctrl+alt+b"}).status, 0);
    EXPECT_NE(run({"menu", "status"}).out.find("Make byline and caption\tmake-byline-and-caption\t⌃⌥B\t"),
              std::string::npos)
        << "a hot key written as the program keeps it";

    const auto exported = (mFolder / "exported.plist").string();
    ASSERT_EQ(run({"defaults", "export", exported}).status, 0);
    const std::string plist = slurp(exported);
    EXPECT_NE(plist.find("<key>someKey</key>"), std::string::npos);
    EXPECT_NE(plist.find("<key>captionMode</key>"), std::string::npos) << "registered keys are exported too";
}

TEST_F(QuillmarkCli, CodesAndEncodingsListTheTables)
{
    const Result codes = run({"codes"});
    EXPECT_EQ(codes.status, 0);
    EXPECT_EQ(codes.out.substr(0, codes.out.find('\n')), "1:0\tModel Version");
    EXPECT_EQ(codes.out.find("Unknown"), std::string::npos) << "the name of unknown datasets is no dataset";
    EXPECT_NE(codes.out.find("\n2:120\tCaption/Abstract\n"), std::string::npos);
    EXPECT_LT(codes.out.find("\n1:90\t"), codes.out.find("\n2:5\t"));

    const Result encodings = run({"encodings"});
    EXPECT_EQ(encodings.status, 0);
    for (const char* line : {"\n4\t", "\n30\t", "\n12\t", "\n5\t"})
        EXPECT_NE(("\n" + encodings.out).find(line), std::string::npos) << line;
}

TEST_F(QuillmarkCli, GuessFollowsTheSettingsAndTheSpecs)
{
    const auto latin = block("latin.iim", dataset(2, 80, "\x8E"));
    const auto marked = block("marked.iim", dataset(1, 90, "\x1B%G") + dataset(2, 80, "\xC3\xA9"));
    ASSERT_EQ(run({"defaults", "write", "defaultTextEncoding", "-int", "12"}).status, 0);
    EXPECT_EQ(run({"records", "--iim", latin, "--guess"}).out, "2:80\tBy-line\t\xC5\xBD\n");
    EXPECT_EQ(run({"records", "--iim", marked, "--guess"}).out,
              "1:90\tCoded Character Set\tUTF-8\n2:80\tBy-line\t\xC3\xA9\n");
    ASSERT_EQ(run({"defaults", "write", "respectUTF8Marker", "-bool", "false"}).status, 0);
    EXPECT_EQ(run({"records", "--iim", marked, "--guess", "--json"}).out.substr(0, 15), "{\"encoding\":12,");

    ASSERT_EQ(run({"defaults", "encoding-spec", "add", "\xC5\xBD", "30"}).status, 0);
    ASSERT_EQ(run({"defaults", "encoding-spec", "add", "\xC5\xBD", "5"}).status, 0);
    EXPECT_EQ(run({"defaults", "encoding-spec", "list"}).out,
              "0\t\xC5\xBD\t30\tWestern (Mac OS Roman)\n1\t\xC5\xBD\t5\tWestern (ISO Latin 1)\n");
    EXPECT_EQ(run({"records", "--iim", latin, "--guess"}).out, "2:80\tBy-line\t\xC3\xA9\n") << "the first spec";
    ASSERT_EQ(run({"defaults", "encoding-spec", "remove", "0"}).status, 0);
    EXPECT_EQ(run({"records", "--iim", latin, "--guess", "--json"}).out.substr(0, 14), "{\"encoding\":5,");
    EXPECT_EQ(run({"defaults", "encoding-spec", "remove", "1"}).status, 1);
    EXPECT_EQ(run({"defaults", "encoding-spec", "add", "", "30"}).status, 1);
}

TEST_F(QuillmarkCli, SetWithEncodingStoresEveryTextInThatEncoding)
{
    const std::string macRomanJoerg = "J\x9Arg", latinJoerg = "J\xF6rg";
    const struct {
        const char* name;
        Bytes iim;
        std::vector<std::string> arguments;
        int status;
        std::vector<std::string> storedBytes; // found in the written file
        std::string readBack;                 // `records --guess` afterwards
    } cases[] = {
        {"Windows Latin 1 to Mac OS Roman, with a new dataset",
         dataset(2, 80, latinJoerg),
         {"--encoding", "30", "2:90=Malmö"},
         0,
         {macRomanJoerg, "Malm\x9A"},
         "2:80\tBy-line\tJörg\n2:90\tCity\tMalmö\n"},
        {"the UTF-8 marker goes",
         dataset(1, 90, "\x1B%G") + dataset(2, 80, "J\xC3\xB6rg"),
         {"--encoding", "30"},
         0,
         {macRomanJoerg},
         "2:80\tBy-line\tJörg\n"},
        {"a text the encoding lacks", dataset(2, 80, "\x80 5"), {"--encoding", "5"}, 1, {}, ""},
    };
    ASSERT_EQ(run({"defaults", "encoding-spec", "add", "\xC5\xA1", "30"}).status, 0) << "š: Mac OS Roman's ö";
    for (const auto& c : cases) {
        const auto file = block("photo.jpg", qm::test::jpegWithIIM(c.iim));
        std::vector<std::string> arguments{"set", file};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const Result set = run(arguments);
        EXPECT_EQ(set.status, c.status) << c.name << ": " << set.err;
        if (c.status != 0)
            continue;
        const std::string written = slurp(file);
        for (const auto& bytes : c.storedBytes)
            EXPECT_NE(written.find(bytes), std::string::npos) << c.name;
        EXPECT_EQ(written.find("\x1B%G"), std::string::npos) << c.name;
        EXPECT_EQ(run({"records", file, "--guess"}).out, c.readBack) << c.name;
    }
}

TEST_F(QuillmarkCli, RepairBringsBackDoublyEncodedText)
{
    const auto file = block("double.iim", dataset(2, 80, "\xC3\x83\xC2\xA9") + dataset(2, 120, "Plain"));
    for (const auto& setting : std::vector<std::vector<std::string>>{
             {"corruptUTF8Triggers", "-string", "\xC3\x83"}, {"corruptUTF8To", "-int", "12"},
             {"corruptUTF8From", "-int", "4"}, {"detectUTF8Corruption", "-bool", "true"},
             {"defaultTextEncoding", "-int", "4"}}) {
        std::vector<std::string> arguments{"defaults", "write"};
        arguments.insert(arguments.end(), setting.begin(), setting.end());
        ASSERT_EQ(run(arguments).status, 0) << setting[0];
    }
    EXPECT_EQ(run({"records", "--iim", file, "--guess", "--repair"}).out,
              "2:80\tBy-line\t\xC3\xA9\n2:120\tCaption/Abstract\tPlain\n");
    ASSERT_EQ(run({"defaults", "write", "corruptUTF8Triggers", "-string", "#"}).status, 0);
    EXPECT_EQ(run({"records", "--iim", file, "--guess", "--repair"}).out,
              "2:80\tBy-line\t\xC3\x83\xC2\xA9\n2:120\tCaption/Abstract\tPlain\n");
}

TEST_F(QuillmarkCli, XmpRecordsAndUpdate)
{
    const std::string packet =
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
        "<rdf:Description xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
        "xmlns:photoshop=\"http://ns.adobe.com/photoshop/1.0/\" photoshop:City=\"Attribute\">\r\n"
        "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">Hello &amp; bye</rdf:li></rdf:Alt></dc:description>\r\n"
        "<dc:subject><rdf:Bag><rdf:li>one</rdf:li><rdf:li>two</rdf:li></rdf:Bag></dc:subject>\r\n"
        "</rdf:Description></rdf:RDF></x:xmpmeta>";
    const auto file = block("packet.xmp", Bytes(packet.begin(), packet.end()));
    const Result records = run({"xmp-records", file});
    EXPECT_EQ(records.status, 0) << records.err;
    EXPECT_EQ(records.out, "2:120\tCaption/Abstract\tHello & bye\n2:25\tKeywords\tone\n")
        << "the first item of a bag; nothing from the attribute";

    EXPECT_EQ(run({"xmp-update", file, "2:105", "Headline"}).out, packet) << "no such property: byte for byte";
    const Result updated = run({"xmp-update", file, "2:120", "Neu"});
    EXPECT_EQ(updated.status, 0) << updated.err;
    EXPECT_NE(updated.out.find("\n                    <rdf:li xml:lang=\"x-default\">Neu</rdf:li>"), std::string::npos)
        << updated.out;
    EXPECT_EQ(run({"xmp-update", file, "2:x", "Neu"}).status, 1);
}
