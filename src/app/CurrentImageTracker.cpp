#include "app/CurrentImageTracker.h"

#include <filesystem>
#include <unistd.h>

#include "app/IPTCDisplay.h"
#include "foundation/Bundle.h"
#include "foundation/StringFormat.h"
#include "foundation/UserDefaults.h"
#include "parsers/QMMetadataParserCache.h"
#include "textgen/pathToDisplayNameTransformer.h"

namespace qm {

namespace {

bool isReadableFile(const std::optional<std::string>& path)
{
    std::error_code error;
    return path && std::filesystem::is_regular_file(*path, error) && ::access(path->c_str(), R_OK) == 0;
}

} // namespace

CurrentImageTracker::CurrentImageTracker(UserDefaults& defaults)
    : mDefaults(defaults), mParseStarter(&QMAsynchronousMetadataParser::ParseMetadataAsynchronouslyForPath)
{
}

template <typename T>
void CurrentImageTracker::set(T& field, T value, const char* key)
{
    willChangeValueForKey(key);
    field = std::move(value);
    didChangeValueForKey(key);
}

// A path equal to the current one with no cached parser is being parsed already, unless no parse
// runs (its file changed since it was cached): then it is parsed again.
// A completion that arrives after another image was made current is dropped, so the datasets,
// byline and caption shown always belong to the current path.
void CurrentImageTracker::updateFromFilePath(const std::optional<std::string>& path)
{
    const auto oldPath = mCurrentImagePath;
    set(mCurrentImagePath, path, "currentImagePath");
    set(mCurrentImageFileExists, isReadableFile(path), "currentImageFileExists");
    if (auto cached = path ? QMMetadataParserCache::CachedMetadataParserForPath(*path) : nullptr) {
        asynchronousParsingFinishedWithParser(std::move(cached));
    } else if (path != oldPath || !path || !mParsingImageAsynchronously) {
        set(mParsingImageAsynchronously, path.has_value(), "parsingImageAsynchronously");
        mParseStarter(path.value_or(""), [this, alive = std::weak_ptr<bool>(mAlive), path](auto parser) {
            if (alive.lock() && mCurrentImagePath == path)
                asynchronousParsingFinishedWithParser(std::move(parser));
        });
    }
    if (path && mCurrentImageFileExists)
        updateOpenButton(*path);
}

void CurrentImageTracker::updateOpenButton(const std::string& path)
{
    const auto application = mApplicationForFile ? mApplicationForFile(path) : std::nullopt;
    set(mOpenButtonApplicationPath, application, "openButtonApplicationPath");
    std::optional<std::string> toolTip;
    if (application)
        toolTip = formatText(
            Bundle::main().localizedString("Open image file with application %@\rClick and hold to see a list of applications"),
            {pathToDisplayNameTransformer::displayName(*application)});
    set(mOpenButtonToolTip, toolTip, "openButtonToolTip");
}

void CurrentImageTracker::asynchronousParsingFinishedWithParser(std::shared_ptr<QMMetadataParser> parser)
{
    set(mCurrentImageParser, std::move(parser), "currentImageParser");
    updateDisplayedIPTCData();
    set(mParsingImageAsynchronously, false, "parsingImageAsynchronously");
}

void CurrentImageTracker::clearCacheAndUpdateCurrentFilePath()
{
    const auto path = mCurrentImagePath;
    if (path)
        QMMetadataParserCache::flushParserForPath(*path);
    set(mCurrentImagePath, std::optional<std::string>(), "currentImagePath");
    updateFromFilePath(path);
}

void CurrentImageTracker::updateDisplayedIPTCData()
{
    const StringEncoding encoding = IPTCDisplay::chosenEncoding(mCurrentImageParser, mDefaults);
    updateDisplayedIPTCDataWithEncoding(encoding);
    if (mCurrentImagePath)
        mDefaults.setObject("panelTextEncoding", PlistValue(static_cast<std::int64_t>(encoding)));
}

void CurrentImageTracker::updateDisplayedIPTCDataWithCustomPanelEncoding()
{
    updateDisplayedIPTCDataWithEncoding(static_cast<StringEncoding>(mDefaults.integerForKey("panelTextEncoding")));
}

void CurrentImageTracker::updateDisplayedIPTCDataWithEncoding(StringEncoding encoding)
{
    auto result = IPTCDisplay::updateDisplayedIPTCDataWithEncoding(mCurrentImageParser, encoding, mDefaults);
    set(mIPTCRecords, std::move(result.IPTCRecords), "IPTCRecords");
    set(mFilteredIPTCRecords, std::move(result.filteredIPTCRecords), "filteredIPTCRecords");
    if (mHooks.recordRowHeightsChanged)
        mHooks.recordRowHeightsChanged(mFilteredIPTCRecords ? mFilteredIPTCRecords->size() : 0);
    updateBylineAndCaption();
    if (mDefaults.boolForKey("resizePanelToFit") && mHooks.fitPanelToTable)
        mHooks.fitPanelToTable();
}

void CurrentImageTracker::updateBylineAndCaption()
{
    const ShownTextBlocks shown = mShownTextBlocks ? mShownTextBlocks() : ShownTextBlocks{};
    set(mCurrentBylineText, textOf(shown.byline), "currentBylineText");
    set(mCurrentCaptionText, textOf(shown.caption), "currentCaptionText");
}

// No text is made before the current image's metadata is read: it would be made from no datasets
// and report every field it needs as missing.
std::optional<std::string> CurrentImageTracker::textOf(const textBlockSpec::Pointer& spec) const
{
    if (!spec || !mCurrentImageParser)
        return std::nullopt;
    return spec->textWithFilePath(mCurrentImagePath, mIPTCRecords.value_or(IPTCRecordArray{}));
}

} // namespace qm
