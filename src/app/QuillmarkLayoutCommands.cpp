// The controller's talk with the layout application: following its selection, the text frame
// commands and setting it up. Calls run through mLayout (on the program's layout worker); what they
// answer is taken on the main thread.
#include <deque>
#include <filesystem>

#include "app/Quillmark.h"
#include "app/TextFrameChecks.h"
#include "bridge/ScribusStartupScript.h"
#include "errors/errorHandler.h"
#include "foundation/Bundle.h"
#include "foundation/Log.h"
#include "foundation/UserDefaults.h"

namespace qm {

namespace {

using Reach = LayoutConnection::Reach;

constexpr std::int32_t BusyCode = -20;
constexpr std::int32_t NotAnsweringCode = -21;
constexpr std::int32_t WithoutLayoutScriptCode = -22;
constexpr std::int32_t FrameMayStillAppearCode = -23;
constexpr std::int32_t SetUpCode = -24;
constexpr std::int32_t SetUpFailedCode = -25;
constexpr std::int32_t SetUpWhenQuitCode = -26;

bool isFile(const std::optional<std::string>& path)
{
    std::error_code error;
    return path && !path->empty() && std::filesystem::is_regular_file(*path, error);
}

} // namespace

struct Quillmark::FrameChain {
    std::deque<FrameRequest> requests;
    FrameOutcome outcome = FrameOutcome::Made;
    FrameCompletion done;

