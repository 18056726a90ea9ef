#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/ArrayController.h"
#include "app/CurrentImageTracker.h"
#include "app/GlobalHotKeys.h"
#include "app/LayoutCalls.h"
#include "app/PageFramePlan.h"
#include "app/StatusMenus.h"
#include "foundation/KeyValueObservable.h"
#include "platform/AlertPresenter.h"
#include "bridge/LayoutConnection.h"
#include "platform/FrontApplication.h"
#include "textgen/PublicationStore.h"

namespace qm {

class UserDefaults;

// The application controller: starts the program, follows the current image, runs the text frame
// commands and the global hot keys, and keeps the publications and the current publication. It
// runs without a display: what only a window does is a named hook the program sets.
class Quillmark : public KeyValueObservable {
public:
    // What a window does at the controller's request; every hook may be left empty.
    struct WindowHooks {
        std::function<void()> installStatusItem;
        std::function<void()> showAboutPanel;
        std::function<void()> selectFirstPreferencePane;
        std::function<void()> showIPTCPanel;
        std::function<void()> toggleIPTCPanel;
        std::function<bool()> isIPTCPanelVisible;
        std::function<void()> orderIPTCPanelFront;
        std::function<void()> hideIPTCPanel;
        std::function<bool()> isPreferencesWindowVisible;
        // Asks, without waiting, where to save a file (offering `suggestedPath`); `chosen` gets the
        // path on the main thread, or is never called when the user cancels.
        std::function<void(const std::string& suggestedPath, std::function<void(const std::string&)> chosen)>
            chooseSaveFile;
    };

    // The keys whose changes redisplay the current image's datasets.
    static const std::vector<std::string>& redisplayKeys();

    // Registers the defaults; becomes the shared instance.
    Quillmark(UserDefaults& defaults, std::shared_ptr<LayoutConnection> connection);
    ~Quillmark() override;
    Quillmark(const Quillmark&) = delete;
    Quillmark& operator=(const Quillmark&) = delete;

    // The controller the program runs with; null before one is made and after it is gone.
    static Quillmark* sharedInstance();

    void setWindowHooks(WindowHooks hooks) { mHooks = std::move(hooks); }
    // The settings the controller reads and the preference panes edit.
    UserDefaults& defaults() { return mDefaults; }
    // The start-up steps in their order.
    void awakeFromNib();
    // Calls to the layout application run on a worker thread from now on, and the layout application
    // is followed whenever it starts, so the main thread never waits for it (the program).
    void runLayoutCallsOnWorker();
    // Stores the selected publication's index, writes the hot keys and unregisters them.
    void applicationWillQuit();
    // Writes the hot keys, selects the current publication again and reinstalls the hot keys.
    void preferencesWindowWillClose();

    // The current image.
    CurrentImageTracker& currentImage() { return mCurrentImage; }
    // Reads the layout application's selection and makes its picture current; a selection that
    // could not be read (busy, not answering) changes nothing.
    void updateFromLayoutSelection();
    // A selection change announced by the layout application: its picture is taken at once when
    // the announcement names it, else the selection is read.
    void layoutSelectionChanged(const LayoutConnection::SelectionChange& change);
    // The paragraph style that datasets dragged from the panel ask for: the current publication's
    // drag-and-drop style when it uses one, else none. The drag carries it to the layout script.
    std::optional<std::string> dragAndDropParagraphStyle() const;
    // The layout script took a drop without that style: the "may not look as expected" alert.
    void dropMissedParagraphStyle();
    // Opens the current image in its default application, unless the Option key is held.
    void opencurrentImagePath();
    void frontApplicationSwitch(const RunningApplication& front);

    // The publications as stored, and the publication controller's selection.
    const PublicationStore::Publications& publications() const { return mPublications; }
    // Takes the list (objects edited in place, reordered, added or removed) and stores it; the
    // objects stay the controller's, with their identifiers.
    void setPublications(PublicationStore::Publications publications);
    std::optional<std::size_t> selectedPublicationIndex() const { return mSelectedPublicationIndex; }
    void setSelectedPublicationIndex(std::optional<std::size_t> index);
    // The publication at "currentPublicationIndex"; none when out of range.
    quillmarkPublication::Pointer currentPublication() const;
    // The byline and caption the panel shows (never one named "-"), the current publication's
    // defaults until a window chooses others.
    const textBlockSpec::Pointer& shownByline() const { return mShownByline; }
    const textBlockSpec::Pointer& shownCaption() const { return mShownCaption; }
    void setShownByline(textBlockSpec::Pointer spec);
    void setShownCaption(textBlockSpec::Pointer spec);

    // The text frame commands and the menus.
    enum class FrameOutcome { Made, NotMade, MayStillAppear };
    using FrameCompletion = std::function<void(FrameOutcome)>;
    // False when the text block is unknown, another command still waits for the layout application
    // (this one is dropped), or, when the calls run at once, a problem stopped the command; the
    // completion is told the outcome on the main thread.
    bool makeTextFrameForTextBlockSpecID(const std::optional<std::string>& uniqueID, bool isMultiple = false,
                                         FrameCompletion completion = {});
    void makeDefaultBylineAndCaptionAction(const quillmarkPublication::Pointer& publication);
    void switchPublication(const quillmarkPublication::Pointer& publication);

