#include "foundation/IptcPropertyKeys.h"

namespace qm {

const std::map<int, std::string>& IptcPropertyKeys::byDataSet()
{
    static const std::map<int, std::string> keys = [] {
        const std::pair<int, const char*> suffixes[] = {
            {3, "ObjectTypeReference"},   {4, "ObjectAttributeReference"},
            {5, "ObjectName"},            {7, "EditStatus"},
            {8, "EditorialUpdate"},       {10, "Urgency"},
            {12, "SubjectReference"},     {15, "Category"},
            {20, "SupplementalCategory"}, {22, "FixtureIdentifier"},
            {25, "Keywords"},             {26, "ContentLocationCode"},
            {27, "ContentLocationName"},  {30, "ReleaseDate"},
            {35, "ReleaseTime"},          {37, "ExpirationDate"},
            {38, "ExpirationTime"},       {40, "SpecialInstructions"},
            {42, "ActionAdvised"},        {45, "ReferenceService"},
            {47, "ReferenceDate"},        {50, "ReferenceNumber"},
            {55, "DateCreated"},          {60, "TimeCreated"},
            {62, "DigitalCreationDate"},  {63, "DigitalCreationTime"},
            {65, "OriginatingProgram"},   {70, "ProgramVersion"},
            {75, "ObjectCycle"},          {80, "Byline"},
            {85, "BylineTitle"},          {90, "City"},
            {92, "SubLocation"},          {95, "ProvinceState"},
            {100, "CountryPrimaryLocationCode"}, {101, "CountryPrimaryLocationName"},
            {103, "OriginalTransmissionReference"}, {105, "Headline"},
            {110, "Credit"},              {115, "Source"},
            {116, "CopyrightNotice"},     {118, "Contact"},
            {120, "CaptionAbstract"},     {122, "WriterEditor"},
            {130, "ImageType"},           {131, "ImageOrientation"},
            {135, "LanguageIdentifier"},
        };
        std::map<int, std::string> result;
        for (const auto& [dataSet, suffix] : suffixes)
            result.emplace(dataSet, std::string("kCGImagePropertyIPTC") + suffix);
        return result;
    }();
    return keys;
}

std::optional<int> IptcPropertyKeys::dataSetOf(std::string_view key)
{
    for (const auto& [dataSet, name] : byDataSet())
        if (name == key)
            return dataSet;
    return std::nullopt;
}

} // namespace qm
