#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "foundation/KeyValueObservable.h"
#include "foundation/StringEncodings.h"
#include "metadata/cIPTCRecord.h"
#include "parsers/QMAsynchronousMetadataParser.h"
#include "textgen/textBlockSpec.h"

namespace qm {

class QMMetadataParser;
class UserDefaults;

// The current image: the file whose datasets the panel shows and from which bylines and captions
// are made. Making a file current takes its cached parser at once or parses it in the background;
// the completion for the path that is current when it arrives is displayed (on the main thread),
// others are dropped. Every published value is an observable property under its own name.
class CurrentImageTracker : public KeyValueObservable {
public:
    using ParseStarter = std::function<void(std::string path, QMAsynchronousMetadataParser::Finalization)>;
    struct ShownTextBlocks {
        textBlockSpec::Pointer byline, caption;
    };

    // What a window does with the results; each may be left empty.
    struct WindowHooks {
        std::function<void(std::size_t rowCount)> recordRowHeightsChanged;
        std::function<void()> fitPanelToTable;
    };

    explicit CurrentImageTracker(UserDefaults& defaults);

    void setWindowHooks(WindowHooks hooks) { mHooks = std::move(hooks); }
    // The byline and caption the panel shows; none until set.
    void setShownTextBlocks(std::function<ShownTextBlocks()> shownTextBlocks) { mShownTextBlocks = std::move(shownTextBlocks); }
    // The application that opens a file (its path); none until set.
    void setApplicationForFile(std::function<std::optional<std::string>(const std::string&)> finder)
    {
        mApplicationForFile = std::move(finder);
    }
    // Background parsing; QMAsynchronousMetadataParser unless replaced.
    void setParseStarter(ParseStarter starter) { mParseStarter = std::move(starter); }

    void updateFromFilePath(const std::optional<std::string>& path);
    void asynchronousParsingFinishedWithParser(std::shared_ptr<QMMetadataParser> parser);
    void clearCacheAndUpdateCurrentFilePath();
    void updateDisplayedIPTCData();
    void updateDisplayedIPTCDataWithCustomPanelEncoding();
    void updateDisplayedIPTCDataWithEncoding(StringEncoding encoding);
    void updateBylineAndCaption();

    const std::optional<std::string>& currentImagePath() const { return mCurrentImagePath; }
    bool currentImageFileExists() const { return mCurrentImageFileExists; }
    bool parsingImageAsynchronously() const { return mParsingImageAsynchronously; }
    const std::shared_ptr<QMMetadataParser>& currentImageParser() const { return mCurrentImageParser; }
    const std::optional<IPTCRecordArray>& IPTCRecords() const { return mIPTCRecords; }
    const std::optional<IPTCRecordArray>& filteredIPTCRecords() const { return mFilteredIPTCRecords; }
    const std::optional<std::string>& currentBylineText() const { return mCurrentBylineText; }
    const std::optional<std::string>& currentCaptionText() const { return mCurrentCaptionText; }
    // The panel's open button: the application that opens the current file and its tool tip.
    const std::optional<std::string>& openButtonApplicationPath() const { return mOpenButtonApplicationPath; }
    const std::optional<std::string>& openButtonToolTip() const { return mOpenButtonToolTip; }

private:
    template <typename T>
    void set(T& field, T value, const char* key);
    void updateOpenButton(const std::string& path);
    std::optional<std::string> textOf(const textBlockSpec::Pointer& spec) const;

    UserDefaults& mDefaults;
    WindowHooks mHooks;
    std::function<ShownTextBlocks()> mShownTextBlocks;
    std::function<std::optional<std::string>(const std::string&)> mApplicationForFile;
    ParseStarter mParseStarter;

    std::optional<std::string> mCurrentImagePath;
    bool mCurrentImageFileExists = false;
    bool mParsingImageAsynchronously = false;
    std::shared_ptr<QMMetadataParser> mCurrentImageParser;
    std::optional<IPTCRecordArray> mIPTCRecords;
    std::optional<IPTCRecordArray> mFilteredIPTCRecords;
    std::optional<std::string> mCurrentBylineText;
    std::optional<std::string> mCurrentCaptionText;
    std::optional<std::string> mOpenButtonApplicationPath;
    std::optional<std::string> mOpenButtonToolTip;
    // Completions that arrive after the tracker is gone are dropped.
    std::shared_ptr<bool> mAlive = std::make_shared<bool>(true);
};

} // namespace qm
