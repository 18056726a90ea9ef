#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ArchiveReader.h"
#include "foundation/ArchiveWriter.h"
#include "foundation/PlistValue.h"
#include "foundation/UnicodeText.h"
#include "metadata/cIPTCRecord.h"

namespace qm {

class UserDefaults;

struct IPTCCodeLess {
    bool operator()(const cIPTCCode& a, const cIPTCCode& b) const { return a.compare(b) < 0; }
};
using IPTCCodeSet = std::set<cIPTCCode, IPTCCodeLess>;

// One satisfied test of a rule's condition.
struct ConditionHit {
    std::optional<cIPTCCode> iptcCode; // absent for the file-name test
    std::string iptcData;              // the text that was tested
    std::string searchString;          // the value looked for; empty for the emptiness tests
    TextRange range;                   // its first occurrence in iptcData
};

// One rule of a byline or caption: when its condition holds on a field (or on all fields, or on
// the image's file name), it adds text taken from a field, between its prefix and suffix, unless
// that would repeat what earlier rules produced.
class iptcTextConcatSpec {
public:
    using Pointer = std::shared_ptr<iptcTextConcatSpec>;
    using Array = std::vector<Pointer>;

    enum Condition : std::int64_t {
        conditionNone = 0,
        conditionIs = 1,
        conditionContainsButIsNot = 2,
        conditionContains = 3,
        conditionDoesNotContain = 4,
        conditionBeginsWith = 5,
        conditionDoesNotBeginWith = 6,
        conditionEndsWith = 7,
        conditionDoesNotEndWith = 8,
        conditionIsNotEmpty = 9,
        conditionIsEmpty = 10,
    };
    enum TextPart : std::int64_t {
        textBeforeMatch = 0,
        textThroughMatch = 1,
        matchedValue = 2,
        textFromMatch = 3,
        textAfterMatch = 4,
        textWithoutMatch = 5,
        wholeText = 6,
        firstWord = 7,
        firstTwoWords = 8,
        firstThreeWords = 9,
        firstFourWords = 10,
        lastFourWords = 11,
        lastThreeWords = 12,
        lastTwoWords = 13,
        lastWord = 14,
    };
    enum Unicity : std::int64_t {
        unicityAlways = 0,
        unicityNotInText = 1,
        unicityTextNotRepeated = 3,
        unicityPrefixNotRepeated = 4,
        unicitySuffixNotRepeated = 5,
    };

    iptcTextConcatSpec() = default;
    static Pointer create() { return std::make_shared<iptcTextConcatSpec>(); }

    const std::optional<std::string>& prefix() const { return mPrefix; }
    void setPrefix(std::optional<std::string> prefix) { mPrefix = std::move(prefix); }
    const std::optional<std::string>& suffix() const { return mSuffix; }
    void setSuffix(std::optional<std::string> suffix) { mSuffix = std::move(suffix); }
    const std::optional<cIPTCCode>& IPTCField() const { return mIPTCField; }
    void setIPTCField(std::optional<cIPTCCode> field) { mIPTCField = field; }
    const std::optional<cIPTCCode>& conditionalIPTCField() const { return mConditionalIPTCField; }
    void setConditionalIPTCField(std::optional<cIPTCCode> field) { mConditionalIPTCField = field; }
    // Dictionaries, each with a string under "text".
    const std::optional<PlistArray>& conditionalValueArray() const { return mConditionalValueArray; }
    void setConditionalValueArray(std::optional<PlistArray> values) { mConditionalValueArray = std::move(values); }
    std::int64_t condition() const { return mCondition; }
    void setCondition(std::int64_t condition) { mCondition = condition; }
    std::int64_t IPTCTextToExtract() const { return mIPTCTextToExtract; }
    void setIPTCTextToExtract(std::int64_t part) { mIPTCTextToExtract = part; }
    std::int64_t unicity() const { return mUnicity; }
    void setUnicity(std::int64_t unicity) { mUnicity = unicity; }
    bool caseSensitive() const { return mCaseSensitive; }
    void setCaseSensitive(bool value) { mCaseSensitive = value; }
    bool trim() const { return mTrim; }
    void setTrim(bool value) { mTrim = value; }
    bool breakIfConditionIsTrue() const { return mBreakIfConditionIsTrue; }
    void setBreakIfConditionIsTrue(bool value) { mBreakIfConditionIsTrue = value; }
    bool prefixRequiresPreviousText() const { return mPrefixRequiresPreviousText; }
    void setPrefixRequiresPreviousText(bool value) { mPrefixRequiresPreviousText = value; }

    // The non-empty "text" strings of the value array, in order.
    std::vector<std::string> conditionalValueArrayStrings() const;
    // Those strings joined with ", "; setting splits at every "|" (pieces kept as typed).
    std::string conditionalValue() const;
    void setConditionalValue(std::string_view value);

