#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/Log.h"
#include "parsers/XmlNestingScanner.h"
#include "parsers/bufferedTinyXML.h"
#include "support/ByteFixtures.h"

using namespace qm;
using qm::test::repeated;

namespace {

bool load(bufferedTinyXML& document, std::string_view text)
{
    return document.LoadFromString(text.data(), static_cast<std::int32_t>(text.size()));
}

std::string nested(std::size_t depth)
{
    return repeated("<a>", depth) + "x" + repeated("</a>", depth);
}

// Nesting of the parsed tree, an element with elements above it counting one level each.
std::size_t treeDepth(const TiXmlNode& root)
{
    std::size_t deepest = 0;
    std::vector<std::pair<const TiXmlNode*, std::size_t>> pending{{&root, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling())
            pending.emplace_back(child, depth + (child->ToElement() ? 1 : 0));
    }
    return deepest;
}

} // namespace

TEST(bufferedTinyXML, NormalisesLineEndsLikeFileLoading)
{
    struct Case {
        const char* name;
        std::string text;
        const char* attribute; // white space in attribute values and comments is kept
        const char* comment;
    };
    const std::vector<Case> cases{
        {"LF", "<a t=\"1\n2\"><!--3\n4--></a>", "1\n2", "3\n4"},
        {"CR LF", "<a t=\"1\r\n2\"><!--3\r\n4--></a>", "1\n2", "3\n4"},
        {"lone CR", "<a t=\"1\r2\"><!--3\r4--></a>", "1\n2", "3\n4"},
        {"CR CR LF", "<a t=\"1\r\r\n2\"><!--3\r\r\n4--></a>", "1\n\n2", "3\n\n4"},
        {"text ends at NUL", std::string("<a t=\"1\"><!--2--></a>\0<b/>", 26), "1", "2"},
    };
    for (const auto& c : cases) {
        bufferedTinyXML document(c.text.data(), static_cast<std::int32_t>(c.text.size()));
        ASSERT_FALSE(document.Error()) << c.name << ": " << document.ErrorDesc();
        const TiXmlElement* root = document.RootElement();
        ASSERT_NE(root, nullptr) << c.name;
        EXPECT_EQ(root->NextSibling(), nullptr) << c.name;
        EXPECT_STREQ(root->Attribute("t"), c.attribute) << c.name;
        ASSERT_NE(root->FirstChild(), nullptr) << c.name;
        EXPECT_STREQ(root->FirstChild()->Value(), c.comment) << c.name;
    }
}

TEST(bufferedTinyXML, RefusesEmptyAndInvalidCounts)
{
    struct Case {
        const char* name;
        const char* buffer;
        std::int32_t count;
        int error;
    };
    const std::vector<Case> cases{
        {"zero bytes", "<a/>", 0, TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY},
        {"only a NUL", "\0<a/>", 5, TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY},
        {"negative count", "<a/>", -4, TiXmlBase::TIXML_ERROR},
        {"no buffer", nullptr, 4, TiXmlBase::TIXML_ERROR},
    };
    for (const auto& c : cases) {
        bufferedTinyXML document("<old/>", 6);
        EXPECT_FALSE(document.LoadFromString(c.buffer, c.count)) << c.name;
        EXPECT_EQ(document.ErrorId(), c.error) << c.name;
        EXPECT_EQ(document.FirstChild(), nullptr) << c.name << ": the previous document is cleared";
    }
}

TEST(bufferedTinyXML, TextThatIsNotUTF8EndsBeforeTheBadByte)
{
    LogCapture log;
    bufferedTinyXML document("", 0);
    // TinyXML alone would read all of it, the comment's bytes as they are.
    EXPECT_FALSE(load(document, "<a>x</a><!--caf\xE9--><b/>"));
    ASSERT_NE(document.RootElement(), nullptr);
    EXPECT_STREQ(document.RootElement()->GetText(), "x");
    EXPECT_EQ(document.FirstChildElement("b"), nullptr);
    EXPECT_TRUE(log.contains("not UTF-8 from byte 15"));
}

TEST(bufferedTinyXML, RefusesTextsNestedTooDeep)
{
    const std::size_t limit = bufferedTinyXML::MaximumNestingDepth;
    bufferedTinyXML document("", 0);
    EXPECT_TRUE(load(document, nested(limit)));

    // A plain count of "<" against "</" is misled by markup that TinyXML does not read as tags.
    const std::string deep = repeated("<a>", 100000);
    const std::string closes = repeated("</a>", 100000);
    const std::vector<std::pair<const char*, std::string>> cases{
        {"one level too many", nested(limit + 1)},
        {"100000 levels", deep},
        {"end tags in a comment", "<r><!--" + closes + "-->" + deep},
        {"end tags in CDATA", "<r><![CDATA[" + closes + "]]>" + deep},
        {"end tags in an attribute", "<r a=\"" + closes + "\">" + deep},
        {"end tags in a declaration", "<?xml version=\"" + closes + "\"?><r>" + deep},
        {"end tags before the root", closes + deep},
    };
    for (const auto& [name, text] : cases) {
        LogCapture log;
        EXPECT_FALSE(load(document, text)) << name;
        EXPECT_EQ(document.FirstChild(), nullptr) << name;
        EXPECT_TRUE(log.contains("nested deeper than")) << name;
    }
}

TEST(bufferedTinyXML, NestingBoundIsNeverBelowTinyXmlDepth)
{
    struct Case {
        const char* name;
        const char* text;
        bool exact; // well-formed texts are measured exactly, not just bounded
    };
    const std::vector<Case> cases{
        {"packet",
         "<?xml version=\"1.0\" encoding='UTF-8'?>\n<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0\"?>\n"
         "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><!-- </x:xmpmeta> --><rdf:RDF><rdf:Description a=\"/>\">"
         "<dc:subject><rdf:Bag><rdf:li>a &amp; b</rdf:li><rdf:li/></rdf:Bag></dc:subject>"
         "<![CDATA[</rdf:Description>]]></rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end=\"w\"?>",
         true},
        {"self-closing and spaced tags", "<a ><b/><c  x = 'y' ></c ><d><e/></d></a >", true},
        {"unclosed", "<a><b><c><d>text", true},
        {"end tag of another element", "<a><b></a><c><d><e></e></d></c></b></a>", false},
        {"unquoted attribute", "<a x=1><b y=2/><c><d/></c></a>", false},
        {"byte-order mark after <", "<\xEF\xBB\xBF a><b><c/></b></a>", false},
        {"quoted > in a declaration", "<?xml version=\"1>2\" x='</a>'?><a><b><c></c></b></a>", false},
        {"unknown markup", "<!DOCTYPE a [ <!ENTITY e \"</a>\"> ]><a><b><c/></b></a>", false},
        {"stray < in text", "<a>1 < 2<b><c/></b></a>", false},
    };
    for (const auto& c : cases) {
        TiXmlDocument document;
        document.Parse(c.text, nullptr, TIXML_ENCODING_UTF8);
        // An empty element adds a level to the tree but does not take TinyXML a level deeper.
        const std::size_t depth = treeDepth(document);
        const std::size_t bound = XmlNestingScanner::depthBound(c.text);
        EXPECT_GE(bound + 1, depth) << c.name;
        if (c.exact)
            EXPECT_LE(bound, depth) << c.name;
    }
}
