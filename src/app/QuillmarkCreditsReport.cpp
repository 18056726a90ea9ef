// The controller's "Credits report…": the front layout document's path from the layout application
// (on the layout worker), the file to save chosen in a window, the pictures read on a thread of
// their own and the report written on the main thread.
#include <filesystem>
#include <utility>

#include "app/BylineAndCaption.h"
#include "app/CreditsReportCsv.h"
#include "app/Quillmark.h"
#include "errors/errorHandler.h"
#include "foundation/Bundle.h"
#include "foundation/StringFormat.h"
#include "foundation/Log.h"

namespace qm {

namespace {

using Reach = LayoutConnection::Reach;

constexpr std::int32_t WrongScriptCode = -9;
constexpr std::int32_t NotRunningCode = -40;
constexpr std::int32_t NoDocumentCode = -41;
constexpr std::int32_t NeverSavedCode = -42;
constexpr std::int32_t ReportNotWrittenCode = -43;

std::string suggestedReportPath(const std::string& document)
{
    const std::filesystem::path path(document);
    return (path.parent_path() / formatText(Bundle::main().localizedString("%@ credits.csv"), {path.stem().string()})).string();
}

void tell(const std::function<void(bool)>& done, bool written)
{
    if (done)
        done(written);
}

} // namespace

void Quillmark::creditsReportAction(std::function<void(bool written)> done)
{
    mLayout.run([this, done = std::move(done)](LayoutConnection& connection) {
        const LayoutCallResult answer = connection.frontDocumentPath();
        const Reach reach = connection.reach();
        mLayout.onMain([this, answer, reach, done] { takeFrontDocumentPath(answer, reach, done); });
    });
}

void Quillmark::takeFrontDocumentPath(const LayoutCallResult& answer, Reach reach, std::function<void(bool)> done)
{
    const auto alert = [&](std::int32_t code) {
        showCodedAlert(code);
        tell(done, false);
    };
    if (!answer.answered() && (reach == Reach::Busy || reach == Reach::NotAnswering || reach == Reach::WithoutLayoutScript)) {
        showLayoutProblem(reach);
        return tell(done, false);
    }
    if (answer.outcome == LayoutCallResult::Outcome::NotConnected)
        return alert(NotRunningCode);
    if (!answer.answered() && answer.error.number == LayoutConnection::NoDocumentErrorNumber)
        return alert(NoDocumentCode);
    if (!answer.answered() || !answer.result.is_string()) {
        Log::format("Quillmark: the front document's path was not told: %s", answer.error.toJson().dump().c_str());
        return alert(WrongScriptCode);
    }
    const std::string document = answer.result.get<std::string>();
    if (document.empty())
        return alert(NeverSavedCode);
    if (!mHooks.chooseSaveFile)
        return tell(done, false);
    mHooks.chooseSaveFile(suggestedReportPath(document), [this, document, done](const std::string& destination) {
        writeCreditsReport(document, destination, done);
    });
}

// The pictures are read on a thread of their own; the texts of the current publication's byline are
// made and the file written on the main thread. One report at a time: another asked for meanwhile is
// dropped. The last reader has handed its rows on when the next starts, so joining it waits for nothing.
void Quillmark::writeCreditsReport(const std::string& document, const std::string& destination,
                                   std::function<void(bool)> done)
{
    if (std::exchange(mReportRunning, true)) {
        Log::message("Quillmark: a credits report is still being made; this one is dropped");
        return tell(done, false);
    }
    if (mReportReader.joinable())
        mReportReader.join();
    mReportReader = std::jthread([this, document, destination, done] {
        std::string error;
        auto read = ScribusDocument::read(document, error);
        auto rows = read ? CreditsReport::readPictures(*read, {}, mDefaults) : std::vector<CreditsReport::Row>{};
        mLayout.onMain([this, document, destination, done, failed = !read, error, rows = std::move(rows)]() mutable {
            mReportRunning = false;
            std::string problem = failed ? document + ": " + error : std::string();
            if (!failed) {
                std::string choiceError;
                if (const auto chosen = BylineAndCaption::choose(mPublications, {}, mDefaults, choiceError))
                    CreditsReport::addBylineTexts(rows, *chosen);
                if (!CreditsReportCsv::write(destination, CreditsReportCsv::text(rows), error))
                    problem = destination + ": " + error;
            }
            if (!problem.empty()) {
                const auto alert = errorHandler::sharedInstance().alertForErrorCode(ReportNotWrittenCode, std::nullopt, problem);
                AlertPresenter::current()->show(alert, {});
            }
            tell(done, problem.empty());
        });
    });
}

} // namespace qm