    // "Make bylines and captions for this page": the current publication's default byline and
    // caption beside every picture of a page that has none yet; the pictures skipped are listed in
    // one alert at the end. The page is 1 up, 0 the current one; a dry run makes nothing and shows
    // no alert. The completion is told the report on the main thread.
    struct PageOptions {
        std::int32_t page = 0;
        bool dryRun = false;
    };
    struct PageReport {
        FrameOutcome outcome = FrameOutcome::NotMade;
        std::int32_t page = 0;
        std::optional<PageFramePlan> plan;
        std::size_t made = 0;
        std::optional<std::string> problem; // why nothing was planned or made
    };
    using PageCompletion = std::function<void(const PageReport&)>;
    // False when another text frame command still waits (this one is dropped) or there is no
    // current publication.
    bool makePageFrames(PageOptions options, PageCompletion completion = {});
    bool makePageFrames() { return makePageFrames(PageOptions{}); }
    // Has the layout application run the layout script whenever it starts: at once, or when it quits
    // (it writes its preferences back then); an alert tells what was done.
    void setUpLayoutApplication();
    StatusMenus statusMenus() const;
    // "Credits report…": asks the layout application for its front document, where to save, and
    // writes the document's credits report there as CSV. `done`, when given, is told on the main
    // thread whether a report was written (not told when the user cancels the choice of file).
    void creditsReportAction(std::function<void(bool written)> done = {});

    // The global hot keys; a press acts only while the layout application or this program is in
    // front and the preferences are closed.
    GlobalHotKeys& hotKeys() { return mHotKeys; }
    void installHotKeys();
    void installHotKeysUnlessEditing();
    bool handleHotKey(std::uint32_t id);

    // Puts a new object of the controller right after the selected one (at the end when nothing
    // is selected) and makes it the only selection; returns its index.
    template <typename T>
    static std::size_t insertAndSelectObjectInArrayController(ArrayController<T>& controller)
    {
        const std::size_t index = controller.selectionIndex && *controller.selectionIndex < controller.arrangedObjects.size()
                                      ? *controller.selectionIndex + 1
                                      : controller.arrangedObjects.size();
        controller.arrangedObjects.insert(controller.arrangedObjects.begin() + static_cast<std::ptrdiff_t>(index),
                                          controller.newObject());
        controller.selectionIndex = index;
        return index;
    }

    // Whether the application counts as ours: this program or the addressed layout application.
    bool isOurs(const RunningApplication& application) const;
    // The layout application's display name, for messages.
    std::string layoutApplicationName() const;

private:
    struct FrameRequest {
        textBlockSpec::Pointer spec;
        bool isMultiple = false;
    };
    struct FrameChain;
    struct PageRun;

    bool startTextFrames(std::vector<FrameRequest> requests, FrameCompletion completion);
    void nextTextFrame(const std::shared_ptr<FrameChain>& chain);
    void checkedTextFrame(const std::shared_ptr<FrameChain>& chain, const FrameRequest& request,
                          LayoutConnection::State state, bool optionKeyDown, const IPTCRecordArray& records);
    void sendTextFrame(const std::shared_ptr<FrameChain>& chain, const LayoutArguments& request);
    void pageListed(const std::shared_ptr<PageRun>& run);
    void readPageRecords(const std::shared_ptr<PageRun>& run);
    void planPage(const std::shared_ptr<PageRun>& run);
    void sendPageFrames(const std::shared_ptr<PageRun>& run);
    void showPageAlert(const PageFramePlan& plan);
    void readLayoutSelection(LayoutConnection& connection, std::function<void(const std::optional<std::string>&)> take);
    void showLayoutProblem(LayoutConnection::Reach reach);
    void takeFrontDocumentPath(const LayoutCallResult& answer, LayoutConnection::Reach reach,
                               std::function<void(bool)> done);
    void writeCreditsReport(const std::string& document, const std::string& destination, std::function<void(bool)> done);
    void showCodedAlert(std::int32_t code, std::vector<std::string> buttons = {}, AlertPresenter::Completion completion = {});
    void observeDefaults();
    // The connection addresses the layout application chosen in the preferences.
    void applyPreferredLayoutApplication();
    void reloadPublications();
    void selectCurrentPublication();
    void chooseShownTextBlocks();
    bool frontApplicationIsOurs() const;

    UserDefaults& mDefaults;
    std::shared_ptr<LayoutConnection> mConnection;
    WindowHooks mHooks;
    CurrentImageTracker mCurrentImage;
    GlobalHotKeys mHotKeys;
    PublicationStore::Publications mPublications;
    std::optional<std::size_t> mSelectedPublicationIndex;
    textBlockSpec::Pointer mShownByline;
    textBlockSpec::Pointer mShownCaption;
    std::vector<std::uint64_t> mObservers;
    bool mSelectionReadQueued = false;
    bool mFrameCommandRunning = false;
    bool mReportRunning = false;
    std::shared_ptr<bool> mAlive = std::make_shared<bool>(true); // parses of a page run outlive nothing
    LayoutCalls mLayout; // its worker ends before the members above go
    std::jthread mReportReader; // reads a report's pictures; joined first, as it reports through mLayout
};

} // namespace qm
