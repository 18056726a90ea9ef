#include "app/IPTCDisplay.h"

#include "app/CustomIPTCFilter.h"
#include "app/TextDecoding.h"
#include "foundation/UserDefaults.h"
#include "parsers/QMMetadataParser.h"

namespace qm {

namespace {

bool usesXMP(const std::shared_ptr<QMMetadataParser>& parser, const UserDefaults& defaults)
{
    return parser && defaults.boolForKey("preferXMP") && parser->XMP().has_value();
}

std::optional<IPTCRecordArray> decodedRecords(const std::shared_ptr<QMMetadataParser>& parser, bool fromXMP,
                                              StringEncoding encoding)
{
    if (!parser)
        return std::nullopt;
    return fromXMP ? parser->IPTCRecordsFromXMP() : parser->IPTCRecordsWithEncoding(encoding);
}

std::optional<IPTCRecordArray> filtered(const std::optional<IPTCRecordArray>& records, const UserDefaults& defaults)
{
    if (!defaults.boolForKey("filterIPTCRecords"))
        return records;
    auto shown = CustomIPTCFilter::filteredRecords(records.value_or(IPTCRecordArray{}),
                                                   CustomIPTCFilter::fromDefaults(defaults));
    return shown.empty() ? std::nullopt : std::optional(std::move(shown));
}

} // namespace

StringEncoding IPTCDisplay::chosenEncoding(const std::shared_ptr<QMMetadataParser>& parser,
                                           const UserDefaults& defaults)
{
    if (usesXMP(parser, defaults))
        return Encoding::UTF8;
    const auto records = parser ? parser->IPTCRecords() : std::nullopt;
    return TextDecoding::guessTextEncodingOfIPTCRecords(records.value_or(IPTCRecordArray{}), defaults);
}

IPTCDisplay::Result IPTCDisplay::updateDisplayedIPTCData(const std::shared_ptr<QMMetadataParser>& parser,
                                                         UserDefaults& defaults, bool hasCurrentImagePath)
{
    const StringEncoding encoding = chosenEncoding(parser, defaults);
    Result result = updateDisplayedIPTCDataWithEncoding(parser, encoding, defaults);
    if (hasCurrentImagePath)
        defaults.setObject("panelTextEncoding", PlistValue(static_cast<std::int64_t>(encoding)));
    return result;
}

IPTCDisplay::Result IPTCDisplay::updateDisplayedIPTCDataWithCustomPanelEncoding(
    const std::shared_ptr<QMMetadataParser>& parser, const UserDefaults& defaults)
{
    const auto encoding = static_cast<StringEncoding>(defaults.integerForKey("panelTextEncoding"));
    return updateDisplayedIPTCDataWithEncoding(parser, encoding, defaults);
}

IPTCDisplay::Result IPTCDisplay::updateDisplayedIPTCDataWithEncoding(const std::shared_ptr<QMMetadataParser>& parser,
                                                                     StringEncoding encoding,
                                                                     const UserDefaults& defaults)
{
    Result result;
    result.encoding = encoding;
    result.usedXMP = usesXMP(parser, defaults);
    result.IPTCRecords = decodedIPTCRecords(parser, encoding, defaults.boolForKey("consolidateRepeatables"), defaults);
    result.filteredIPTCRecords = filtered(result.IPTCRecords, defaults);
    return result;
}

std::optional<IPTCRecordArray> IPTCDisplay::decodedIPTCRecords(const std::shared_ptr<QMMetadataParser>& parser,
                                                               StringEncoding encoding, bool consolidate,
                                                               const UserDefaults& defaults)
{
    const bool fromXMP = usesXMP(parser, defaults);
    auto records = decodedRecords(parser, fromXMP, encoding);
    if (records && consolidate)
        records = cIPTCRecord::IPTCRecordsByConsolidatingRepeatableRecords(*records);
    if (records && defaults.boolForKey("detectUTF8Corruption") && (encoding == Encoding::UTF8 || fromXMP))
        records = TextDecoding::convertCorruptUTF8(*records, defaults);
    return records;
}

} // namespace qm
