#include "textgen/iptcTextConcatSpec.h"

#include <algorithm>
#include <array>
#include <deque>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include "foundation/Bundle.h"
#include "foundation/UserDefaults.h"
#include "textgen/cIPTCCodeWithExtras.h"

namespace qm {

namespace {

using Fields = cIPTCCodeWithExtras;

struct NamedNumber {
    std::int64_t number;
    const char* identifier;
    const char* title;
};

constexpr std::array<NamedNumber, 11> conditions{{
    {0, "conditionNone", "always"},
    {1, "conditionIs", "is"},
    {2, "conditionContainsButIsNot", "contains but is not"},
    {3, "conditionContains", "contains"},
    {4, "conditionDoesNotContain", "does not contain"},
    {5, "conditionBeginsWith", "begins with"},
    {6, "conditionDoesNotBeginWith", "does not begin with"},
    {7, "conditionEndsWith", "ends with"},
    {8, "conditionDoesNotEndWith", "does not end with"},
    {9, "conditionIsNotEmpty", "is not empty"},
    {10, "conditionIsEmpty", "is empty"},
}};

constexpr std::array<NamedNumber, 15> textParts{{
    {0, "textBeforeMatch", "text before match"},
    {1, "textThroughMatch", "text through match"},
    {2, "matchedValue", "matched value"},
    {3, "textFromMatch", "text from match"},
    {4, "textAfterMatch", "text after match"},
    {5, "textWithoutMatch", "text without match"},
    {6, "wholeText", "whole text"},
    {7, "firstWord", "first word"},
    {8, "firstTwoWords", "first two words"},
    {9, "firstThreeWords", "first three words"},
    {10, "firstFourWords", "first four words"},
    {11, "lastFourWords", "last four words"},
    {12, "lastThreeWords", "last three words"},
    {13, "lastTwoWords", "last two words"},
    {14, "lastWord", "last word"},
}};

constexpr std::array<NamedNumber, 5> unicities{{
    {0, "unicityAlways", "always"},
    {1, "unicityNotInText", "if not already in the text"},
    {3, "unicityTextNotRepeated", "if the text is not repeated"},
    {4, "unicityPrefixNotRepeated", "if the prefix is not repeated"},
    {5, "unicitySuffixNotRepeated", "if the suffix is not repeated"},
}};

template <std::size_t N>
const NamedNumber* byNumber(const std::array<NamedNumber, N>& table, std::int64_t number)
{
    auto found = std::find_if(table.begin(), table.end(), [&](const auto& entry) { return entry.number == number; });
    return found == table.end() ? nullptr : &*found;
}

template <std::size_t N>
std::optional<std::int64_t> byIdentifier(const std::array<NamedNumber, N>& table, std::string_view identifier)
{
    for (const auto& entry : table)
        if (identifier == entry.identifier)
            return entry.number;
    return std::nullopt;
}

template <std::size_t N>
std::optional<std::string> titleOf(const std::array<NamedNumber, N>& table, std::int64_t number)
{
    const auto* entry = byNumber(table, number);
    return entry ? std::optional(Bundle::main().localizedString(entry->title)) : std::nullopt;
}

template <std::size_t N>
std::optional<std::string> identifierOf(const std::array<NamedNumber, N>& table, std::int64_t number)
{
    const auto* entry = byNumber(table, number);
    return entry ? std::optional<std::string>(entry->identifier) : std::nullopt;
}

std::optional<std::string> lastPathComponent(const std::optional<std::string>& path)
{
    if (!path)
        return std::nullopt;
    std::string_view view = *path;
    while (view.size() > 1 && view.back() == '/')
        view.remove_suffix(1);
    const auto slash = view.find_last_of('/');
    return std::string(slash == std::string_view::npos || view.size() == 1 ? view : view.substr(slash + 1));
}

std::optional<std::string> displayTextOfFirstRecord(const cIPTCCode& code, const IPTCRecordArray& records)
{
    auto record = cIPTCRecord::IPTCRecordByCode(code, records, false);
    return record ? std::optional(record->dataAsFormattedString()) : std::nullopt;
}

bool recordsLack(const std::optional<cIPTCCode>& code, const IPTCRecordArray& records)
{
    return Fields::isRealField(code) && !cIPTCRecord::IPTCRecordByCode(*code, records, false);
}

// Scans words as the rules count them: white space is skipped, a punctuation mark is stepped over,
// and a word runs up to the next white space or punctuation mark.
class WordScanner {
public:
    struct Word {
        int32_t start;
        int32_t end;
    };

