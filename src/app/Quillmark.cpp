#include "app/Quillmark.h"

#include <filesystem>
#include <unistd.h>

#include "app/ApplicationDefaults.h"
#include "app/LayoutApplications.h"
#include "app/TextFrameChecks.h"
#include "bridge/LayoutConnection.h"
#include "foundation/Log.h"
#include "foundation/UserDefaults.h"
#include "platform/AlertPresenter.h"
#include "platform/HotKeyRegistrar.h"
#include "platform/Workspace.h"
#include "textgen/PublicationSettingsFile.h"

namespace qm {

namespace {

Quillmark*& sharedController()
{
    static Quillmark* controller = nullptr;
    return controller;
}

constexpr const char* SeparatorName = "-";

std::optional<std::string> uniqueIDOf(const textBlockSpec::Pointer& spec)
{
    return spec ? std::optional(spec->uniqueIDString()) : std::nullopt;
}

// The first text block not named "-", the default first.
template <typename Spec>
textBlockSpec::Pointer shownSpec(const textBlockSpec::Pointer& defaultSpec, const std::vector<std::shared_ptr<Spec>>& specs)
{
    if (defaultSpec && defaultSpec->name() != SeparatorName)
        return defaultSpec;
    for (const auto& spec : specs)
        if (spec->name() != SeparatorName)
            return spec;
    return nullptr;
}

} // namespace

const std::vector<std::string>& Quillmark::redisplayKeys()
{
    static const std::vector<std::string> keys{
        "customIPTCFilter",    "consolidateRepeatables", "filterIPTCRecords",         "preferXMP",
        "detectUTF8Corruption", "corruptUTF8Triggers",   "corruptUTF8From",           "corruptUTF8To",
        "defaultTextEncoding", "respectUTF8Marker",      "useAlternateEncodingSpecs", "alternateEncodingSpecs"};
    return keys;
}

Quillmark::Quillmark(UserDefaults& defaults, std::shared_ptr<LayoutConnection> connection)
    : mDefaults(defaults), mConnection(connection), mCurrentImage(defaults), mLayout(std::move(connection))
{
    sharedController() = this;
    ApplicationDefaults::registerDefaults(mDefaults);
    reloadPublications();
    mCurrentImage.setShownTextBlocks([this] { return CurrentImageTracker::ShownTextBlocks{mShownByline, mShownCaption}; });
    mCurrentImage.setApplicationForFile([](const std::string& file) -> std::optional<std::string> {
        const auto application = Workspace::current()->applicationForFile(file);
        return application ? std::optional(application->string()) : std::nullopt;
    });
}

Quillmark::~Quillmark()
{
    for (const auto id : mObservers)
        mDefaults.removeObserver(id);
    if (mConnection)
        mConnection->setSelectionChangedHandler(nullptr);
    if (mConnection)
        mConnection->setDropMissedParagraphStyleHandler(nullptr);
    FrontApplication::current()->setSwitchHandler(nullptr);
    HotKeyRegistrar::current()->setPressedHandler(nullptr);
    if (sharedController() == this)
        sharedController() = nullptr;
}

Quillmark* Quillmark::sharedInstance()
{
    return sharedController();
}

// The registration defaults are in place since construction; the layout connection was made by
// the program and loaded its script.
void Quillmark::awakeFromNib()
{
    if (mHooks.installStatusItem)
        mHooks.installStatusItem();
    if (mHooks.showAboutPanel)
        mHooks.showAboutPanel();
    if (mHooks.selectFirstPreferencePane)
        mHooks.selectFirstPreferencePane();
    FrontApplication::current()->setSwitchHandler([this](const RunningApplication& front) { frontApplicationSwitch(front); });
    mConnection->setSelectionChangedHandler([this](const LayoutConnection::SelectionChange& change) {
        layoutSelectionChanged(change);
    });
    mConnection->setDropMissedParagraphStyleHandler([this] { dropMissedParagraphStyle(); });
    applyPreferredLayoutApplication();
    if (mDefaults.boolForKey("usePublicationSettingsInFile"))
        PublicationSettingsFile::importTextExtractionSettingsFromFile(mDefaults.stringForKey("publicationSettingsFilePath"),
                                                                      mDefaults);
    reloadPublications();
    mHotKeys.readHotKeysFromUserDefaults(mDefaults);
    HotKeyRegistrar::current()->setPressedHandler([this](HotKeyID id) { handleHotKey(id.id); });
    installHotKeys();
    observeDefaults();
    selectCurrentPublication();
    cIPTCRecord::setCaptionMode(static_cast<int>(mDefaults.integerForKey("captionMode")));
    if (mDefaults.boolForKey("showIptcPanelOnStartup")) {
        updateFromLayoutSelection();
        if (mHooks.showIPTCPanel)
            mHooks.showIPTCPanel();
    }
}

void Quillmark::observeDefaults()
{
    for (const auto& key : redisplayKeys())
        mObservers.push_back(mDefaults.addObserver(key, [this](const std::string&, const auto&) {
            mCurrentImage.updateDisplayedIPTCData();
        }));
    mObservers.push_back(mDefaults.addObserver(PublicationStore::PublicationsKey, [this](const std::string&, const auto&) {
        reloadPublications();
        mCurrentImage.updateBylineAndCaption();
        installHotKeysUnlessEditing();
    }));
    mObservers.push_back(
        mDefaults.addObserver(PublicationStore::CurrentPublicationIndexKey, [this](const std::string&, const auto&) {
            chooseShownTextBlocks();
            mCurrentImage.updateBylineAndCaption();
            installHotKeysUnlessEditing();
        }));
    // Hot keys stored by another program (or a script) replace the held ones at once.
    for (std::size_t index = 0; index < GlobalHotKeys::DefaultsKeys.size(); ++index)
        mObservers.push_back(mDefaults.addObserver(GlobalHotKeys::DefaultsKeys[index], [this, index](const std::string&, const auto&) {
            if (mHotKeys.reloadHotKeyEventFromUserDefaults(mDefaults, static_cast<GlobalHotKeys::FixedID>(index)))
                installHotKeysUnlessEditing();
        }));
    mObservers.push_back(mDefaults.addObserver(LayoutApplications::PreferredApplicationKey,
                                               [this](const std::string&, const auto&) { applyPreferredLayoutApplication(); }));
    mObservers.push_back(mDefaults.addObserver("captionMode", [this](const std::string&, const auto&) {
        cIPTCRecord::setCaptionMode(static_cast<int>(mDefaults.integerForKey("captionMode")));
        mCurrentImage.updateDisplayedIPTCData();
    }));
}

void Quillmark::applyPreferredLayoutApplication()
{
    mConnection->setPreferredAppPath(LayoutApplications::preferredApplicationPath(mDefaults));
}

void Quillmark::applicationWillQuit()
{
    if (mSelectedPublicationIndex)
        mDefaults.setObject("selectedPublication", PlistValue(static_cast<std::int64_t>(*mSelectedPublicationIndex)));
    mHotKeys.writeHotKeysToUserDefaults(mDefaults);
    mHotKeys.removeHotKeys();
}

void Quillmark::preferencesWindowWillClose()
{
    mHotKeys.writeHotKeysToUserDefaults(mDefaults);
    selectCurrentPublication();
    installHotKeys();
}

// A list stored after its objects were edited in place is already the one held: reading it again
// would give every text block a fresh identifier while the held ones live, and the publications'
// default identifiers would name text blocks that are no longer in the list.
void Quillmark::reloadPublications()
{
    const auto stored = mDefaults.dataForKey(PublicationStore::PublicationsKey);
    if (!stored || *stored != PublicationStore::archivedPublications(mPublications)) {
        willChangeValueForKey("publications");
        mShownByline.reset();
        mShownCaption.reset();
        mPublications.clear();
        mPublications = PublicationStore::publications(mDefaults);
        didChangeValueForKey("publications");
    }
    chooseShownTextBlocks();
}

void Quillmark::setPublications(PublicationStore::Publications publications)
{
    willChangeValueForKey("publications");
    mPublications = std::move(publications);
    didChangeValueForKey("publications");
    if (mSelectedPublicationIndex && *mSelectedPublicationIndex >= mPublications.size())
        setSelectedPublicationIndex(std::nullopt);
    PublicationStore::setPublications(mPublications, mDefaults);
}

void Quillmark::setSelectedPublicationIndex(std::optional<std::size_t> index)
{
    if (index && *index >= mPublications.size())
        index.reset();
    willChangeValueForKey("selectedPublicationIndex");
    mSelectedPublicationIndex = index;
    didChangeValueForKey("selectedPublicationIndex");
}

// The publication controller selects the publication stored as the current one.
void Quillmark::selectCurrentPublication()
{
    setSelectedPublicationIndex(static_cast<std::size_t>(mDefaults.integerForKey(PublicationStore::CurrentPublicationIndexKey)));
}

quillmarkPublication::Pointer Quillmark::currentPublication() const
{
    return PublicationStore::currentPublication(mPublications, mDefaults);
}

void Quillmark::chooseShownTextBlocks()
{
    const auto publication = currentPublication();
    setShownByline(publication ? shownSpec(publication->defaultBylineSpec(), publication->bylines()) : nullptr);
    setShownCaption(publication ? shownSpec(publication->defaultCaptionSpec(), publication->captions()) : nullptr);
}

void Quillmark::setShownByline(textBlockSpec::Pointer spec)
{
    willChangeValueForKey("shownByline");
    mShownByline = spec && spec->name() != SeparatorName ? std::move(spec) : nullptr;
    didChangeValueForKey("shownByline");
}

void Quillmark::setShownCaption(textBlockSpec::Pointer spec)
{
    willChangeValueForKey("shownCaption");
    mShownCaption = spec && spec->name() != SeparatorName ? std::move(spec) : nullptr;
    didChangeValueForKey("shownCaption");
}

std::optional<std::string> Quillmark::dragAndDropParagraphStyle() const
{
    const auto publication = currentPublication();
    if (publication && publication->useDragAndDropParagraphStyle() && publication->dragAndDropParagraphStyle() &&
        !publication->dragAndDropParagraphStyle()->empty())
        return publication->dragAndDropParagraphStyle();
    return std::nullopt;
}

// Datasets dropped on the layout application's page arrived without the drag's paragraph style,
// which the document does not have: told as the text frame commands tell a missing style.
void Quillmark::dropMissedParagraphStyle()
{
    const auto style = dragAndDropParagraphStyle();
    if (!style || !mDefaults.boolForKey("alertMissingStyles"))
        return;
    const auto presenter = AlertPresenter::current();
    presenter->activateApplication();
    presenter->show(TextFrameChecks::alertFor(TextFrameChecks::missingParagraphStyle(*style, layoutApplicationName())),
                    [this](const AlertResponse& response) {
                        if (response.suppressionChecked)
                            mDefaults.setObject("alertMissingStyles", PlistValue(false));
                    });
}

void Quillmark::opencurrentImagePath()
{
    if (const auto& path = mCurrentImage.currentImagePath(); path && !mConnection->optionKeyIsDown())
        Workspace::current()->openFile(*path);
}

bool Quillmark::isOurs(const RunningApplication& application) const
{
    if (application.pid == ::getpid())
        return true;
    const auto instance = mConnection->instanceName();
    return instance && application.name() == *instance;
}

bool Quillmark::frontApplicationIsOurs() const
{
    const auto front = FrontApplication::current()->frontApplication();
    return front && isOurs(*front);
}

void Quillmark::frontApplicationSwitch(const RunningApplication& front)
{
    if (isOurs(front) && front.pid != ::getpid())
        mLayout.lookNow();
    if (!mDefaults.boolForKey("iptcPanelHideOnSuspend"))
        return;
    const bool visible = mHooks.isIPTCPanelVisible && mHooks.isIPTCPanelVisible();
    if (isOurs(front) && !visible && mHooks.orderIPTCPanelFront)
        mHooks.orderIPTCPanelFront();
    else if (!isOurs(front) && visible && mHooks.hideIPTCPanel)
        mHooks.hideIPTCPanel();
}

std::string Quillmark::layoutApplicationName() const
{
    std::string name = mConnection->instanceName().value_or("Scribus");
    if (name.rfind("scribus", 0) == 0)
        return "Scribus";
    if (!name.empty())
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

void Quillmark::switchPublication(const quillmarkPublication::Pointer& publication)
{
    const auto found = std::find(mPublications.begin(), mPublications.end(), publication);
    if (found == mPublications.end())
        return;
    mDefaults.setObject(PublicationStore::CurrentPublicationIndexKey,
                        PlistValue(static_cast<std::int64_t>(found - mPublications.begin())));
    selectCurrentPublication();
    installHotKeys();
}

StatusMenus Quillmark::statusMenus() const
{
    const auto selected = mSelectedPublicationIndex ? mPublications[*mSelectedPublicationIndex] : nullptr;
    return StatusMenus(mPublications, currentPublication(), selected, mHotKeys.menuHotKeys());
}

// While the preferences are open the hot keys are being edited; closing them installs the result.
void Quillmark::installHotKeysUnlessEditing()
{
    if (!(mHooks.isPreferencesWindowVisible && mHooks.isPreferencesWindowVisible()))
        installHotKeys();
}

void Quillmark::installHotKeys()
{
    mHotKeys.installHotKeys(currentPublication());
}

bool Quillmark::handleHotKey(std::uint32_t id)
{
    const bool preferencesOpen = mHooks.isPreferencesWindowVisible && mHooks.isPreferencesWindowVisible();
    if (!frontApplicationIsOurs() || preferencesOpen)
        return false;
    const auto publication = currentPublication();
    switch (id) {
    case GlobalHotKeys::MakeBylineID:
        if (publication)
            makeTextFrameForTextBlockSpecID(uniqueIDOf(publication->defaultBylineSpec()), false);
        return true;
    case GlobalHotKeys::MakeCaptionID:
        if (publication)
            makeTextFrameForTextBlockSpecID(uniqueIDOf(publication->defaultCaptionSpec()), false);
        return true;
    case GlobalHotKeys::MakeBylineAndCaptionID:
        makeDefaultBylineAndCaptionAction(publication);
        return true;
    case GlobalHotKeys::TogglePanelID:
        if (mHooks.toggleIPTCPanel)
            mHooks.toggleIPTCPanel();
        return true;
    case GlobalHotKeys::MakePageID:
        makePageFrames();
        return true;
    default:
        if (const auto spec = mHotKeys.textBlockSpecForID(id))
            if (const auto text = mConnection->frameText(mCurrentImage.currentImagePath(),
                                                         mCurrentImage.IPTCRecords().value_or(IPTCRecordArray{}), *spec))
                sendTextFrame(nullptr, mConnection->textFrameArguments(*text, *spec, false));
        return true;
    }
}

} // namespace qm
