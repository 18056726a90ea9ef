#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ArchiveReader.h"
#include "foundation/ArchiveWriter.h"
#include "foundation/KeyValueObservable.h"
#include "foundation/PlistValue.h"
#include "foundation/Uuid.h"
#include "hotkeys/hotKey.h"
#include "metadata/cIPTCRecord.h"
#include "textgen/iptcTextConcatSpec.h"

namespace qm {

// One byline or caption definition: where its text comes from, how the text is finished, and how
// the text frame that receives it is laid out. Every text block has an identifier through which
// menus, hot keys and publications find it in a process-wide registry that does not own it.
class textBlockSpec : public KeyValueObservable, public std::enable_shared_from_this<textBlockSpec> {
protected:
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    using Pointer = std::shared_ptr<textBlockSpec>;

    enum TextSource : std::int64_t { textSourceIPTCField = 0, textSourceRules = 1, textSourceScript = 2 };
    enum TextCase : std::int64_t { textCaseUnchanged = 0, textCaseUpper = 1, textCaseLower = 2, textCaseCapitalized = 3 };

    static constexpr const char* EndOfNestedStyleCharacter = "\x03";
    static constexpr const char* textBlockSpecClipboardType = "org.quillmark.Quillmark.textBlockSpec";

    // A text block with the defaults, a new identifier, registered.
    static Pointer create();
    explicit textBlockSpec(Passkey);
    ~textBlockSpec() override;
    textBlockSpec(const textBlockSpec&) = delete;
    textBlockSpec& operator=(const textBlockSpec&) = delete;

    // Registry.
    static std::map<std::string, Pointer> allSpecs();
    static void registerSpecByUniqueID(const Pointer& spec);
    static void unregisterSpecByUniqueID(const textBlockSpec& spec);
    static Pointer findRegisteredSpecWithUniqueID(const std::optional<std::string>& uniqueIDString);
    template <typename Spec>
    static std::shared_ptr<Spec> findSpecInArray(const std::vector<std::shared_ptr<Spec>>& specs,
                                                 const std::optional<std::string>& uniqueIDString);

    // Identity.
    const Uuid& uniqueID() const { return mUniqueID; }
    std::string uniqueIDString() const { return mUniqueID.string(); }
    void setUniqueID(const Uuid& uniqueID);
    void resetUniqueID();
    bool sameUniqueID(const textBlockSpec& other) const { return mUniqueID == other.mUniqueID; }
    bool isEqual(const textBlockSpec& other) const { return sameUniqueID(other); }
    std::string description() const { return mName; }

    // The generated text for an image: absent when the source gives none.
    std::optional<std::string> textWithFilePath(const std::optional<std::string>& path, const IPTCRecordArray& records);
    // The same text, without reporting missing fields (for lists of many pictures).
    std::optional<std::string> textWithoutReport(const std::optional<std::string>& path, const IPTCRecordArray& records);
    IPTCCodeSet missingRequiredIPTCFields(const IPTCRecordArray& records) const;

    // A copy with a new identifier, named "<name> copy".
    Pointer copy() const;
    // A copy through the archive; it keeps the identifier only when no live text block has it.
    Pointer copyPreserveUniqueID() const;

    // The prompt of the key capture that edits theHotKey.
    std::string editHotkeyPrompt() const;

