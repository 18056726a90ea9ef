// "Make bylines and captions for this page": the page's pictures are listed on the layout worker,
// their files read in the background, the texts made and checked on the main thread, and every
// frame made on the worker in one request to the layout script.
#include <set>

#include "app/IPTCDisplay.h"
#include "app/Quillmark.h"
#include "app/TextFrameChecks.h"
#include "errors/errorHandler.h"
#include "foundation/Log.h"
#include "foundation/UserDefaults.h"
#include "parsers/QMAsynchronousMetadataParser.h"
#include "parsers/QMMetadataParserCache.h"

namespace qm {

namespace {

using Reach = LayoutConnection::Reach;

constexpr std::int32_t FrameMayStillAppearCode = -23;
constexpr std::int32_t PicturesSkippedCode = -27;

std::string joinedLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += (text.empty() ? "" : "\r") + line;
    return text;
}

bool stopsTheRun(Reach reach)
{
    return reach == Reach::Busy || reach == Reach::NotAnswering || reach == Reach::WithoutLayoutScript;
}

} // namespace

struct Quillmark::PageRun {
    PageOptions options;
    std::vector<textBlockSpec::Pointer> textBlocks;
    std::vector<LayoutConnection::State> states; // filled on the worker
    LayoutCallResult listed;                     // filled on the worker
    std::optional<PagePictures> listing;
    std::map<std::string, IPTCRecordArray> records;
    std::size_t parsesPending = 0;
    PageReport report;
    std::function<void(PageRun&)> done;

    void finish(FrameOutcome outcome, std::optional<std::string> problem = std::nullopt)
    {
        report.outcome = outcome;
        report.problem = std::move(problem);
        done(*this);
    }
};

bool Quillmark::makePageFrames(PageOptions options, PageCompletion completion)
{
    auto run = std::make_shared<PageRun>();
    run->options = options;
    if (const auto publication = currentPublication())
        for (const auto& spec : {publication->defaultBylineSpec(), publication->defaultCaptionSpec()})
            if (spec)
                run->textBlocks.push_back(spec);
    if (run->textBlocks.empty() || mFrameCommandRunning) {
        Log::message(run->textBlocks.empty() ? "Quillmark: no publication with a byline or caption for the page"
                                              : "Quillmark: a text frame command still waits; the page command is dropped");
        if (completion)
            completion(PageReport{});
        return false;
    }
    mFrameCommandRunning = true;
    run->done = [this, completion = std::move(completion)](PageRun& finished) {
        mFrameCommandRunning = false;
        if (completion)
            completion(finished.report);
    };
    std::vector<std::array<std::string, 3>> styles;
    for (const auto& spec : run->textBlocks)
        styles.push_back({spec->paragraphStyleName().value_or(""), spec->objectStyleName().value_or(""),
                          spec->textColorSwatchName().value_or("")});
    mLayout.run([this, run, styles](LayoutConnection& connection) {
        for (const auto& [paragraph, object, swatch] : styles) {
            run->states.push_back(connection.stateForStyles(paragraph, object, swatch));
            if (run->states.back().reach != Reach::Answering || !run->states.back().openDocumentExists)
                break;
        }
        if (run->states.size() == styles.size() && run->states.back().reach == Reach::Answering)
            run->listed = connection.pagePictures(run->options.page);
        mLayout.onMain([this, run] { pageListed(run); });
    });
    return true;
}

// The layout application's state stops the run as it stops the single commands, with their alert.
void Quillmark::pageListed(const std::shared_ptr<PageRun>& run)
{
    const auto& state = run->states.back();
    if (stopsTheRun(state.reach)) {
        showLayoutProblem(state.reach);
        return run->finish(FrameOutcome::NotMade, layoutApplicationName() + " does not answer");
    }
    if (!state.isRunning || !state.openDocumentExists) {
        const TextFrameChecks::Context context{false, false, mDefaults.boolForKey("alertMissingStyles"),
                                               layoutApplicationName()};
        const auto outcome = TextFrameChecks::check(state, *run->textBlocks.front(), context);
        if (context.alertMissingStyles && !run->options.dryRun) {
            AlertPresenter::current()->activateApplication();
            AlertPresenter::current()->show(TextFrameChecks::alertFor(outcome), {});
        }
        return run->finish(FrameOutcome::NotMade, outcome.messages.empty() ? "" : outcome.messages.front());
    }
    run->listing = PagePictures::fromResult(run->listed.result);
    if (!run->listed.answered() || !run->listing) {
        const std::string problem = run->listed.answered() ? "unexpected answer " + run->listed.result.dump()
                                                           : run->listed.error.message;
        Log::format("Quillmark: the page's pictures could not be listed: %s", problem.c_str());
        return run->finish(FrameOutcome::NotMade, problem);
    }
    run->report.page = run->listing->page;
    readPageRecords(run);
}

