#include "textgen/cIPTCCodeWithExtras.h"

#include <array>
#include <utility>

namespace qm {

namespace {

struct ArtificialFieldNames {
    std::int32_t dataSetCode;
    const char* identifier;
    const char* name;
};

constexpr std::array<ArtificialFieldNames, 5> artificialFields{{
    {cIPTCCodeWithExtras::imageFileNameField, "imageFileNameField", "Image file name"},
    {cIPTCCodeWithExtras::matchedIPTCField, "matchedIPTCField", "Matched metadata field"},
    {cIPTCCodeWithExtras::anyIPTCField, "anyIPTCField", "Any metadata field"},
    {cIPTCCodeWithExtras::allIPTCFields, "allIPTCFields", "All metadata fields"},
    {cIPTCCodeWithExtras::noIPTCFields, "noIPTCFields", "No metadata fields"},
}};

const ArtificialFieldNames* artificialFieldOf(const cIPTCCode& code)
{
    if (code.recordType() != cIPTCCodeWithExtras::artificialRecordType)
        return nullptr;
    for (const auto& field : artificialFields)
        if (code.dataSetCode() == field.dataSetCode)
            return &field;
    return nullptr;
}

} // namespace

bool cIPTCCodeWithExtras::isArtificialField(const std::optional<cIPTCCode>& code, ArtificialField field)
{
    return code && *code == artificialCode(field);
}

bool cIPTCCodeWithExtras::isRealField(const std::optional<cIPTCCode>& code)
{
    return code && code->dataSetCode() && *code->dataSetCode() >= 0;
}

std::optional<std::string> cIPTCCodeWithExtras::name() const
{
    if (recordType() != artificialRecordType)
        return cIPTCCode::name();
    if (const auto* field = artificialFieldOf(*this))
        return field->name;
    return std::nullopt;
}

std::optional<std::string> cIPTCCodeWithExtras::identifier(const cIPTCCode& code)
{
    if (const auto* field = artificialFieldOf(code))
        return field->identifier;
    return std::nullopt;
}

std::optional<cIPTCCode> cIPTCCodeWithExtras::codeForIdentifier(std::string_view identifier)
{
    for (const auto& field : artificialFields)
        if (identifier == field.identifier)
            return artificialCode(static_cast<ArtificialField>(field.dataSetCode));
    return std::nullopt;
}

} // namespace qm
