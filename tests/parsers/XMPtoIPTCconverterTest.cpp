#include <gtest/gtest.h>

#include "support/RecordSummary.h"

#include <string>
#include <vector>

#include "foundation/Log.h"
#include "parsers/XMPtoIPTCconverter.h"

using namespace qm;
using Bytes = cIPTCRecord::Bytes;

namespace {

std::string packet(std::string_view properties)
{
    return std::string("<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
                       "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                       " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                       "  <rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
                       "    xmlns:photoshop=\"http://ns.adobe.com/photoshop/1.0/\">\n") +
           std::string(properties) + "\n  </rdf:Description>\n </rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
}

std::string replaced(std::string text, std::string_view from, std::string_view to)
{
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string summary(const IPTCRecordArray& records)
{
    return test::recordSummary(records);
}

std::string converted(std::string_view text)
{
    const auto records = XMPtoIPTCconverter::XMPToIPTCRecordArray(text);
    return records ? summary(*records) : "nothing";
}

cIPTCRecord record(std::uint8_t dataSet, std::string_view text, StringEncoding encoding = Encoding::UTF8)
{
    cIPTCRecord result(2, dataSet, Bytes(text.begin(), text.end()));
    result.setTextEncoding(encoding);
    return result;
}

} // namespace

TEST(XMPtoIPTCconverter, ConvertsMappedPropertiesToRecords)
{
    struct Case {
        const char* name;
        std::string properties;
        const char* expected;
    };
    const std::vector<Case> cases{
        {"element with text", "<photoshop:Headline>Hello</photoshop:Headline>", "2:105=Hello@4 "},
        {"bag: first item", "<dc:subject><rdf:Bag><rdf:li>one</rdf:li><rdf:li>two</rdf:li></rdf:Bag></dc:subject>",
         "2:25=one@4 "},
        {"seq: first item", "<dc:creator><rdf:Seq><rdf:li>Ann</rdf:li><rdf:li>Bo</rdf:li></rdf:Seq></dc:creator>",
         "2:80=Ann@4 "},
        {"alt: first item",
         "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">Title</rdf:li><rdf:li xml:lang=\"de\">Titel</rdf:li>"
         "</rdf:Alt></dc:title>",
         "2:5=Title@4 "},
        {"attribute form", "<rdf:Description photoshop:Headline=\"Hello\"/>", ""},
        {"element without text", "<photoshop:Headline></photoshop:Headline><photoshop:City/>", ""},
        {"unmapped property", "<xmp:CreatorTool>Editor 1.0</xmp:CreatorTool>", ""},
        {"entities resolved", "<photoshop:City>A &amp; B &lt;C&gt; caf&#233;</photoshop:City>",
         "2:90=A & B <C> caf\xC3\xA9@4 "},
        {"in table order, first occurrence",
         "<photoshop:City>Rome</photoshop:City><dc:title>T</dc:title><photoshop:City>Oslo</photoshop:City>",
         "2:5=T@4 2:90=Rome@4 "},
    };
    for (const auto& c : cases) {
        const std::string text = packet(c.properties);
        EXPECT_EQ(converted(text), c.expected) << c.name;
        const XMPtoIPTCconverter converter(text);
        EXPECT_EQ(summary(XMPtoIPTCconverter::tinyXmlToIPTCRecordArray(*converter.XMLDoc())), c.expected) << c.name;
    }
}

TEST(XMPtoIPTCconverter, EmptyPacketGivesNothing)
{
    LogCapture log;
    EXPECT_EQ(converted(""), "nothing");
    EXPECT_EQ(log.lines(), std::vector<std::string>{"XMPToIPTCRecordArray no bytes"});
    EXPECT_EQ(converted(" "), "") << "a packet without properties gives an empty array";
}

TEST(XMPtoIPTCconverter, LineEndsDoNotChangeRecords)
{
    // CDATA keeps its line ends; other text has its white space condensed by TinyXML.
    const std::string lf =
        packet("<photoshop:Headline><![CDATA[one\ntwo\n]]></photoshop:Headline>\n<photoshop:City>Ber\nlin</photoshop:City>");
    const std::string expected = "2:90=Ber lin@4 2:105=one\ntwo\n@4 ";
    EXPECT_EQ(converted(lf), expected) << "LF";
    EXPECT_EQ(converted(replaced(lf, "\n", "\r\n")), expected) << "CR LF";
    EXPECT_EQ(converted(replaced(lf, "\n", "\r")), expected) << "CR";
}

TEST(XMPtoIPTCconverter, MalformedPacketsGiveWhatWasParsed)
{
    std::string deep = "<r>";
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    const char withNuls[] = "\0\0<photoshop:City>Oslo</photoshop:City>";
    struct Case {
        const char* name;
        std::string text;
        const char* expected;
    };
    const std::vector<Case> cases{
        {"unclosed elements", "<x:xmpmeta><rdf:RDF><photoshop:City>Oslo</photoshop:City><photoshop:Headline>Hi",
         "2:90=Oslo@4 2:105=Hi@4 "},
        {"truncated in an end tag", "<x:xmpmeta><photoshop:City>Oslo</photoshop:Ci", "2:90=Oslo@4 "},
        {"end tag of another element", "<x:xmpmeta><photoshop:City>Oslo</x:xmpmeta><dc:title>T</dc:title>",
         "2:90=Oslo@4 "},
        {"garbage", "\x01\x02 no XML <<< >>> & ]]>", ""},
        {"text after a NUL", std::string(withNuls, sizeof withNuls - 1), ""},
        {"not UTF-8", "<x:xmpmeta><photoshop:City>Oslo</photoshop:City><dc:title>Caf\xE9</dc:title></x:xmpmeta>",
         "2:5=Caf@4 2:90=Oslo@4 "},
        {"nested 100000 deep", deep + "<photoshop:City>Oslo</photoshop:City>", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(converted(c.text), c.expected) << c.name;
}

TEST(XMPtoIPTCconverter, UpdateLeavesPacketUnchanged)
{
    // Odd spacing and line ends, so that any re-printing shows.
    const std::string cityPacket =
        "<x:xmpmeta>\r\n\t<rdf:Description><photoshop:City>Oslo</photoshop:City>  <photoshop:Credit/></rdf:Description>"
        "\r\n</x:xmpmeta>   \r\n";
    struct Case {
        const char* name;
        std::string packet;
        cIPTCRecord record;
    };
    const std::vector<Case> cases{
        {"dataset without a table entry", cityPacket, record(65, "Editor")},
        {"record without a dataset number", cityPacket, cIPTCRecord()},
        {"envelope record of a mapped dataset number", cityPacket, cIPTCRecord(1, 90, Bytes{0x1B, 0x25, 0x47})},
        {"property absent", cityPacket, record(105, "Headline")},
        {"property without text", cityPacket, record(110, "Credit")},
        {"packet that does not parse completely", cityPacket + "<unclosed>", record(90, "Rome")},
        {"empty packet", "", record(90, "Rome")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XMPtoIPTCconverter::updateXMP(c.packet, c.record), c.packet) << c.name;
}

TEST(XMPtoIPTCconverter, UpdateReprintsPacketWithFourBlankIndent)
{
    const std::string input =
        "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0\"?>\r\n<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF>\r\n"
        "\t<rdf:Description rdf:about=\"\"><photoshop:City>Oslo</photoshop:City><dc:subject><rdf:Bag>"
        "<rdf:li>one</rdf:li><rdf:li>two</rdf:li></rdf:Bag></dc:subject></rdf:Description></rdf:RDF></x:xmpmeta>"
        "   \n<?xpacket end=\"w\"?>";
    const auto printed = [](std::string_view city, std::string_view keyword) {
        return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0\"?>\n"
               "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
               "    <rdf:RDF>\n"
               "        <rdf:Description rdf:about=\"\">\n"
               "            <photoshop:City>" + std::string(city) + "</photoshop:City>\n"
               "            <dc:subject>\n"
               "                <rdf:Bag>\n"
               "                    <rdf:li>" + std::string(keyword) + "</rdf:li>\n"
               "                    <rdf:li>two</rdf:li>\n"
               "                </rdf:Bag>\n"
               "            </dc:subject>\n"
               "        </rdf:Description>\n"
               "    </rdf:RDF>\n"
               "</x:xmpmeta>\n"
               "<?xpacket end=\"w\"?>\n";
    };
    struct Case {
        const char* name;
        cIPTCRecord record;
        std::string expected;
        const char* log;
    };
    const std::vector<Case> cases{
        {"UTF-8 text", record(90, "Bergen"), printed("Bergen", "one"), nullptr},
        {"text in its own encoding", record(90, "Troms\xBF", Encoding::MacOSRoman), printed("Troms\xC3\xB8", "one"),
         nullptr},
        {"markup characters escaped", record(90, "A & <B>"), printed("A &amp; &lt;B&gt;", "one"), nullptr},
        {"first item of a bag", record(25, "three"), printed("Oslo", "three"), nullptr},
        {"undecodable text", record(90, "\xFF", Encoding::UTF8), printed("Oslo", "one"),
         "bad string in XMP conversion of IPTC record Record City (2:90) | "},
    };
    for (const auto& c : cases) {
        LogCapture log;
        EXPECT_EQ(XMPtoIPTCconverter::updateXMP(input, c.record), c.expected) << c.name;
        EXPECT_EQ(c.log != nullptr && log.contains(c.log), c.log != nullptr) << c.name;
    }
}

TEST(XMPtoIPTCconverter, DatesAreReadAndWrittenInXMPForm)
{
    const auto records = XMPtoIPTCconverter::XMPToIPTCRecordArray(
        packet("<photoshop:DateCreated>2009-03-15T10:00:00+01:00</photoshop:DateCreated>"));
    ASSERT_TRUE(records && records->size() == 1);
    EXPECT_EQ(records->front()->dataAsFormattedString(), "2009-03-15T10:00:00+01:00");

    struct Case {
        const char* name;
        const char* current;
        const char* recordText;
        const char* expected;
    };
    const std::vector<Case> cases{
        {"IIM date, time kept", "2009-03-15T10:00:00+01:00", "20240131", "2024-01-31T10:00:00+01:00"},
        {"IIM date", "2009-03-15", "20240131", "2024-01-31"},
        {"IIM date over other text", "last spring", "20240131", "2024-01-31"},
        {"XMP date as it is", "2009-03-15", "2010-06-01T08:00Z", "2010-06-01T08:00Z"},
    };
    const auto document = [](std::string_view date) {
        return "<x>\n    <photoshop:DateCreated>" + std::string(date) + "</photoshop:DateCreated>\n</x>\n";
    };
    for (const auto& c : cases)
        EXPECT_EQ(XMPtoIPTCconverter::updateXMP(document(c.current), record(55, c.recordText)), document(c.expected))
            << c.name;
}

TEST(XMPtoIPTCconverter, DescriptorIsTheTableKeyOfTheDataset)
{
    const std::vector<std::pair<std::int32_t, std::optional<std::string>>> cases{
        {120, "dc:description"}, {55, "photoshop:DateCreated"}, {4, "Iptc4xmpCore:IntellectualGenre"},
        {20, "photoshop:SupplementalCategories"}, {60, std::nullopt}, {65, std::nullopt},
        {135, std::nullopt}, {-1, std::nullopt},
    };
    for (const auto& [dataSet, descriptor] : cases)
        EXPECT_EQ(XMPtoIPTCconverter::XMPDescriptorForIPTCCode(dataSet), descriptor) << dataSet;
}

TEST(XMPtoIPTCconverter, SearchesBelowNodeInDocumentOrder)
{
    TiXmlDocument document;
    document.Parse("<r><a><x>first</x><!--x--></a><x>second</x><y k=\"1\"><z k=\"2\" j=\"3\"/></y></r>");
    const TiXmlNode* root = document.RootElement();
    const TiXmlNode* x = XMPtoIPTCconverter::DeepXmlChildNodeWithValue(&document, "x");
    ASSERT_NE(x, nullptr);
    EXPECT_STREQ(x->FirstChild()->Value(), "first");
    EXPECT_EQ(x->Type(), TiXmlNode::TINYXML_ELEMENT) << "the element comes before the comment of the same value";
    EXPECT_EQ(XMPtoIPTCconverter::DeepXmlChildNodeWithValue(x, "x"), nullptr) << "the node itself is not below it";
    EXPECT_EQ(XMPtoIPTCconverter::DeepXmlChildNodeWithValue(root, "z"), root->LastChild()->FirstChild());
    EXPECT_EQ(XMPtoIPTCconverter::DeepXmlChildNodeWithValue(static_cast<const TiXmlNode*>(nullptr), "x"), nullptr);
    const TiXmlNode* comment = XMPtoIPTCconverter::DeepXmlChildNodeOfType(root, TiXmlNode::TINYXML_COMMENT);
    ASSERT_NE(comment, nullptr);
    EXPECT_STREQ(comment->Value(), "x");

    using Map = XMPtoIPTCconverter::AttributeMap;
    const TiXmlNode* y = root->LastChild();
    const TiXmlNode* z = y->FirstChild();
    EXPECT_EQ(XMPtoIPTCconverter::XmlNodeAttributeValue(y, "k"), "1");
    EXPECT_EQ(XMPtoIPTCconverter::XmlNodeAttributeValue(y, "j"), "3") << "from the first child element that has it";
    EXPECT_EQ(XMPtoIPTCconverter::XmlNodeAttributeValue(y, "q"), std::nullopt);
    EXPECT_TRUE(XMPtoIPTCconverter::XmlNodeHasAttributes(z, Map{{"k", "9"}, {"j", ""}}, false));
    EXPECT_FALSE(XMPtoIPTCconverter::XmlNodeHasAttributes(z, Map{{"k", "9"}}, true));
    EXPECT_FALSE(XMPtoIPTCconverter::XmlNodeHasAttributes(comment, Map{}, false));
    EXPECT_EQ(XMPtoIPTCconverter::XmlChildNodeWithAttributes(y, Map{{"k", "2"}}, true), z);
    EXPECT_EQ(XMPtoIPTCconverter::XmlChildNodeWithAttributes(root, Map{{"k", "2"}}, true), nullptr);

    LogCapture log;
    EXPECT_EQ(XMPtoIPTCconverter::DeepXmlChildNodeWithAttributes(root, Map{{"k", "2"}}, true), z);
    EXPECT_TRUE(log.contains("going deeper with y"));
    EXPECT_EQ(log.lines().back(), "found");
}
