// Publication files as people write them: the import refuses or reads every input, an export of
// what was read reads back to the same export, and the rules read run over awkward datasets.
#include "FuzzSupport.h"

#include <string>
#include <string_view>

#include "foundation/StringEncodings.h"
#include "textgen/PublicationsJSON.h"

namespace {

using namespace qm;

IPTCRecordArray awkwardRecords()
{
    const std::pair<std::uint8_t, std::string_view> datasets[] = {
        {5, ""},
        {80, "  Jürgen Müller, dpa  "},
        {110, "AP Photo / REUTERS"},
        {115, "\xF0\x9F\x93\xB7 Foto: B\xC3\xA4r"},
        {120, "Line one\r\nLine two\xE2\x80\xA8 *** Local Caption *** end."},
        {25, "one"},
        {25, "two"},
    };
    IPTCRecordArray records;
    for (const auto& [dataSet, text] : datasets) {
        auto record = std::make_shared<cIPTCRecord>(2, dataSet, cIPTCRecord::Bytes(text.begin(), text.end()));
        record->setTextEncoding(Encoding::UTF8);
        records.push_back(record);
    }
    return records;
}

void generateEveryText(const PublicationsJSON::Publications& publications, const IPTCRecordArray& records)
{
    for (const auto& publication : publications) {
        for (const auto& byline : publication->bylines())
            byline->textWithFilePath("/pictures/DSC_0001 AP.jpg", records);
        for (const auto& caption : publication->captions())
            caption->textWithFilePath(std::nullopt, records);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    static const IPTCRecordArray records = awkwardRecords();
    const std::string_view json(reinterpret_cast<const char*>(bytes), size);
    auto imported = PublicationsJSON::importPublications(json);
    qm::fuzz::require(imported.publications.has_value() != !imported.error.empty(),
                      "an import either reads the publications or says why not");
    if (!imported.publications)
        return 0;
    generateEveryText(*imported.publications, records);
    const std::string exported = PublicationsJSON::exportPublications(*imported.publications);
    imported.publications.reset(); // so that the identifiers are free to be read again

    const auto again = PublicationsJSON::importPublications(exported);
    qm::fuzz::require(again.publications.has_value(), "an export reads back");
    qm::fuzz::require(PublicationsJSON::exportPublications(*again.publications) == exported,
                      "an export read back exports the same");
    return 0;
}
