// The credits report of a Scribus document through quillmark-cli: its CSV read back by Python's csv
// module holds exactly what its JSON says.
#include "tools/CliTestSupport.h"

#include <nlohmann/json.hpp>

#include "support/PhotoshopBytes.h"

namespace {

using namespace qm::test::cli;
using QuillmarkCliReport = QuillmarkCliFixture;

void writeBytes(const fs::path& path, const Bytes& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string sla(const std::string& items)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SCRIBUSUTF8NEW Version=\"1.5.8\"><DOCUMENT ANZPAGES=\"3\">"
           "<Sections><Section Number=\"0\" Name=\"0\" From=\"0\" To=\"2\" Type=\"Type_i_ii_iii\" Start=\"1\" "
           "Reversed=\"0\" Active=\"1\" FillChar=\"0\" FieldWidth=\"0\"/></Sections>"
           "<MASTERPAGE NUM=\"0\" NAM=\"Normal\"/><PAGE NUM=\"0\" MNAM=\"Normal\"/><PAGE NUM=\"1\" MNAM=\"Normal\"/>"
           "<PAGE NUM=\"2\" MNAM=\"Normal\"/>" + items + "</DOCUMENT></SCRIBUSUTF8NEW>\n";
}

std::string item(int page, const std::string& name, const std::string& file)
{
    return "<PAGEOBJECT PTYPE=\"2\" OwnPage=\"" + std::to_string(page) + "\" ANNAME=\"" + name + "\" PFILE=\"" + file + "\"/>";
}

TEST_F(QuillmarkCliReport, CsvReadsBackAsTheJsonSays)
{
    writeBytes(mFolder / "issue" / "img" / "harbour.jpg",
               qm::test::jpegWithIIM(dataset(1, 90, "\x1B%G") + dataset(2, 5, "Harbour, \"dawn\"") +
                                     dataset(2, 80, "Åsa Öberg") + dataset(2, 80, "Li Wei") +
                                     dataset(2, 103, "TT-1234") + dataset(2, 110, "TT\nNyhetsbyrån") +
                                     dataset(2, 115, "TT") + dataset(2, 116, "© TT 2026")));
    writeBytes(mFolder / "issue" / "img" / "plain.jpg", qm::test::jpegWithIIM(dataset(2, 120, "No credit here")));
    std::ofstream(mFolder / "issue" / "Monday.sla")
        << sla(item(2, "Late", "img/plain.jpg") + item(0, "Front", "img/harbour.jpg") + item(1, "Gone", "img/gone.jpg"));
    const std::string document = (mFolder / "issue" / "Monday.sla").string();

    const Result csv = run({"report", document, "--csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    std::ofstream(mFolder / "report.csv", std::ios::binary) << csv.out;
    const Result json = run({"report", document, "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const std::string readBack =
        "python3 -c 'import csv, json, sys; print(json.dumps(list(csv.reader(open(sys.argv[1], newline=\"\", "
        "encoding=\"utf-8\")))))' " + quoted((mFolder / "report.csv").string()) + " >" + quoted((mFolder / "rows.json").string());
    ASSERT_EQ(std::system(readBack.c_str()), 0);

    const auto rows = nlohmann::json::parse(slurp(mFolder / "rows.json"));
    const auto objects = nlohmann::json::parse(json.out);
    ASSERT_EQ(rows.size(), 4u) << csv.out;
    ASSERT_EQ(objects.size(), 3u) << json.out;
    const auto header = rows[0];
    for (std::size_t r = 0; r < objects.size(); ++r)
        for (std::size_t c = 0; c < header.size(); ++c) {
            const auto& value = objects[r][header[c].get<std::string>()];
            EXPECT_EQ(rows[r + 1][c], value.is_null() ? "" : value.get<std::string>()) << header[c] << " of row " << r;
        }
    EXPECT_EQ(objects[0]["page"], "i");
    EXPECT_EQ(objects[0]["object"], "Harbour, \"dawn\"");
    EXPECT_EQ(objects[0]["credit"], "TT\nNyhetsbyrån");
    EXPECT_EQ(objects[0]["copyright"], "© TT 2026");
    EXPECT_EQ(objects[0]["transmission"], "TT-1234");
    EXPECT_NE(objects[0]["byline"].get<std::string>().find("Li Wei"), std::string::npos) << objects[0]["byline"];
    EXPECT_EQ(objects[1]["frame"], "Gone");
    EXPECT_EQ(objects[1]["status"], "missing");
    EXPECT_EQ(objects[1]["image"], (mFolder / "issue" / "img" / "gone.jpg").string());
    EXPECT_EQ(objects[2]["page"], "iii");
    EXPECT_TRUE(objects[2]["credit"].is_null());

    const Result page = run({"report", document, "--pages", "2-3"});
    ASSERT_EQ(page.status, 0) << page.err;
    EXPECT_EQ(page.out.substr(0, page.out.find('\n')),
              "page\tposition\tmaster\tframe\timage\tstatus\tbyline\tcredit\tsource\tcopyright\ttransmission\tobject\tdefault byline");
    EXPECT_NE(page.out.find("\nii\t2\t-\tGone\t"), std::string::npos) << page.out;
    EXPECT_EQ(page.out.find("Front"), std::string::npos) << page.out;

    std::ofstream(mFolder / "broken.sla") << sla(item(0, "A", "a.jpg")).substr(0, 180);
    for (const auto& bad : {(mFolder / "broken.sla").string(), (mFolder / "issue" / "img" / "plain.jpg").string(),
                            (mFolder / "none.sla").string()}) {
        const Result failed = run({"report", bad});
        EXPECT_EQ(failed.status, 1) << bad;
        EXPECT_EQ(std::count(failed.err.begin(), failed.err.end(), '\n'), 1) << failed.err;
        EXPECT_TRUE(failed.out.empty()) << bad;
    }
}

} // namespace