    // The titles the rule editor's menus give the condition and the text part.
    std::optional<std::string> conditionName() const { return conditionTitle(mCondition); }
    std::optional<std::string> IPTCFieldTextToExtractName() const { return textPartTitle(mIPTCTextToExtract); }
    static std::optional<std::string> conditionTitle(std::int64_t condition);
    static std::optional<std::string> textPartTitle(std::int64_t part);
    static std::optional<std::string> unicityTitle(std::int64_t unicity);

    // The identifiers of the numbers ("conditionContains", "textAfterMatch", "unicityNotInText"),
    // as settings files write them.
    static std::optional<std::string> conditionIdentifier(std::int64_t condition);
    static std::optional<std::int64_t> conditionForIdentifier(std::string_view identifier);
    static std::optional<std::string> textPartIdentifier(std::int64_t part);
    static std::optional<std::int64_t> textPartForIdentifier(std::string_view identifier);
    static std::optional<std::string> unicityIdentifier(std::int64_t unicity);
    static std::optional<std::int64_t> unicityForIdentifier(std::string_view identifier);

    // Tests the condition and keeps the outcome (conditionalWasTrue, conditionalHits) for extraction.
    bool conditionalIsTrue(const IPTCRecordArray& records, const std::optional<std::string>& path);
    // The rule's text, from the outcome of the last condition test.
    std::optional<std::string> extractedTextFromIPTCArray(const IPTCRecordArray& records) const;
    // The extracted text when the condition holds, else absent.
    std::optional<std::string> getText(const IPTCRecordArray& records, const std::optional<std::string>& path);

    bool conditionalWasTrue() const { return mConditionalWasTrue; }
    const std::vector<ConditionHit>& conditionalHits() const { return mConditionalHits; }

    // Whether a value found at `range` of `searched` satisfies condition kinds 1 to 8.
    bool conditionalRangeAndValueMatchCondition(TextRange range, std::string_view searched) const;
    static std::string getInitialWords(std::string_view text, int wordCount);
    static std::string getFinalWords(std::string_view text, int wordCount);
    // The first occurrence of the first value that occurs in the text.
    TextRange getConditionalStringRange(const std::optional<std::string>& text) const;
    bool canRemoveConditionalString() const;
    // The real fields the rule reads that no record has.
    IPTCCodeSet missingRequiredIPTCFields(const IPTCRecordArray& records) const;

    // A rule equal in every stored field, made through its archive.
    Pointer copy() const;

    static std::optional<std::string> getTextWithSpecArray(const Array& rules, const IPTCRecordArray& records,
                                                           const std::optional<std::string>& path);
    static IPTCCodeSet missingRequiredIPTCFieldsWithSpecArray(const Array& rules, const IPTCRecordArray& records);

    static void archiveTextConcatSpecsToUserDefaults(const Array& rules, const std::string& key, UserDefaults& defaults);
    static Array unarchiveTextConcatSpecsFromUserDefaults(const std::string& key, const UserDefaults& defaults);

    // Archived as twelve values in order: prefix, suffix, conditionalValueArray, IPTCField,
    // conditionalIPTCField, condition, IPTCTextToExtract, caseSensitive, unicity, trim,
    // breakIfConditionIsTrue, prefixRequiresPreviousText.
    static constexpr const char* ArchiveClassName = "iptcTextConcatSpec";
    std::string archiveClassName() const { return ArchiveClassName; }
    std::int64_t archiveVersion() const { return 1; }
    void encodeWithCoder(ArchiveWriter& coder) const;
    static Pointer initWithCoder(ArchiveReader& coder);

private:
    void addHitsForText(const std::optional<cIPTCCode>& field, const std::optional<std::string>& text, bool trimsText);
    bool useText(const std::string& text, const std::vector<std::string>& pieces) const;
    std::optional<std::string> cutAroundMatch(std::string text) const;

    std::optional<std::string> mPrefix;
    std::optional<std::string> mSuffix;
    std::optional<cIPTCCode> mIPTCField;
    std::optional<cIPTCCode> mConditionalIPTCField;
    std::optional<PlistArray> mConditionalValueArray;
    std::int64_t mCondition = conditionNone;
    std::int64_t mIPTCTextToExtract = wholeText;
    std::int64_t mUnicity = unicityAlways;
    bool mCaseSensitive = false;
    bool mTrim = false;
    bool mBreakIfConditionIsTrue = false;
    bool mPrefixRequiresPreviousText = false;

    bool mConditionalWasTrue = false;
    std::vector<ConditionHit> mConditionalHits;
};

} // namespace qm
