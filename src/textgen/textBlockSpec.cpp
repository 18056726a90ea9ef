#include "textgen/textBlockSpec.h"

#include <mutex>

#include "errors/errorHandler.h"
#include "foundation/Bundle.h"
#include "foundation/Log.h"
#include "foundation/StringFormat.h"
#include "foundation/UnicodeText.h"
#include "foundation/UserDefaults.h"
#include "textgen/textBlockSpec_Byline.h"
#include "textgen/textBlockSpec_Caption.h"

namespace qm {

namespace {

// The live text blocks by identifier. Entries never keep a text block alive.
struct Registry {
    struct Entry {
        const textBlockSpec* spec;
        std::weak_ptr<textBlockSpec> reference;
    };
    std::mutex mutex;
    std::map<std::string, Entry> entries;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

bool isPresentString(const PlistValue* value)
{
    return value && value->string();
}

} // namespace

textBlockSpec::Pointer textBlockSpec::create()
{
    return createRegistered<textBlockSpec>();
}

textBlockSpec::textBlockSpec(Passkey) : mName(Bundle::main().localizedString("Text specification")) {}

textBlockSpec::~textBlockSpec()
{
    unregisterSpecByUniqueID(*this);
}

std::map<std::string, textBlockSpec::Pointer> textBlockSpec::allSpecs()
{
    auto& shared = registry();
    std::lock_guard lock(shared.mutex);
    std::map<std::string, Pointer> live;
    for (const auto& [identifier, entry] : shared.entries)
        if (auto spec = entry.reference.lock())
            live.emplace(identifier, std::move(spec));
    return live;
}

void textBlockSpec::registerSpecByUniqueID(const Pointer& spec)
{
    if (!spec)
        return;
    auto& shared = registry();
    std::lock_guard lock(shared.mutex);
    shared.entries.insert_or_assign(spec->uniqueIDString(), Registry::Entry{spec.get(), spec});
}

void textBlockSpec::unregisterSpecByUniqueID(const textBlockSpec& spec)
{
    auto& shared = registry();
    std::lock_guard lock(shared.mutex);
    auto found = shared.entries.find(spec.uniqueIDString());
    if (found != shared.entries.end() && found->second.spec == &spec)
        shared.entries.erase(found);
}

textBlockSpec::Pointer textBlockSpec::findRegisteredSpecWithUniqueID(const std::optional<std::string>& uniqueIDString)
{
    if (!uniqueIDString)
        return nullptr;
    auto& shared = registry();
    std::lock_guard lock(shared.mutex);
    auto found = shared.entries.find(*uniqueIDString);
    return found == shared.entries.end() ? nullptr : found->second.reference.lock();
}

void textBlockSpec::setUniqueID(const Uuid& uniqueID)
{
    unregisterSpecByUniqueID(*this);
    mUniqueID = uniqueID;
    if (auto self = weak_from_this().lock())
        registerSpecByUniqueID(self);
}

void textBlockSpec::resetUniqueID()
{
    setUniqueID(Uuid::random());
}

void textBlockSpec::setName(std::string name)
{
    willChangeValueForKey("description");
    mName = std::move(name);
    didChangeValueForKey("description");
}

std::optional<std::string> textBlockSpec::textWithFilePath(const std::optional<std::string>& path,
                                                           const IPTCRecordArray& records)
{
    const IPTCCodeSet missing = missingRequiredIPTCFields(records);
    std::optional<std::string> text = sourceText(path, records);
    if (!missing.empty() && UserDefaults::standard().boolForKey("alertMissingIPTC"))
        reportMissingFields(missing);
    if (!text)
        return std::nullopt;
    return finishedText(std::move(*text));
}

std::optional<std::string> textBlockSpec::textWithoutReport(const std::optional<std::string>& path,
                                                            const IPTCRecordArray& records)
{
    std::optional<std::string> text = sourceText(path, records);
    return text ? std::optional(finishedText(std::move(*text))) : std::nullopt;
}

std::optional<std::string> textBlockSpec::sourceText(const std::optional<std::string>& path,
                                                     const IPTCRecordArray& records)
{
    if (mTextSource == textSourceRules)
        return iptcTextConcatSpec::getTextWithSpecArray(mTextConcatSpecs.value_or(iptcTextConcatSpec::Array{}),
                                                        records, path);
    if (mTextSource == textSourceIPTCField && mTextGenerationIPTCField) {
        auto record = cIPTCRecord::IPTCRecordByCode(*mTextGenerationIPTCField, records, false);
        return record ? std::optional(record->dataAsFormattedString()) : std::nullopt;
    }
    return std::nullopt;
}

std::string textBlockSpec::finishedText(std::string text) const
{
    if (mStripCRs)
        text = UnicodeText::replacingLineBreaksWithSpaces(text);
    if (mSearchReplace)
        text = searchedAndReplaced(std::move(text));
    if (UserDefaults::standard().boolForKey("trimWhitespace"))
        text = UnicodeText::trimmed(text);
    if (!text.empty())
        text = mPrefix.value_or("") + text + mSuffix.value_or("");
    if (mTextCase == textCaseUpper)
        text = UnicodeText::uppercased(text);
    else if (mTextCase == textCaseLower)
        text = UnicodeText::lowercased(text);
    else if (mTextCase == textCaseCapitalized)
        text = UnicodeText::capitalized(text);
    if (mInsertEndOfNestedStyleCharacter)
        text.insert(0, EndOfNestedStyleCharacter);
    return text;
}

std::string textBlockSpec::searchedAndReplaced(std::string text) const
{
    if (!mSearchReplaceSpecs)
        return text;
    for (const auto& pair : *mSearchReplaceSpecs) {
        const PlistValue* search = pair.find("search");
        if (!isPresentString(search))
            continue;
        const PlistValue* replacement = pair.find("replace");
        const PlistValue* matchCase = pair.find("matchCase");
        text = UnicodeText::replacingOccurrences(text, *search->string(),
                                                 isPresentString(replacement) ? *replacement->string() : "",
                                                 matchCase && matchCase->asBoolean().value_or(false));
    }
    return text;
}

// Every text source that needs fields reports them, so that a byline taken from one field warns
// of that field as a rule list does.
IPTCCodeSet textBlockSpec::missingRequiredIPTCFields(const IPTCRecordArray& records) const
{
    if (mTextSource == textSourceRules)
        return iptcTextConcatSpec::missingRequiredIPTCFieldsWithSpecArray(
            mTextConcatSpecs.value_or(iptcTextConcatSpec::Array{}), records);
    if (mTextSource == textSourceIPTCField && mTextGenerationIPTCField &&
        !cIPTCRecord::IPTCRecordByCode(*mTextGenerationIPTCField, records, false))
        return {*mTextGenerationIPTCField};
    return {};
}

void textBlockSpec::reportMissingFields(const IPTCCodeSet& missing)
{
    std::string names;
    for (const auto& code : missing)
        names += (names.empty() ? "" : ", ") + code.name().value_or(code.reversedDescription());
    if (missing.size() == 1)
        errorHandler::errorMessageWithErrorCode(-60, std::nullopt, names);
    else
        errorHandler::errorMessageWithErrorCode(-61, std::to_string(static_cast<std::uint16_t>(missing.size())), names);
}

textBlockSpec::Pointer textBlockSpec::copyPreserveUniqueID() const
{
    auto copied = copyThroughArchive(*this);
    if (!copied)
        Log::format("textBlockSpec: the text block \"%s\" could not be copied", mName.c_str());
    return copied;
}

textBlockSpec::Pointer textBlockSpec::copy() const
{
    auto copied = copyPreserveUniqueID();
    if (!copied)
        return nullptr;
    if (copied->sameUniqueID(*this))
        copied->resetUniqueID();
    copied->setName(formatText(Bundle::main().localizedString("%@ copy"), {mName}));
    return copied;
}

std::string textBlockSpec::editHotkeyPrompt() const
{
    const std::string name = mName.empty() ? Bundle::main().localizedString("[No name]") : mName;
    return formatText(Bundle::main().localizedString("Edit hotkey to make %@"), {name});
}

void textBlockSpec::encodeWithCoder(ArchiveWriter& coder) const
{
    coder.encode(PlistValue(mName));
    for (const auto* text : {&mParagraphStyleName, &mTextColorSwatchName, &mObjectStyleName,
                             &mTextGenerationAppleScript, &mPrefix, &mSuffix})
        coder.encode(ArchiveWriter::optionalItem(*text));
    for (float distance : {mFrameIndependentDimension, mHorizontalGutter, mVerticalGutter})
        coder.encode(PlistValue(static_cast<double>(distance)));
    coder.encode(ArchiveWriter::optionalItem(mTextGenerationIPTCField));
    coder.encodeObject(mTheHotKey);
    for (bool flag : {mFitFrameToContent, mSearchReplace, mInsertEndOfNestedStyleCharacter, mDisplay, mStripCRs})
        coder.encode(PlistValue(flag));
    for (std::int64_t number : {mTextSource, mPosition, mTextAngle, mVerticalJustification, mHorizontalJustification,
                                mTextCase, mTextWrap})
        coder.encode(PlistValue(number));
    coder.encode(mTextConcatSpecs ? PlistValue(ArchiveWriter::items(*mTextConcatSpecs)) : ArchiveWriter::nullItem());
    coder.encode(ArchiveWriter::optionalItem(mSearchReplaceSpecs));
    coder.encode(PlistValue(uniqueIDString()));
}

bool textBlockSpec::decodesArchiveClass(std::string_view className)
{
    return className == ArchiveClassName || className == textBlockSpec_Byline::ArchiveClassName ||
           className == textBlockSpec_Caption::ArchiveClassName;
}

textBlockSpec::Pointer textBlockSpec::initWithCoder(ArchiveReader& coder)
{
    if (coder.className() == textBlockSpec_Byline::ArchiveClassName)
        return textBlockSpec_Byline::initWithCoder(coder);
    if (coder.className() == textBlockSpec_Caption::ArchiveClassName)
        return textBlockSpec_Caption::initWithCoder(coder);
    auto spec = std::make_shared<textBlockSpec>(Passkey{});
    readArchive(spec, coder);
    return spec;
}

void textBlockSpec::readArchive(const Pointer& spec, ArchiveReader& coder)
{
    textBlockSpec& s = *spec;
    s.mName = coder.decodeString().value_or("");
    for (auto* text : {&s.mParagraphStyleName, &s.mTextColorSwatchName, &s.mObjectStyleName,
                       &s.mTextGenerationAppleScript, &s.mPrefix, &s.mSuffix})
        *text = coder.decodeString();
    for (float* distance : {&s.mFrameIndependentDimension, &s.mHorizontalGutter, &s.mVerticalGutter})
        *distance = static_cast<float>(coder.decodeReal().value_or(0));
    s.mTextGenerationIPTCField = coder.decodeObject<cIPTCCode>();
    s.setTheHotKey(coder.decodeObject<hotKey>());
    for (bool* flag : {&s.mFitFrameToContent, &s.mSearchReplace, &s.mInsertEndOfNestedStyleCharacter, &s.mDisplay,
                       &s.mStripCRs})
        *flag = coder.decodeBool().value_or(false);
    for (std::int64_t* number : {&s.mTextSource, &s.mPosition, &s.mTextAngle, &s.mVerticalJustification,
                                 &s.mHorizontalJustification, &s.mTextCase, &s.mTextWrap})
        *number = coder.decodeInteger().value_or(0);
    s.mTextConcatSpecs.reset();
    if (auto rules = coder.decode(); rules && rules->array())
        s.mTextConcatSpecs = ArchiveReader::objectsOf<iptcTextConcatSpec>(rules);
    if (auto pairs = coder.decode(); pairs && pairs->array())
        s.mSearchReplaceSpecs = *pairs->array();
    const auto stored = Uuid::fromString(coder.decodeString().value_or(""));
    if (stored && !findRegisteredSpecWithUniqueID(stored->string()))
        s.mUniqueID = *stored;
    registerSpecByUniqueID(spec);
}

} // namespace qm