    explicit WordScanner(std::string_view text)
        : mText(icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size()))))
    {
    }

    std::optional<Word> next()
    {
        while (true) {
            while (mPosition < mText.length() && UnicodeText::isWhitespaceOrNewline(mText.char32At(mPosition)))
                mPosition = mText.moveIndex32(mPosition, 1);
            if (mPosition >= mText.length())
                return std::nullopt;
            if (!UnicodeText::isPunctuation(mText.char32At(mPosition)))
                break;
            mPosition = mText.moveIndex32(mPosition, 1);
        }
        const int32_t start = mPosition;
        while (mPosition < mText.length() && !isDelimiter(mText.char32At(mPosition)))
            mPosition = mText.moveIndex32(mPosition, 1);
        return Word{start, mPosition};
    }

    // The word with the one character that ended it, if any.
    std::string wordWithDelimiter(Word word) const
    {
        const int32_t end = word.end < mText.length() ? mText.moveIndex32(word.end, 1) : word.end;
        return text(word.start, end);
    }

    std::string text(int32_t start, int32_t end) const
    {
        std::string result;
        mText.tempSubString(start, end - start).toUTF8String(result);
        return result;
    }

private:
    static bool isDelimiter(UChar32 c) { return UnicodeText::isWhitespaceOrNewline(c) || UnicodeText::isPunctuation(c); }

    icu::UnicodeString mText;
    int32_t mPosition = 0;
};

std::string joined(const std::vector<std::string>& pieces)
{
    std::string result;
    for (const auto& piece : pieces)
        result += piece;
    return result;
}

} // namespace

std::vector<std::string> iptcTextConcatSpec::conditionalValueArrayStrings() const
{
    std::vector<std::string> strings;
    if (!mConditionalValueArray)
        return strings;
    for (const auto& entry : *mConditionalValueArray) {
        const PlistValue* text = entry.find("text");
        if (text && text->string() && !text->string()->empty())
            strings.push_back(*text->string());
    }
    return strings;
}

std::string iptcTextConcatSpec::conditionalValue() const
{
    std::string value;
    for (const auto& text : conditionalValueArrayStrings())
        value += (value.empty() ? "" : ", ") + text;
    return value;
}

