#pragma once

#include <map>
#include <optional>
#include <string>

#include "foundation/StringEncodings.h"
#include "metadata/cIPTCRecord.h"
#include "textgen/cIPTCCodeWithExtras.h"
#include "textgen/iptcTextConcatSpec.h"

namespace qm::test {

// Record-2 datasets in UTF-8, in the order given (a dataset number may repeat).
inline IPTCRecordArray utf8Records(std::initializer_list<std::pair<int, std::string>> datasets)
{
    IPTCRecordArray records;
    for (const auto& [dataSet, text] : datasets) {
        auto record = std::make_shared<cIPTCRecord>(2, static_cast<std::uint8_t>(dataSet),
                                                    cIPTCRecord::Bytes(text.begin(), text.end()));
        record->setTextEncoding(Encoding::UTF8);
        records.push_back(record);
    }
    return records;
}

// A dataset number of record 2, or (when negative) an artificial field.
inline std::optional<cIPTCCode> field(std::optional<int> number)
{
    if (!number)
        return std::nullopt;
    if (*number < 0)
        return cIPTCCodeWithExtras::artificialCode(static_cast<cIPTCCodeWithExtras::ArtificialField>(*number));
    return cIPTCCode(2, *number);
}

struct RuleSetup {
    std::optional<int> extracted;
    std::optional<int> conditional;
    std::int64_t condition = 0;
    std::optional<std::string> values;
    std::int64_t part = iptcTextConcatSpec::wholeText;
    std::int64_t unicity = 0;
    std::optional<std::string> prefix;
    std::optional<std::string> suffix;
    bool caseSensitive = false;
    bool trim = false;
    bool breakIfTrue = false;
    bool prefixRequiresPreviousText = false;
};

inline iptcTextConcatSpec::Pointer rule(const RuleSetup& setup)
{
    auto rule = iptcTextConcatSpec::create();
    rule->setIPTCField(field(setup.extracted));
    rule->setConditionalIPTCField(field(setup.conditional));
    rule->setCondition(setup.condition);
    if (setup.values)
        rule->setConditionalValue(*setup.values);
    rule->setIPTCTextToExtract(setup.part);
    rule->setUnicity(setup.unicity);
    rule->setPrefix(setup.prefix);
    rule->setSuffix(setup.suffix);
    rule->setCaseSensitive(setup.caseSensitive);
    rule->setTrim(setup.trim);
    rule->setBreakIfConditionIsTrue(setup.breakIfTrue);
    rule->setPrefixRequiresPreviousText(setup.prefixRequiresPreviousText);
    return rule;
}

} // namespace qm::test