    void note(FrameOutcome part)
    {
        if (part == FrameOutcome::MayStillAppear || outcome == FrameOutcome::Made)
            outcome = part;
    }
};

// A layout application found (started, or started again) shows its selected picture at once; one
// with no picture selected leaves the shown image as it is (a file given at start, a dropped one).
void Quillmark::runLayoutCallsOnWorker()
{
    mLayout.runOnWorker([this](LayoutConnection& connection) {
        readLayoutSelection(connection, [this](const std::optional<std::string>& path) {
            if (path)
                mCurrentImage.updateFromFilePath(path);
        });
    });
}

// The selection read is taken only while nothing else made another image current meanwhile.
void Quillmark::updateFromLayoutSelection()
{
    if (std::exchange(mSelectionReadQueued, true))
        return;
    mLayout.run([this, asked = mCurrentImage.currentImagePath()](LayoutConnection& connection) {
        readLayoutSelection(connection, [this, asked](const std::optional<std::string>& path) {
            mSelectionReadQueued = false;
            if (mCurrentImage.currentImagePath() == asked)
                mCurrentImage.updateFromFilePath(path);
        });
    });
}

void Quillmark::layoutSelectionChanged(const LayoutConnection::SelectionChange& change)
{
    if (change.carriesImagePath)
        mCurrentImage.updateFromFilePath(change.imagePath);
    else
        updateFromLayoutSelection();
}

// On the layout worker (or at once): reads the selection, and hands its picture to `take` on the
// main thread. A selection that could not be read (the application is busy, not answering, gone
// or without the layout script) is not handed on.
void Quillmark::readLayoutSelection(LayoutConnection& connection,
                                    std::function<void(const std::optional<std::string>&)> take)
{
    const auto path = connection.selectedImagePath(nullptr);
    const bool unknown = connection.reach() != Reach::Answering;
    mLayout.onMain([this, path, unknown, take = std::move(take)] {
        if (unknown)
            mSelectionReadQueued = false;
        else
            take(path);
    });
}

bool Quillmark::makeTextFrameForTextBlockSpecID(const std::optional<std::string>& uniqueID, bool isMultiple,
                                                FrameCompletion completion)
{
    const auto spec = textBlockSpec::findRegisteredSpecWithUniqueID(uniqueID);
    if (!spec)
        return false;
    return startTextFrames({{spec, isMultiple}}, std::move(completion));
}

void Quillmark::makeDefaultBylineAndCaptionAction(const quillmarkPublication::Pointer& publication)
{
    if (!publication)
        return;
    std::vector<FrameRequest> requests;
    for (const auto& spec : {publication->defaultBylineSpec(), publication->defaultCaptionSpec()})
        if (spec)
            requests.push_back({spec, true});
    startTextFrames(std::move(requests), {});
}

// One command at a time: a command given while another still waits for the layout application is
// dropped, never queued behind a layout application that does not answer.
bool Quillmark::startTextFrames(std::vector<FrameRequest> requests, FrameCompletion completion)
{
    if (mFrameCommandRunning) {
        Log::message("Quillmark: a text frame command still waits for the layout application; this one is dropped");
        if (completion)
            completion(FrameOutcome::NotMade);
        return false;
    }
    mFrameCommandRunning = true;
    auto finished = std::make_shared<std::optional<FrameOutcome>>();
    auto chain = std::make_shared<FrameChain>();
    chain->requests.assign(requests.begin(), requests.end());
    chain->done = [this, finished, completion = std::move(completion)](FrameOutcome outcome) {
        mFrameCommandRunning = false;
        *finished = outcome;
        if (completion)
            completion(outcome);
    };
    nextTextFrame(chain);
    return !finished->has_value() || **finished == FrameOutcome::Made;
}

void Quillmark::nextTextFrame(const std::shared_ptr<FrameChain>& chain)
{
    if (chain->requests.empty()) {
        chain->done(chain->outcome);
        return;
    }
    const FrameRequest request = chain->requests.front();
    chain->requests.pop_front();
    const textBlockSpec& spec = *request.spec;
    const bool optionKeyDown = mConnection->optionKeyIsDown();
    const IPTCRecordArray records = mCurrentImage.IPTCRecords().value_or(IPTCRecordArray{});
    const IPTCCodeSet missing = spec.missingRequiredIPTCFields(records);
    const std::array<std::string, 3> styles{spec.paragraphStyleName().value_or(""), spec.objectStyleName().value_or(""),
                                            spec.textColorSwatchName().value_or("")};
    mLayout.run([this, chain, request, optionKeyDown, records, missing, styles](LayoutConnection& connection) {
        auto state = connection.stateForStyles(styles[0], styles[1], styles[2]);
        if (state.reach == Reach::Answering && state.isRunning)
            state.missingMetadata.assign(missing.begin(), missing.end());
        mLayout.onMain([this, chain, request, state, optionKeyDown, records] {
            checkedTextFrame(chain, request, state, optionKeyDown, records);
        });
    });
}

// A layout application that is busy, does not answer or runs without the layout script stops the
// whole command with one alert; the checks' problems stop this text block only.
void Quillmark::checkedTextFrame(const std::shared_ptr<FrameChain>& chain, const FrameRequest& request,
                                 LayoutConnection::State state, bool optionKeyDown, const IPTCRecordArray& records)
{
    if (state.reach == Reach::Busy || state.reach == Reach::NotAnswering || state.reach == Reach::WithoutLayoutScript) {
        showLayoutProblem(state.reach);
        chain->note(FrameOutcome::NotMade);
        chain->requests.clear();
        nextTextFrame(chain);
        return;
    }
    textBlockSpec& spec = *request.spec;
    const TextFrameChecks::Context context{optionKeyDown, isFile(state.imagePath),
                                           mDefaults.boolForKey("alertMissingStyles"), layoutApplicationName()};
    const auto outcome = TextFrameChecks::check(state, spec, context);
    if (!outcome.messages.empty() && context.alertMissingStyles) {
        const auto presenter = AlertPresenter::current();
        presenter->activateApplication();
        presenter->show(TextFrameChecks::alertFor(outcome), [this](const AlertResponse& response) {
            if (response.suppressionChecked)
                mDefaults.setObject("alertMissingStyles", PlistValue(false));
        });
    }
    if (outcome.fatal) {
        chain->note(FrameOutcome::NotMade);
        nextTextFrame(chain);
        return;
    }
    const auto text = mConnection->frameText(mCurrentImage.currentImagePath(), records, spec);
    if (!text) {
        nextTextFrame(chain);
        return;
    }
    sendTextFrame(chain, mConnection->textFrameArguments(*text, spec, request.isMultiple));
}

// A frame the layout application did not confirm in time may still be made: the user is told so,
// and the rest of the command is dropped.
void Quillmark::sendTextFrame(const std::shared_ptr<FrameChain>& chain, const LayoutArguments& request)
{
    mLayout.run([this, chain, request](LayoutConnection& connection) {
        const auto result = connection.sendTextFrame(request);
        const Reach reach = connection.reach();
        mLayout.onMain([this, chain, result, reach] {
            FrameOutcome outcome = FrameOutcome::Made;
            if (result.outcome == LayoutCallResult::Outcome::TimedOut) {
                showCodedAlert(FrameMayStillAppearCode);
                outcome = FrameOutcome::MayStillAppear;
            } else if (!result.answered()) {
                Log::format("Quillmark: the text frame was not made: %s", result.error.toJson().dump().c_str());
                if (reach == Reach::Busy)
                    showLayoutProblem(reach);
                outcome = FrameOutcome::NotMade;
            }
            if (!chain)
                return;
            chain->note(outcome);
            if (outcome != FrameOutcome::Made)
                chain->requests.clear();
            nextTextFrame(chain);
        });
    });
}

void Quillmark::showLayoutProblem(LayoutConnection::Reach reach)
{
    if (reach == Reach::Busy)
        showCodedAlert(BusyCode);
    else if (reach == Reach::NotAnswering)
        showCodedAlert(NotAnsweringCode);
    else if (reach == Reach::WithoutLayoutScript)
        showCodedAlert(WithoutLayoutScriptCode,
                       {Bundle::main().localizedString("OK"), Bundle::main().localizedString("Set Up Scribus…")},
                       [this](const AlertResponse& response) {
                           if (response.buttonIndex == 1)
                               setUpLayoutApplication();
                       });
}

void Quillmark::showCodedAlert(std::int32_t code, std::vector<std::string> buttons, AlertPresenter::Completion completion)
{
    const std::string application = layoutApplicationName();
    Alert alert = errorHandler::sharedInstance().alertForErrorCode(code, application, application);
    alert.buttonTitles = std::move(buttons);
    const auto presenter = AlertPresenter::current();
    presenter->activateApplication();
    presenter->show(alert, std::move(completion));
}

// The layout application writes its preferences back when it quits: while one runs, the change
// waits for it to quit.
void Quillmark::setUpLayoutApplication()
{
    if (mConnection->firstRunningInstanceName())
        showCodedAlert(SetUpWhenQuitCode);
    mLayout.runWhenIdle([this] {
        if (mConnection->firstRunningInstanceName())
            return false;
        std::optional<std::string> failure;
        try {
            ScribusStartupScript().install(ScribusStartupScript::bundledScript());
        } catch (const std::runtime_error& error) {
            failure = error.what();
        }
        mLayout.onMain([this, failure] {
            if (!failure)
                return showCodedAlert(SetUpCode);
            const auto alert = errorHandler::sharedInstance().alertForErrorCode(SetUpFailedCode, std::nullopt, failure);
            AlertPresenter::current()->show(alert, {});
        });
        return true;
    });
}

} // namespace qm