// Each picture's file is read as the panel reads a picture it shows: a cached parser at once, others
// in the background; the plan is made once every file is read.
void Quillmark::readPageRecords(const std::shared_ptr<PageRun>& run)
{
    std::set<std::string> paths;
    for (const auto& picture : run->listing->pictures)
        paths.insert(picture.imagePath);
    const auto take = [this, run](const std::string& path, const std::shared_ptr<QMMetadataParser>& parser) {
        if (parser)
            run->records[path] = IPTCDisplay::updateDisplayedIPTCDataWithEncoding(
                                     parser, IPTCDisplay::chosenEncoding(parser, mDefaults), mDefaults)
                                     .IPTCRecords.value_or(IPTCRecordArray{});
    };
    run->parsesPending = 1; // the loop's own hold, so that no parse ends the reading early
    for (const auto& path : paths) {
        if (auto cached = QMMetadataParserCache::CachedMetadataParserForPath(path)) {
            take(path, cached);
            continue;
        }
        ++run->parsesPending;
        QMAsynchronousMetadataParser::ParseMetadataAsynchronouslyForPath(
            path, [this, alive = std::weak_ptr<bool>(mAlive), run, path, take](auto parser) {
                if (!alive.lock())
                    return;
                take(path, parser);
                if (--run->parsesPending == 0)
                    planPage(run);
            });
    }
    if (--run->parsesPending == 0)
        planPage(run);
}

void Quillmark::planPage(const std::shared_ptr<PageRun>& run)
{
    const PageFramePlan::Input input{*run->listing, run->textBlocks, run->states, run->records,
                                     layoutApplicationName()};
    run->report.plan = PageFramePlan::make(input, *mConnection);
    if (run->options.dryRun)
        return run->finish(FrameOutcome::Made);
    if (run->report.plan->frames.empty()) {
        showPageAlert(*run->report.plan);
        return run->finish(FrameOutcome::Made);
    }
    sendPageFrames(run);
}

// A request the layout application did not confirm in time may still make its frames: the user is
// told so, as for a single frame.
void Quillmark::sendPageFrames(const std::shared_ptr<PageRun>& run)
{
    mLayout.run([this, run, requests = run->report.plan->requests()](LayoutConnection& connection) {
        const auto result = connection.makePageFrames(requests);
        const Reach reach = connection.reach();
        mLayout.onMain([this, run, result, reach] {
            if (result.outcome == LayoutCallResult::Outcome::TimedOut) {
                showCodedAlert(FrameMayStillAppearCode);
                return run->finish(FrameOutcome::MayStillAppear, "no answer in time");
            }
            if (!result.answered()) {
                Log::format("Quillmark: the page's frames were not made: %s", result.error.toJson().dump().c_str());
                if (reach == Reach::Busy)
                    showLayoutProblem(reach);
                return run->finish(FrameOutcome::NotMade, result.error.message);
            }
            run->report.made = result.result.is_array() ? result.result.size() : 0;
            showPageAlert(*run->report.plan);
            run->finish(FrameOutcome::Made);
        });
    });
}

// One alert for the whole page: the skipped pictures with their reasons, and the missing styles
// when the user has not turned their alert off.
void Quillmark::showPageAlert(const PageFramePlan& plan)
{
    const bool alertMissingStyles = mDefaults.boolForKey("alertMissingStyles");
    if (plan.skipped.empty() && (plan.styleMessages.empty() || !alertMissingStyles))
        return;
    auto lines = plan.skippedLines();
    if (alertMissingStyles)
        lines.insert(lines.end(), plan.styleMessages.begin(), plan.styleMessages.end());
    const auto presenter = AlertPresenter::current();
    presenter->activateApplication();
    if (plan.skipped.empty()) {
        presenter->show(TextFrameChecks::alertFor({lines, false}), [this](const AlertResponse& response) {
            if (response.suppressionChecked)
                mDefaults.setObject("alertMissingStyles", PlistValue(false));
        });
        return;
    }
    presenter->show(errorHandler::sharedInstance().alertForErrorCode(PicturesSkippedCode, std::nullopt,
                                                                     joinedLines(lines)),
                    {});
}

} // namespace qm