    const std::string& name() const { return mName; }
    void setName(std::string name);
    const std::optional<std::string>& paragraphStyleName() const { return mParagraphStyleName; }
    void setParagraphStyleName(std::optional<std::string> value) { mParagraphStyleName = std::move(value); }
    const std::optional<std::string>& textColorSwatchName() const { return mTextColorSwatchName; }
    void setTextColorSwatchName(std::optional<std::string> value) { mTextColorSwatchName = std::move(value); }
    const std::optional<std::string>& objectStyleName() const { return mObjectStyleName; }
    void setObjectStyleName(std::optional<std::string> value) { mObjectStyleName = std::move(value); }
    const std::optional<std::string>& textGenerationAppleScript() const { return mTextGenerationAppleScript; }
    void setTextGenerationAppleScript(std::optional<std::string> value) { mTextGenerationAppleScript = std::move(value); }
    const std::optional<std::string>& prefix() const { return mPrefix; }
    void setPrefix(std::optional<std::string> value) { mPrefix = std::move(value); }
    const std::optional<std::string>& suffix() const { return mSuffix; }
    void setSuffix(std::optional<std::string> value) { mSuffix = std::move(value); }
    float frameIndependentDimension() const { return mFrameIndependentDimension; }
    void setFrameIndependentDimension(float value) { mFrameIndependentDimension = value; }
    float horizontalGutter() const { return mHorizontalGutter; }
    void setHorizontalGutter(float value) { mHorizontalGutter = value; }
    float verticalGutter() const { return mVerticalGutter; }
    void setVerticalGutter(float value) { mVerticalGutter = value; }
    const std::optional<cIPTCCode>& textGenerationIPTCField() const { return mTextGenerationIPTCField; }
    void setTextGenerationIPTCField(std::optional<cIPTCCode> value) { mTextGenerationIPTCField = value; }
    const std::shared_ptr<hotKey>& theHotKey() const { return mTheHotKey; }
    void setTheHotKey(std::shared_ptr<hotKey> value) { mTheHotKey = value ? std::move(value) : std::make_shared<hotKey>(); }
    bool fitFrameToContent() const { return mFitFrameToContent; }
    void setFitFrameToContent(bool value) { mFitFrameToContent = value; }
    bool searchReplace() const { return mSearchReplace; }
    void setSearchReplace(bool value) { mSearchReplace = value; }
    bool insertEndOfNestedStyleCharacter() const { return mInsertEndOfNestedStyleCharacter; }
    void setInsertEndOfNestedStyleCharacter(bool value) { mInsertEndOfNestedStyleCharacter = value; }
    bool stripCRs() const { return mStripCRs; }
    void setStripCRs(bool value) { mStripCRs = value; }
    bool display() const { return mDisplay; }
    void setDisplay(bool value) { mDisplay = value; }
    std::int64_t textSource() const { return mTextSource; }
    void setTextSource(std::int64_t value) { mTextSource = value; }
    std::int64_t position() const { return mPosition; }
    void setPosition(std::int64_t value) { mPosition = value; }
    std::int64_t textAngle() const { return mTextAngle; }
    void setTextAngle(std::int64_t value) { mTextAngle = value; }
    std::int64_t verticalJustification() const { return mVerticalJustification; }
    void setVerticalJustification(std::int64_t value) { mVerticalJustification = value; }
    std::int64_t horizontalJustification() const { return mHorizontalJustification; }
    void setHorizontalJustification(std::int64_t value) { mHorizontalJustification = value; }
    std::int64_t textCase() const { return mTextCase; }
    void setTextCase(std::int64_t value) { mTextCase = value; }
    std::int64_t textWrap() const { return mTextWrap; }
    void setTextWrap(std::int64_t value) { mTextWrap = value; }
    const std::optional<iptcTextConcatSpec::Array>& textConcatSpecs() const { return mTextConcatSpecs; }
    void setTextConcatSpecs(std::optional<iptcTextConcatSpec::Array> value) { mTextConcatSpecs = std::move(value); }
    // Dictionaries: "search" (string), "replace" (string), "matchCase" (boolean).
    const std::optional<PlistArray>& searchReplaceSpecs() const { return mSearchReplaceSpecs; }
    void setSearchReplaceSpecs(std::optional<PlistArray> value) { mSearchReplaceSpecs = std::move(value); }

    // Archived as 27 values in order (see encodeWithCoder); the kind is the class name.
    static constexpr const char* ArchiveClassName = "textBlockSpec";
    virtual std::string archiveClassName() const { return ArchiveClassName; }
    std::int64_t archiveVersion() const { return 1; }
    void encodeWithCoder(ArchiveWriter& coder) const;
    static bool decodesArchiveClass(std::string_view className);
    static Pointer initWithCoder(ArchiveReader& coder);

protected:
    template <typename Spec>
    static std::shared_ptr<Spec> createRegistered();
    // Reads the stored values into `spec`, then takes the stored identifier unless a live text
    // block has it, and registers.
    static void readArchive(const Pointer& spec, ArchiveReader& coder);

private:
    std::optional<std::string> sourceText(const std::optional<std::string>& path, const IPTCRecordArray& records);
    std::string finishedText(std::string text) const;
    std::string searchedAndReplaced(std::string text) const;
    static void reportMissingFields(const IPTCCodeSet& missing);

    std::string mName;
    std::optional<std::string> mParagraphStyleName;
    std::optional<std::string> mTextColorSwatchName;
    std::optional<std::string> mObjectStyleName;
    std::optional<std::string> mTextGenerationAppleScript;
    std::optional<std::string> mPrefix;
    std::optional<std::string> mSuffix;
    float mFrameIndependentDimension = 5.0f;
    float mHorizontalGutter = 0;
    float mVerticalGutter = 0;
    std::optional<cIPTCCode> mTextGenerationIPTCField;
    std::shared_ptr<hotKey> mTheHotKey = std::make_shared<hotKey>();
    bool mFitFrameToContent = false;
    bool mSearchReplace = false;
    bool mInsertEndOfNestedStyleCharacter = false;
    bool mStripCRs = false;
    bool mDisplay = true;
    std::int64_t mTextSource = textSourceIPTCField;
    std::int64_t mPosition = 0;
    std::int64_t mTextAngle = 0;
    std::int64_t mVerticalJustification = 0;
    std::int64_t mHorizontalJustification = 0;
    std::int64_t mTextCase = textCaseUnchanged;
    std::int64_t mTextWrap = 0;
    std::optional<iptcTextConcatSpec::Array> mTextConcatSpecs;
    std::optional<PlistArray> mSearchReplaceSpecs;
    Uuid mUniqueID = Uuid::random();
};

template <typename Spec>
std::shared_ptr<Spec> textBlockSpec::findSpecInArray(const std::vector<std::shared_ptr<Spec>>& specs,
                                                     const std::optional<std::string>& uniqueIDString)
{
    if (!uniqueIDString)
        return nullptr;
    for (const auto& spec : specs)
        if (spec && spec->uniqueIDString() == *uniqueIDString)
            return spec;
    return nullptr;
}

template <typename Spec>
std::shared_ptr<Spec> textBlockSpec::createRegistered()
{
    auto spec = std::make_shared<Spec>(Passkey{});
    registerSpecByUniqueID(spec);
    return spec;
}

} // namespace qm