void iptcTextConcatSpec::setConditionalValue(std::string_view value)
{
    PlistArray values;
    for (std::size_t start = 0;;) {
        const auto bar = value.find('|', start);
        values.push_back(PlistDictionary{{"text", std::string(value.substr(start, bar - start))}});
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    mConditionalValueArray = std::move(values);
}

std::optional<std::string> iptcTextConcatSpec::conditionTitle(std::int64_t condition)
{
    return titleOf(conditions, condition);
}

std::optional<std::string> iptcTextConcatSpec::textPartTitle(std::int64_t part)
{
    return titleOf(textParts, part);
}

std::optional<std::string> iptcTextConcatSpec::unicityTitle(std::int64_t unicity)
{
    return titleOf(unicities, unicity);
}

std::optional<std::string> iptcTextConcatSpec::conditionIdentifier(std::int64_t condition)
{
    return identifierOf(conditions, condition);
}

std::optional<std::int64_t> iptcTextConcatSpec::conditionForIdentifier(std::string_view identifier)
{
    return byIdentifier(conditions, identifier);
}

std::optional<std::string> iptcTextConcatSpec::textPartIdentifier(std::int64_t part)
{
    return identifierOf(textParts, part);
}

std::optional<std::int64_t> iptcTextConcatSpec::textPartForIdentifier(std::string_view identifier)
{
    return byIdentifier(textParts, identifier);
}

std::optional<std::string> iptcTextConcatSpec::unicityIdentifier(std::int64_t unicity)
{
    return identifierOf(unicities, unicity);
}

std::optional<std::int64_t> iptcTextConcatSpec::unicityForIdentifier(std::string_view identifier)
{
    return byIdentifier(unicities, identifier);
}

// A field counts once however many of the rule's values satisfy the test: "caption contains
// AP or Reuters" holds when both occur. Every satisfied value still adds its hit, in order.
bool iptcTextConcatSpec::conditionalIsTrue(const IPTCRecordArray& records, const std::optional<std::string>& path)
{
    mConditionalHits.clear();
    if (mCondition == conditionNone) {
        mConditionalWasTrue = true;
        return true;
    }
    if (Fields::isArtificialField(mConditionalIPTCField, Fields::imageFileNameField)) {
        addHitsForText(std::nullopt, lastPathComponent(path), false);
        mConditionalWasTrue = !mConditionalHits.empty();
        return mConditionalWasTrue;
    }
    const bool testsAllFields = Fields::isArtificialField(mConditionalIPTCField, Fields::anyIPTCField) ||
                                Fields::isArtificialField(mConditionalIPTCField, Fields::allIPTCFields) ||
                                Fields::isArtificialField(mConditionalIPTCField, Fields::noIPTCFields);
    std::vector<cIPTCCode> fields;
    if (testsAllFields)
        fields = cIPTCRecord::uniqueIPTCCodes(records);
    else if (Fields::isRealField(mConditionalIPTCField))
        fields = {*mConditionalIPTCField};

    const bool stopsAtFirstHit = !Fields::isArtificialField(mConditionalIPTCField, Fields::allIPTCFields);
    std::size_t fieldsHit = 0;
    for (const auto& field : fields) {
        const auto hitsBefore = mConditionalHits.size();
        addHitsForText(field, displayTextOfFirstRecord(field, records), true);
        if (mConditionalHits.size() > hitsBefore)
            ++fieldsHit;
        if (fieldsHit > 0 && stopsAtFirstHit)
            break;
    }
    if (Fields::isArtificialField(mConditionalIPTCField, Fields::anyIPTCField))
        mConditionalWasTrue = fieldsHit > 0;
    else if (Fields::isArtificialField(mConditionalIPTCField, Fields::noIPTCFields))
        mConditionalWasTrue = fieldsHit == 0;
    else
        mConditionalWasTrue = fieldsHit == fields.size();
    return mConditionalWasTrue;
}

void iptcTextConcatSpec::addHitsForText(const std::optional<cIPTCCode>& field, const std::optional<std::string>& text,
                                        bool trimsText)
{
    if (text && mCondition != conditionIsNotEmpty && mCondition != conditionIsEmpty) {
        for (const auto& value : conditionalValueArrayStrings()) {
            const TextRange range = UnicodeText::find(*text, value, mCaseSensitive);
            if (conditionalRangeAndValueMatchCondition(range, *text))
                mConditionalHits.push_back({field, *text, value, range});
        }
        return;
    }
    const std::optional<std::string> tested = text && trimsText ? std::optional(UnicodeText::trimmed(*text)) : text;
    if (mCondition == conditionIsNotEmpty && tested && !tested->empty())
        mConditionalHits.push_back({field, *tested, "", {0, UnicodeText::utf16Length(*tested)}});
    else if (mCondition == conditionIsEmpty && (!tested || tested->empty()))
        mConditionalHits.push_back({field, "", "", {0, 0}});
}

bool iptcTextConcatSpec::conditionalRangeAndValueMatchCondition(TextRange range, std::string_view searched) const
{
    const std::size_t length = UnicodeText::utf16Length(searched);
    const bool atStart = range.found() && range.location == 0;
    const bool atEnd = range.found() && range.end() == length;
    switch (mCondition) {
    case conditionIs: return atStart && range.length == length;
    case conditionContainsButIsNot: return range.found() && !(atStart && range.length == length);
    case conditionContains: return range.found();
    case conditionDoesNotContain: return !range.found();
    case conditionBeginsWith: return atStart;
    case conditionDoesNotBeginWith: return !atStart;
    case conditionEndsWith: return atEnd;
    case conditionDoesNotEndWith: return !atEnd;
    default: return false;
    }
}

std::optional<std::string> iptcTextConcatSpec::extractedTextFromIPTCArray(const IPTCRecordArray& records) const
{
    const bool readsMatchedField = Fields::isArtificialField(mIPTCField, Fields::matchedIPTCField);
    std::optional<cIPTCCode> fieldToRead;
    if (readsMatchedField && !mConditionalHits.empty())
        fieldToRead = mConditionalHits.front().iptcCode;
    else if (Fields::isRealField(mIPTCField))
        fieldToRead = mIPTCField;
    if (!fieldToRead)
        return std::nullopt;
    std::optional<std::string> text = displayTextOfFirstRecord(*fieldToRead, records);
    if (!text)
        return std::nullopt;

    const bool knowsMatch = readsMatchedField || (Fields::isRealField(mIPTCField) && mIPTCField == mConditionalIPTCField);
    if (mIPTCTextToExtract >= textBeforeMatch && mIPTCTextToExtract <= textWithoutMatch && knowsMatch)
        text = cutAroundMatch(std::move(*text));
    else if (mIPTCTextToExtract >= firstWord && mIPTCTextToExtract <= firstFourWords)
        text = getInitialWords(*text, static_cast<int>(mIPTCTextToExtract - firstWord + 1));
    else if (mIPTCTextToExtract >= lastFourWords && mIPTCTextToExtract <= lastWord)
        text = getFinalWords(*text, static_cast<int>(lastWord - mIPTCTextToExtract + 1));
    if (mTrim)
        text = UnicodeText::trimmed(*text);
    return text;
}

std::optional<std::string> iptcTextConcatSpec::cutAroundMatch(std::string text) const
{
    if (mConditionalHits.empty())
        return text;
    const ConditionHit& hit = mConditionalHits.front();
    if (mIPTCTextToExtract == matchedValue)
        return hit.searchString;
    const TextRange match = hit.range;
    if (!match.found())
        return text;
    switch (mIPTCTextToExtract) {
    case textBeforeMatch: return UnicodeText::substring(text, 0, match.location);
    case textThroughMatch: return UnicodeText::substring(text, 0, match.end());
    case textFromMatch: return UnicodeText::substringFrom(text, match.location);
    case textAfterMatch: return UnicodeText::substringFrom(text, match.end());
    case textWithoutMatch:
        return UnicodeText::substring(text, 0, match.location) + UnicodeText::substringFrom(text, match.end());
    default: return text;
    }
}

std::optional<std::string> iptcTextConcatSpec::getText(const IPTCRecordArray& records,
                                                       const std::optional<std::string>& path)
{
    if (!conditionalIsTrue(records, path))
        return std::nullopt;
    return extractedTextFromIPTCArray(records);
}

std::string iptcTextConcatSpec::getInitialWords(std::string_view text, int wordCount)
{
    WordScanner scanner(text);
    std::optional<WordScanner::Word> last;
    for (int taken = 0; taken < wordCount; ++taken) {
        auto word = scanner.next();
        if (!word)
            break;
        last = word;
    }
    return last ? scanner.text(0, last->end) : std::string();
}

std::string iptcTextConcatSpec::getFinalWords(std::string_view text, int wordCount)
{
    WordScanner scanner(text);
    std::deque<std::string> kept;
    while (auto word = scanner.next()) {
        kept.push_back(scanner.wordWithDelimiter(*word));
        if (static_cast<int>(kept.size()) > wordCount)
            kept.pop_front();
    }
    std::string result;
    for (const auto& piece : kept)
        result += piece;
    return result;
}

TextRange iptcTextConcatSpec::getConditionalStringRange(const std::optional<std::string>& text) const
{
    for (const auto& value : conditionalValueArrayStrings()) {
        const TextRange range = UnicodeText::find(text.value_or(""), value, mCaseSensitive);
        if (range.found())
            return range;
    }
    return {};
}

bool iptcTextConcatSpec::canRemoveConditionalString() const
{
    const bool locatesValue = mCondition == conditionIs || mCondition == conditionContains ||
                              mCondition == conditionBeginsWith || mCondition == conditionEndsWith;
    return locatesValue && !conditionalValue().empty() && mConditionalIPTCField.has_value();
}

IPTCCodeSet iptcTextConcatSpec::missingRequiredIPTCFields(const IPTCRecordArray& records) const
{
    IPTCCodeSet missing;
    if (mCondition != conditionNone && recordsLack(mConditionalIPTCField, records))
        missing.insert(*mConditionalIPTCField);
    if (recordsLack(mIPTCField, records))
        missing.insert(*mIPTCField);
    return missing;
}

bool iptcTextConcatSpec::useText(const std::string& text, const std::vector<std::string>& pieces) const
{
    const auto isEarlierPiece = [&](const std::string& candidate) {
        return std::find(pieces.begin(), pieces.end(), candidate) != pieces.end();
    };
    switch (mUnicity) {
    case unicityAlways: return true;
    case unicityNotInText:
        return !UnicodeText::find(joined(pieces), mPrefix.value_or("") + text + mSuffix.value_or(""), mCaseSensitive)
                    .found();
    case unicityTextNotRepeated: return !isEarlierPiece(text);
    case unicityPrefixNotRepeated: return !mPrefix || !isEarlierPiece(*mPrefix);
    case unicitySuffixNotRepeated: return !mSuffix || !isEarlierPiece(*mSuffix);
    default: return false;
    }
}

std::optional<std::string> iptcTextConcatSpec::getTextWithSpecArray(const Array& rules, const IPTCRecordArray& records,
                                                                    const std::optional<std::string>& path)
{
    std::vector<std::string> pieces;
    for (const auto& rule : rules) {
        if (!rule)
            continue;
        const std::optional<std::string> text = rule->getText(records, path);
        const bool stop = rule->mCondition != conditionNone && rule->mConditionalWasTrue && rule->mBreakIfConditionIsTrue;
        if (rule->mConditionalWasTrue && text && rule->useText(*text, pieces)) {
            if (rule->mPrefix && (!rule->mPrefixRequiresPreviousText || !pieces.empty()))
                pieces.push_back(*rule->mPrefix);
            pieces.push_back(*text);
            if (rule->mSuffix)
                pieces.push_back(*rule->mSuffix);
        }
        if (stop)
            break;
    }
    if (pieces.empty())
        return std::nullopt;
    return joined(pieces);
}

IPTCCodeSet iptcTextConcatSpec::missingRequiredIPTCFieldsWithSpecArray(const Array& rules,
                                                                        const IPTCRecordArray& records)
{
    IPTCCodeSet missing;
    for (const auto& rule : rules)
        if (rule)
            missing.merge(rule->missingRequiredIPTCFields(records));
    return missing;
}

void iptcTextConcatSpec::encodeWithCoder(ArchiveWriter& coder) const
{
    coder.encode(ArchiveWriter::optionalItem(mPrefix));
    coder.encode(ArchiveWriter::optionalItem(mSuffix));
    coder.encode(ArchiveWriter::optionalItem(mConditionalValueArray));
    coder.encode(ArchiveWriter::optionalItem(mIPTCField));
    coder.encode(ArchiveWriter::optionalItem(mConditionalIPTCField));
    coder.encode(PlistValue(mCondition));
    coder.encode(PlistValue(mIPTCTextToExtract));
    coder.encode(PlistValue(mCaseSensitive));
    coder.encode(PlistValue(mUnicity));
    coder.encode(PlistValue(mTrim));
    coder.encode(PlistValue(mBreakIfConditionIsTrue));
    coder.encode(PlistValue(mPrefixRequiresPreviousText));
}

iptcTextConcatSpec::Pointer iptcTextConcatSpec::initWithCoder(ArchiveReader& coder)
{
    auto rule = create();
    rule->mPrefix = coder.decodeString();
    rule->mSuffix = coder.decodeString();
    const auto values = coder.decode();
    if (values && values->array())
        rule->mConditionalValueArray = *values->array();
    rule->mIPTCField = coder.decodeObject<cIPTCCode>();
    rule->mConditionalIPTCField = coder.decodeObject<cIPTCCode>();
    rule->mCondition = coder.decodeInteger().value_or(0);
    rule->mIPTCTextToExtract = coder.decodeInteger().value_or(0);
    rule->mCaseSensitive = coder.decodeBool().value_or(false);
    rule->mUnicity = coder.decodeInteger().value_or(0);
    rule->mTrim = coder.decodeBool().value_or(false);
    rule->mBreakIfConditionIsTrue = coder.decodeBool().value_or(false);
    rule->mPrefixRequiresPreviousText = coder.decodeBool().value_or(false);
    return rule;
}

iptcTextConcatSpec::Pointer iptcTextConcatSpec::copy() const
{
    auto copied = copyThroughArchive(*this);
    return copied ? copied : create();
}

void iptcTextConcatSpec::archiveTextConcatSpecsToUserDefaults(const Array& rules, const std::string& key,
                                                              UserDefaults& defaults)
{
    ArchiveWriter writer;
    writer.encode("root", ArchiveWriter::items(rules));
    if (auto data = writer.keyedData())
        defaults.setObject(key, std::move(*data));
}

iptcTextConcatSpec::Array iptcTextConcatSpec::unarchiveTextConcatSpecsFromUserDefaults(const std::string& key,
                                                                                        const UserDefaults& defaults)
{
    const auto data = defaults.dataForKey(key);
    if (!data || data->empty())
        return {};
    const auto reader = ArchiveReader::keyed(*data);
    return reader ? ArchiveReader::objectsOf<iptcTextConcatSpec>(reader->decode("root")) : Array{};
}

} // namespace qm
