#include <gtest/gtest.h>

#include <fstream>

#include "app/ScribusDocument.h"

namespace qm {
namespace {

std::string document(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SCRIBUSUTF8NEW Version=\"1.5.8\"><DOCUMENT ANZPAGES=\"4\">" +
           body + "</DOCUMENT></SCRIBUSUTF8NEW>\n";
}

std::string pages(int count, const std::string& master = "Normal")
{
    std::string text = "<MASTERPAGE NUM=\"0\" NAM=\"Normal\" MNAM=\"\"/>";
    for (int i = 0; i < count; ++i)
        text += "<PAGE NUM=\"" + std::to_string(i) + "\" NAM=\"\" MNAM=\"" + (i == 1 ? master : "Normal") + "\"/>";
    return text;
}

std::string picture(const std::string& name, int page, const std::string& file, const std::string& element = "PAGEOBJECT")
{
    return "<" + element + " PTYPE=\"2\" OwnPage=\"" + std::to_string(page) + "\" ANNAME=\"" + name + "\" PFILE=\"" +
           file + "\"/>";
}

std::string section(const std::string& from, const std::string& to, const std::string& type, const std::string& start,
                    const std::string& extra = "Reversed=\"0\" FillChar=\"0\" FieldWidth=\"0\"")
{
    return "<Section Number=\"0\" Name=\"0\" From=\"" + from + "\" To=\"" + to + "\" Type=\"" + type + "\" Start=\"" +
           start + "\" Active=\"1\" " + extra + "/>";
}

// One line per picture: NUMBER POSITION MASTER FRAME PATH.
std::string summary(const ScribusDocument& read)
{
    std::string text;
    for (const auto& p : read.pictures())
        text += p.pageNumber + " " + std::to_string(p.pageIndex + 1) + " " + p.masterPage.value_or("-") + " " +
                p.frameName + " " + p.path.string() + "\n";
    return text;
}

TEST(ScribusDocumentTest, ReadsThePicturesOfEachShapeOfDocument)
{
    const struct {
        const char* label;
        std::string text;
        std::string pictures; // summary(), or the error's beginning after "error: "
    } cases[] = {
        {"relative, parent and absolute paths", document(pages(2) + picture("A", 0, "img/a.jpg") +
                                                         picture("B", 1, "../b.jpg") + picture("C", 1, "/pics/c.jpg")),
         "1 1 - A /doc/folder/img/a.jpg\n2 2 - B /doc/b.jpg\n2 2 - C /pics/c.jpg\n"},
        {"sections number the pages", document("<Sections>" + section("0", "1", "Type_i_ii_iii", "1") +
                                               section("2", "3", "Type_A_B_C", "27", "FillChar=\"48\" FieldWidth=\"4\"") +
                                               "</Sections>" + pages(5) + picture("A", 1, "a.jpg") +
                                               picture("B", 3, "b.jpg") + picture("C", 4, "c.jpg")),
         "ii 2 - A /doc/folder/a.jpg\n00AB 4 - B /doc/folder/b.jpg\n5 5 - C /doc/folder/c.jpg\n"},
        {"a reversed section counts down", document("<Sections>" + section("0", "2", "Type_1_2_3", "10",
                                                    "Reversed=\"1\"") + "</Sections>" + pages(3) +
                                                    picture("A", 0, "a.jpg") + picture("B", 2, "b.jpg")),
         "12 1 - A /doc/folder/a.jpg\n10 3 - B /doc/folder/b.jpg\n"},
        {"empty frames, other frames and the pasteboard are left out",
         document(pages(1) + "<PAGEOBJECT PTYPE=\"2\" OwnPage=\"0\" ANNAME=\"Empty\"/>" +
                  "<PAGEOBJECT PTYPE=\"4\" OwnPage=\"0\" ANNAME=\"Text\" PFILE=\"t.jpg\"/>" +
                  picture("Aside", -1, "aside.jpg") + picture("Kept", 0, "kept.jpg")),
         "1 1 - Kept /doc/folder/kept.jpg\n"},
        {"a group's pictures, sorted by page", document(pages(2) + picture("Late", 1, "late.jpg") +
                                                        "<PAGEOBJECT PTYPE=\"12\" OwnPage=\"0\" ANNAME=\"Group\">" +
                                                        picture("Inner", 0, "in.jpg") +
                                                        "<PAGEOBJECT PTYPE=\"2\" ANNAME=\"NoPage\" PFILE=\"np.jpg\"/>" +
                                                        "</PAGEOBJECT>"),
         "1 1 - Inner /doc/folder/in.jpg\n1 1 - NoPage /doc/folder/np.jpg\n2 2 - Late /doc/folder/late.jpg\n"},
        {"a master page's picture on every page that uses it",
         document("<MASTERPAGE NUM=\"1\" NAM=\"Logo\" MNAM=\"\"/>" + pages(3, "Logo") +
                  "<PAGE NUM=\"2\" NAM=\"\" MNAM=\"Logo\"/>" + picture("Own", 1, "own.jpg") +
                  picture("Mark", 1, "mark.jpg", "MASTEROBJECT") + picture("Plain", 0, "plain.jpg", "MASTEROBJECT")),
         "1 1 Normal Plain /doc/folder/plain.jpg\n2 2 Logo Mark /doc/folder/mark.jpg\n2 2 - Own /doc/folder/own.jpg\n"
         "3 3 Logo Mark /doc/folder/mark.jpg\n"},
        {"entities in names and paths", document(pages(1) + picture("A &amp; B", 0, "&#233;t&#xE9;/a&quot;b.jpg")),
         "1 1 - A & B /doc/folder/été/a\"b.jpg\n"},
        {"damaged XML", document(pages(1) + "<PAGEOBJECT PTYPE=\"2\" OwnPage=\"0\"").substr(0, 200),
         "error: damaged XML at line"},
        {"cut short", document(pages(2) + picture("A", 0, "a.jpg")).substr(0, 150), "error: damaged XML"},
        {"another XML document", "<?xml version=\"1.0\"?><html><body/></html>", "error: not a Scribus document"},
        {"not XML", "%PDF-1.4 binary", "error: not a"},
        {"nothing", "", "error: not an XML document"},
        {"compressed", std::string("\x1f\x8b\x08\x00", 4) + "packed", "error: a compressed document (.sla.gz)"},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto read = ScribusDocument::fromText(c.text, "/doc/folder", error);
        if (c.pictures.starts_with("error: ")) {
            EXPECT_FALSE(read) << c.label;
            EXPECT_TRUE(error.starts_with(c.pictures.substr(7))) << c.label << ": " << error;
            EXPECT_EQ(error.find('\n'), std::string::npos) << c.label << ": one line";
        } else {
            ASSERT_TRUE(read) << c.label << ": " << error;
            EXPECT_EQ(summary(*read), c.pictures) << c.label;
        }
    }
}

TEST(ScribusDocumentTest, NumbersInEachStyle)
{
    const struct {
        long number;
        const char* type;
        const char* text;
    } cases[] = {
        {7, "Type_1_2_3", "7"},       {4, "Type_i_ii_iii", "iv"},    {1994, "Type_I_II_III", "MCMXCIV"},
        {1, "Type_a_b_c", "a"},       {26, "Type_a_b_c", "z"},       {27, "Type_A_B_C", "AA"},
        {53, "Type_A_B_C", "BA"},     {3, "Type_asterix", "***"},    {5, "Type_None", ""},
        {12, "Type_1_2_3_ar", "١٢"}, {5, "Type_Hebrew", "5"},       {0, "Type_i_ii_iii", "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScribusPageNumbers::formatted(c.number, c.type), c.text) << c.number << " " << c.type;
}

TEST(ScribusDocumentTest, ReadsAFileTakingPathsFromItsFolder)
{
    const auto folder = std::filesystem::temp_directory_path() / ("qm-sla-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "issue");
    std::ofstream(folder / "issue" / "page.sla") << document(pages(1) + picture("A", 0, "../img/a.jpg"));
    std::string error;
    const auto read = ScribusDocument::read(folder / "issue" / "page.sla", error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(read->pictures().size(), 1u);
    EXPECT_EQ(read->pictures()[0].path, folder / "img" / "a.jpg");
    EXPECT_EQ(read->pageCount(), 1u);
    EXPECT_FALSE(ScribusDocument::read(folder / "none.sla", error));
    EXPECT_EQ(error, "cannot be read");
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace qm
