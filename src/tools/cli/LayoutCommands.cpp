// `layout`, `frame` and `follow`: the running layout application, driven as the program drives it.
#include <atomic>
#include <chrono>
#include <csignal>
#include <iostream>

#include "Commands.h"
#include "Output.h"
#include "TextOutput.h"
#include "app/BylineAndCaption.h"
#include "app/Quillmark.h"
#include "bridge/LayoutCodes.h"
#include "bridge/LayoutConnection.h"
#include "foundation/MainThread.h"
#include "foundation/UserDefaults.h"
#include "platform/ModifierKeys.h"

namespace qm::cli {

namespace {

// The Option key as the command line says: held with --option.
class HeldModifierKeys : public ModifierKeys {
public:
    bool alternateKeyIsDown() override { return true; }
};

std::string orDash(const std::optional<std::string>& text)
{
    return text && !text->empty() ? escapeField(*text) : "-";
}

std::string yesNo(bool value)
{
    return value ? "true" : "false";
}

// A parse started for the current image is shown before the command goes on.
void waitForCurrentImage(Quillmark& controller)
{
    while (controller.currentImage().parsingImageAsynchronously())
        MainThread::waitForTasks(std::chrono::milliseconds(50));
}

struct TextBlockStatus {
    const char* role;
    textBlockSpec::Pointer spec;
    LayoutConnection::State state;
};

void printStatus(LayoutConnection& connection, const LayoutConnection::State& general,
                 const std::vector<TextBlockStatus>& blocks, bool json)
{
    const auto instance = connection.instanceName();
    if (json) {
        std::string out = "{\"instance\":" + (instance ? jsonString(*instance) : "null") + ",\"running\":" +
                          yesNo(general.isRunning) + ",\"documentOpen\":" + yesNo(general.openDocumentExists) +
                          ",\"frontDocument\":" +
                          (general.frontDocumentName ? jsonString(*general.frontDocumentName) : "null") +
                          ",\"selection\":" + yesNo(general.selectedImageExists) + ",\"imagePath\":" +
                          (general.imagePath ? jsonString(*general.imagePath) : "null");
        for (const auto& block : blocks) {
            if (!block.spec)
                continue;
            out += ",\"" + std::string(block.role) + "\":{\"name\":" + jsonString(block.spec->name()) +
                   ",\"paragraphStyleExists\":" + yesNo(block.state.paragraphStyleExists) +
                   ",\"objectStyleExists\":" + yesNo(block.state.objectStyleExists) +
                   ",\"colorSwatchExists\":" + yesNo(block.state.colorSwatchExists) + "}";
        }
        std::cout << out << "}\n";
        return;
    }
    std::cout << "instance\t" << orDash(instance) << "\nrunning\t" << yesNo(general.isRunning) << "\ndocument\t"
              << (general.openDocumentExists ? orDash(general.frontDocumentName) : "-") << "\nselection\t"
              << yesNo(general.selectedImageExists) << "\nimage\t" << orDash(general.imagePath) << '\n';
    for (const auto& block : blocks) {
        if (!block.spec)
            continue;
        const auto line = [&](const char* what, const std::optional<std::string>& name, bool exists) {
            std::cout << block.role << '\t' << what << '\t' << orDash(name) << '\t'
                      << (name && !name->empty() ? yesNo(exists) : "-") << '\n';
        };
        line("paragraph-style", block.spec->paragraphStyleName(), block.state.paragraphStyleExists);
        line("object-style", block.spec->objectStyleName(), block.state.objectStyleExists);
        line("color-swatch", block.spec->textColorSwatchName(), block.state.colorSwatchExists);
    }
}

int layoutStatus(Quillmark& controller, LayoutConnection& connection, bool json)
{
    const auto publication = controller.currentPublication();
    std::vector<TextBlockStatus> blocks{{"byline", publication ? publication->defaultBylineSpec() : nullptr, {}},
                                        {"caption", publication ? publication->defaultCaptionSpec() : nullptr, {}}};
    const auto records = controller.currentImage().IPTCRecords().value_or(IPTCRecordArray{});
    LayoutConnection::State general;
    general.isRunning = connection.isRunning();
    for (auto& block : blocks)
        if (block.spec && general.isRunning)
            general = block.state = connection.isRunning(*block.spec, records);
    if (general.isRunning && !blocks[0].spec && !blocks[1].spec)
        general = connection.isRunning(*textBlockSpec::create(), records);
    printStatus(connection, general, blocks, json);
    if (!general.isRunning)
        throw InputError(controller.layoutApplicationName() + " is not running or does not answer");
    return 0;
}

int layoutSelected(LayoutConnection& connection)
{
    if (!connection.isRunning())
        throw InputError("the layout application is not running or does not answer");
    Error error;
    const auto path = connection.selectedImagePath(&error);
    if (!path)
        throw InputError(error.localizedDescription.empty() ? "no picture with an image is selected"
                                                            : error.localizedDescription);
    std::cout << *path << '\n';
    return 0;
}

std::int32_t pageNumber(const std::optional<std::string>& value)
{
    if (!value)
        return 0;
    try {
        std::size_t used = 0;
        const int page = std::stoi(*value, &used);
        if (used == value->size() && page >= 1)
            return page;
    } catch (const std::exception&) {
    }
    throw UsageError("--page takes a page number from 1");
}

void printPageReport(const Quillmark::PageReport& report, bool dryRun)
{
    if (!report.plan)
        return;
    for (const auto& frame : report.plan->frames)
        std::cout << (dryRun ? "make" : "made") << '\t' << escapeField(frame.imagePath) << '\t' << frame.role << '\t'
                  << escapeField(frame.text) << '\n';
    for (const auto& line : report.plan->skippedLines())
        std::cout << "skip\t" << escapeField(line) << '\n';
    std::cout << "page\t" << report.page << '\t' << report.plan->frames.size() << " to make, "
              << report.plan->alreadyMade << " made before, " << report.plan->skipped.size() << " pictures skipped\n";
}

// The page command of the program on one page (1 up; the current page without --page).
int runFramePage(UserDefaults& defaults, std::int32_t page, bool dryRun)
{
    auto connection = std::make_shared<LayoutConnection>();
    Quillmark controller(defaults, connection);
    if (!controller.currentPublication())
        throw InputError("there is no current publication");
    std::optional<Quillmark::PageReport> report;
    controller.makePageFrames({page, dryRun}, [&report](const Quillmark::PageReport& done) { report = done; });
    while (!report)
        MainThread::waitForTasks(std::chrono::milliseconds(50));
    printPageReport(*report, dryRun);
    if (report->outcome == Quillmark::FrameOutcome::MayStillAppear)
        throw InputError("the layout application did not confirm the frames in time; they may still appear on the page");
    if (report->outcome != Quillmark::FrameOutcome::Made)
        throw InputError("no frames were made" + (report->problem ? ": " + *report->problem : std::string()));
    return report->plan && !report->plan->skipped.empty() ? 1 : 0;
}

std::atomic<bool> interrupted{false};

extern "C" void stopFollowing(int)
{
    interrupted = true;
}

} // namespace

int layoutCodes(bool json)
{
    if (json) {
        std::cout << LayoutCodes::json().dump(2) << '\n';
        return 0;
    }
    for (const auto& field : LayoutCodes::fields())
        for (const auto& choice : field.choices)
            std::cout << field.name << '\t' << choice.code << '\t' << choice.key << '\t' << choice.title << '\n';
    return 0;
}

int runLayout(CommandLine& arguments, UserDefaults& defaults)
{
    const bool json = arguments.takeFlag("--json");
    const bool remove = arguments.takeFlag("--remove");
    const auto positionals = arguments.positionals();
    if (positionals.size() == 1 && positionals[0] == "codes")
        return layoutCodes(json);
    if (positionals.size() == 1 && positionals[0] == "install-scribus")
        return installScribus(remove);
    if (positionals.size() != 1 || (positionals[0] != "status" && positionals[0] != "selected"))
        throw UsageError("give status, selected, codes or install-scribus");
    auto connection = std::make_shared<LayoutConnection>();
    Quillmark controller(defaults, connection);
    return positionals[0] == "status" ? layoutStatus(controller, *connection, json) : layoutSelected(*connection);
}

int runFrame(CommandLine& arguments, UserDefaults& defaults)
{
    const bool dryRun = arguments.takeFlag("--dry-run");
    const auto page = arguments.takeValue("--page");
    const bool option = arguments.takeFlag("--option");
    const auto choice = ChosenTexts::takeChoice(arguments, true);
    const auto positionals = arguments.positionals();
    if (positionals.size() == 1 && positionals[0] == "page")
        return runFramePage(defaults, pageNumber(page), dryRun);
    if (dryRun || page)
        throw UsageError("--page and --dry-run go with frame page");
    if (positionals.size() != 1 || (positionals[0] != "byline" && positionals[0] != "caption" && positionals[0] != "both"))
        throw UsageError("give byline, caption, both or page");
    if (option)
        ModifierKeys::install(std::make_shared<HeldModifierKeys>());
    auto connection = std::make_shared<LayoutConnection>();
    Quillmark controller(defaults, connection);
    std::string error;
    const auto chosen = BylineAndCaption::choose(controller.publications(), choice, defaults, error);
    if (!chosen)
        throw InputError(error);
    if (connection->isRunning()) {
        controller.updateFromLayoutSelection();
        waitForCurrentImage(controller);
    }
    const bool both = positionals[0] == "both";
    bool made = true;
    bool mayStillAppear = false;
    const auto noteLate = [&mayStillAppear](Quillmark::FrameOutcome outcome) {
        mayStillAppear = mayStillAppear || outcome == Quillmark::FrameOutcome::MayStillAppear;
    };
    for (const auto& [role, spec] : {std::pair{"byline", chosen->bylineSpec()}, std::pair{"caption", chosen->captionSpec()}}) {
        if (!both && positionals[0] != role)
            continue;
        if (!spec)
            throw InputError(std::string("the publication has no ") + role);
        made = controller.makeTextFrameForTextBlockSpecID(spec->uniqueIDString(), both, noteLate) && made;
    }
    if (mayStillAppear)
        throw InputError("the layout application did not confirm the text frame in time; it may still appear on the page");
    if (!made)
        throw InputError("the text frame was not made");
    return 0;
}

int runFollow(CommandLine& arguments, UserDefaults& defaults)
{
    if (!arguments.positionals().empty())
        throw UsageError("follow takes no arguments");
    auto connection = std::make_shared<LayoutConnection>();
    Quillmark controller(defaults, connection);
    auto& image = controller.currentImage();
    image.addObserver("parsingImageAsynchronously", [&](const std::string&, KeyValueObservable::Change change) {
        if (change != KeyValueObservable::Change::Did || image.parsingImageAsynchronously() || !image.currentImagePath())
            return;
        std::cout << escapeField(*image.currentImagePath()) << '\t' << defaults.integerForKey("panelTextEncoding") << '\t'
                  << orDash(image.currentBylineText()) << '\t' << orDash(image.currentCaptionText()) << std::endl;
    });
    controller.awakeFromNib();
    std::signal(SIGINT, stopFollowing);
    std::signal(SIGTERM, stopFollowing);
    auto lastAttempt = std::chrono::steady_clock::time_point{};
    bool connected = false;
    while (!interrupted) {
        // A layout application started later is found again every two seconds.
        if (!connected && std::chrono::steady_clock::now() - lastAttempt > std::chrono::seconds(2)) {
            lastAttempt = std::chrono::steady_clock::now();
            if ((connected = connection->isRunning()))
                controller.updateFromLayoutSelection();
        }
        MainThread::waitForTasks(std::chrono::milliseconds(100));
    }
    return 0;
}

} // namespace qm::cli
