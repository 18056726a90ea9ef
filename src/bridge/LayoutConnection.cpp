#include "bridge/LayoutConnection.h"

#include <algorithm>
#include <cctype>

#include <unistd.h>

#include "bridge/LayoutImagePath.h"
#include "errors/errorHandler.h"
#include "foundation/Log.h"
#include "foundation/MainThread.h"
#include "foundation/UserDefaults.h"
#include "platform/AlertPresenter.h"
#include "platform/ModifierKeys.h"
#include "platform/ProcessList.h"
#include "platform/Workspace.h"
#include "textgen/textBlockSpec.h"
#include "textgen/textBlockSpec_Byline.h"
#include "textgen/textBlockSpec_Caption.h"

namespace qm {

namespace fs = std::filesystem;
using Outcome = LayoutCallResult::Outcome;

namespace {

constexpr std::int32_t ScriptMissingErrorCode = -8;
constexpr std::int32_t ScriptProtocolErrorCode = -9;
constexpr std::int32_t SelectedImageErrorCodeWithPath = -10;
constexpr const char* SelectedImagePathErrorDomain = "IndesignConnectionDomain";
constexpr const char* ScriptErrorStatusDomain = "NSOSStatusErrorDomain";

// The last component of a path, trailing slashes ignored; nothing for an empty one.
std::optional<std::string> lastPathComponent(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    std::string name = fs::path(path).filename().string();
    if (name.empty())
        return std::nullopt;
    return name;
}

bool isReadableFolder(const fs::path& folder)
{
    std::error_code error;
    return fs::is_directory(folder, error) && ::access(folder.c_str(), R_OK | X_OK) == 0;
}

LayoutCallResult noScript()
{
    return LayoutCallResult::failure(Outcome::NotConnected,
                                     {LayoutScriptClient::NotConnectedErrorNumber, "the layout script is not loaded", ""});
}

LayoutCallResult notRunning()
{
    return LayoutCallResult::failure(
        Outcome::NotConnected, {LayoutScriptClient::NotConnectedErrorNumber, "the layout application is not running", ""});
}

void presentOnMainThread(const Error& error)
{
    MainThread::perform([error] { AlertPresenter::current()->presentError(error); }, false);
}

// An application that connected and then did not answer is asked again only after this pause, so
// looking for the layout application never keeps the worker waiting again and again.
constexpr auto SilentPause = std::chrono::seconds(10);

// The program's own launcher of the layout application ("quillmark-scribus") stands for it.
std::optional<std::string> withoutLauncherPrefix(std::optional<std::string> name)
{
    constexpr std::string_view prefix = "quillmark-";
    if (name && name->starts_with(prefix) && LayoutConnection::isLayoutApplicationName(name->substr(prefix.size())))
        name->erase(0, prefix.size());
    return name;
}

bool socketExists(const fs::path& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

bool flag(const nlohmann::json& item)
{
    return item.is_boolean() && item.get<bool>();
}

std::optional<std::string> text(const nlohmann::json& item)
{
    if (!item.is_string())
        return std::nullopt;
    return item.get<std::string>();
}

// The path in "getselectedpictureframeimageposixpath"'s result: a text, or a list whose first item is one.
std::optional<std::string> imagePathText(const nlohmann::json& result)
{
    if (result.is_array() && !result.empty())
        return text(result.front());
    return text(result);
}

LayoutConnection::SelectionChange selectionChange(const nlohmann::json& message)
{
    LayoutConnection::SelectionChange change;
    const auto path = message.find("imagePath");
    if (path == message.end() || !(path->is_string() || path->is_null()))
        return change;
    change.carriesImagePath = true;
    if (auto posix = path->is_string() ? posixImagePath(path->get<std::string>()) : ""; !posix.empty())
        change.imagePath = std::move(posix);
    return change;
}

} // namespace

bool LayoutConnection::isLayoutApplicationName(const std::string& fileName)
{
    constexpr std::string_view base = "scribus";
    if (fileName.size() < base.size() ||
        !std::equal(base.begin(), base.end(), fileName.begin(),
                    [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); }))
        return false;
    if (fileName.size() == base.size())
        return true;
    const char next = fileName[base.size()];
    return next == '-' || next == '_' || next == '.' || std::isdigit(static_cast<unsigned char>(next));
}

std::string LayoutConnection::errorDomainName()
{
    if (auto info = Bundle::main().plistResource("Info"))
        if (const PlistValue* identifier = info->find("CFBundleIdentifier"); identifier && identifier->string())
            return *identifier->string();
    return "org.quillmark.Quillmark";
}

Error LayoutConnection::errorForErrorCode(std::int32_t code)
{
    return Error{errorDomainName(), code, "", ""};
}

LayoutConnection::LayoutConnection(const Bundle& bundle)
    : mBundle(bundle), mSelectionChanged(std::make_shared<std::function<void(const SelectionChange&)>>()),
      mDropMissedParagraphStyle(std::make_shared<std::function<void()>>())
{
    loadScriptResource();
}

void LayoutConnection::loadScriptResource()
{
    const fs::path folder = mBundle.resourcePath() / "layout" / "scribus";
    if (isReadableFolder(folder)) {
        mScript = folder;
        return;
    }
    mScript.reset();
    Log::format("LayoutConnection: the layout script %s is missing or cannot be read", folder.c_str());
    errorHandler::presentErrorMessageWithErrorCode(ScriptMissingErrorCode, std::nullopt, std::nullopt);
}

std::optional<std::string> LayoutConnection::preferredAppPath() const
{
    std::lock_guard lock(mPreferredMutex);
    return mPreferredAppPath;
}

void LayoutConnection::setPreferredAppPath(std::optional<std::string> path)
{
    std::lock_guard lock(mPreferredMutex);
    mPreferredAppPath = std::move(path);
}

// May be called on any thread: the calls take it up as they start.
void LayoutConnection::setCallTimeout(std::chrono::milliseconds timeout)
{
    mCallTimeout = timeout;
}

void LayoutConnection::setSelectionChangedHandler(std::function<void(const SelectionChange&)> handler)
{
    *mSelectionChanged = std::move(handler);
}

void LayoutConnection::setDropMissedParagraphStyleHandler(std::function<void()> handler)
{
    *mDropMissedParagraphStyle = std::move(handler);
}

std::optional<std::string> LayoutConnection::instanceName() const
{
    if (const auto preferred = preferredAppPath())
        if (auto name = withoutLauncherPrefix(lastPathComponent(*preferred)))
            return name;
    if (auto running = firstRunningInstanceName())
        return running;
    if (auto application = Workspace::current()->applicationForExtension(DocumentExtension))
        return withoutLauncherPrefix(lastPathComponent(application->string()));
    return std::nullopt;
}

std::optional<std::string> LayoutConnection::firstRunningInstanceName() const
{
    for (const auto& process : ProcessList::current()->runningProcesses())
        if (isLayoutApplicationName(process.name()))
            return process.name();
    return std::nullopt;
}

nlohmann::json LayoutConnection::AETargetDescriptor() const
{
    return instanceName().value_or("");
}

LayoutArguments LayoutConnection::arguments() const
{
    return LayoutArguments().text(AETargetDescriptor().get<std::string>());
}

bool LayoutConnection::isRunning()
{
    return addressedClient() != nullptr;
}

bool LayoutConnection::connectIfFound()
{
    const bool wasConnected = mClient && mClient->isConnected();
    return addressedClient() != nullptr && !wasConnected;
}

void LayoutConnection::interrupt()
{
    std::lock_guard lock(mClientMutex);
    if (mClient)
        mClient->interrupt();
}

// The client of the socket that answers for the addressed instance: QUILLMARK_LAYOUT_SOCKET's, else
// that of the first process running the instance's program file whose socket answers. mReach tells
// why none answers: no such process, a process without the layout script, or a stopped or silent one.
LayoutScriptClient* LayoutConnection::addressedClient()
{
    if (auto socket = LayoutScriptClient::socketPathFromEnvironment()) {
        auto* client = answeringClient(*socket);
        if (!client && mReach == Reach::WithoutLayoutScript)
            mReach = Reach::NotRunning;
        return client;
    }
    const auto name = instanceName();
    const auto processes = ProcessList::current()->runningProcesses();
    Reach best = Reach::NotRunning;
    for (const auto& process : processes) {
        if (!name || process.name() != *name)
            continue;
        if (auto* client = clientOfProcess(process.pid))
            return client;
        if (best == Reach::NotRunning || mReach == Reach::NotAnswering)
            best = mReach;
    }
    removeSocketsOfEndedProcesses(processes);
    mReach = best;
    return nullptr;
}

LayoutScriptClient* LayoutConnection::clientOfProcess(int pid)
{
    const fs::path socket = LayoutScriptClient::socketPathForProcess(pid);
    if (ProcessList::current()->isStopped(pid)) {
        mReach = Reach::NotAnswering;
        return nullptr;
    }
    if (!socketExists(socket)) {
        mReach = Reach::WithoutLayoutScript;
        return nullptr;
    }
    return answeringClient(socket);
}

// A layout application that was killed leaves its socket behind; it goes once nobody listens on it.
void LayoutConnection::removeSocketsOfEndedProcesses(const std::vector<RunningApplication>& processes)
{
    std::set<std::string> running;
    for (const auto& process : processes)
        running.insert(std::to_string(process.pid));
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(LayoutScriptClient::socketFolder(), error))
        if (!running.contains(entry.path().filename().string()))
            LayoutScriptClient::removeIfStale(entry.path());
}

LayoutScriptClient* LayoutConnection::answeringClient(const fs::path& socketPath)
{
    if (mClient && mClient->socketPath() == socketPath && mClient->isConnected()) {
        mReach = Reach::Answering;
        return mClient.get();
    }
    const auto now = std::chrono::steady_clock::now();
    if (auto silent = mSilentUntil.find(socketPath); silent != mSilentUntil.end() && now < silent->second) {
        mReach = Reach::NotAnswering;
        return nullptr;
    }
    auto client = makeClient(socketPath);
    const auto handshake = client->connect();
    reportWrongProtocolOnce(handshake, socketPath);
    if (!handshake.answered()) {
        const bool silent = handshake.outcome == Outcome::TimedOut;
        if (silent)
            mSilentUntil[socketPath] = now + SilentPause;
        const bool busy = handshake.outcome == Outcome::ScriptError &&
                          handshake.error.number == LayoutScriptClient::BusyErrorNumber;
        mReach = silent ? Reach::NotAnswering : busy ? Reach::Busy : Reach::WithoutLayoutScript;
        return nullptr;
    }
    mSilentUntil.erase(socketPath);
    mReach = Reach::Answering;
    std::lock_guard lock(mClientMutex);
    mClient = std::move(client);
    return mClient.get();
}

std::unique_ptr<LayoutScriptClient> LayoutConnection::makeClient(const fs::path& socketPath) const
{
    auto client = std::make_unique<LayoutScriptClient>(socketPath, mCallTimeout);
    client->setEventHandler([selection = mSelectionChanged, drop = mDropMissedParagraphStyle](
                                const std::string& event, const nlohmann::json& message) {
        if (event == "selectionChanged" && *selection)
            (*selection)(selectionChange(message));
        else if (event == DropMissedParagraphStyleEvent && *drop)
            (*drop)();
    });
    return client;
}

// A layout script of another version is error -9, presented once for each socket.
void LayoutConnection::reportWrongProtocolOnce(const LayoutCallResult& result, const fs::path& socketPath)
{
    if (result.outcome != Outcome::WrongProtocol || !mWrongProtocolReported.insert(socketPath).second)
        return;
    Log::format("LayoutConnection: %s", result.error.message.c_str());
    errorHandler::presentErrorMessageWithErrorCode(ScriptProtocolErrorCode, std::nullopt, std::nullopt);
}

LayoutCallResult LayoutConnection::call(const char* handler, const LayoutArguments& arguments)
{
    if (!mScript)
        return noScript();
    auto* client = addressedClient();
    if (!client)
        return notRunning();
    client->setTimeout(mCallTimeout);
    auto result = client->call(handler, arguments.list());
    noteCallOutcome(result);
    return result;
}

void LayoutConnection::noteCallOutcome(const LayoutCallResult& result)
{
    if (result.outcome == Outcome::TimedOut)
        mReach = Reach::NotAnswering;
    else if (result.outcome == Outcome::ScriptError && result.error.number == LayoutScriptClient::BusyErrorNumber)
        mReach = Reach::Busy;
    else if (result.outcome == Outcome::NotConnected)
        mReach = Reach::NotRunning;
}

void LayoutConnection::activate()
{
    call("activateindesign", arguments());
}

LayoutConnection::State LayoutConnection::isRunning(const textBlockSpec& spec, const IPTCRecordArray& records)
{
    State state = stateForStyles(spec.paragraphStyleName().value_or(""), spec.objectStyleName().value_or(""),
                                 spec.textColorSwatchName().value_or(""));
    if (state.reach == Reach::Answering && state.isRunning) {
        const IPTCCodeSet missing = spec.missingRequiredIPTCFields(records);
        state.missingMetadata.assign(missing.begin(), missing.end());
    }
    return state;
}

LayoutConnection::State LayoutConnection::stateForStyles(const std::string& paragraphStyle,
                                                         const std::string& objectStyle, const std::string& colorSwatch)
{
    const auto request = arguments().text(paragraphStyle).text(objectStyle).text(colorSwatch);
    State state;
    state.isRunning = isRunning();
    state.reach = mReach;
    if (!state.isRunning)
        return state;
    auto result = call("requiredstylesexist", request);
    state.reach = mReach;
    if (result.answered() && result.result.is_array() && result.result.size() >= 7)
        return stateFromResult(result.result);
    if (result.answered())
        result.error = {-1, "unexpected result " + result.result.dump(), ""};
    Log::format("ae err: %s", result.error.toJson().dump().c_str());
    return state;
}

LayoutConnection::State LayoutConnection::stateFromResult(const nlohmann::json& result) const
{
    return State{true,           flag(result[0]), text(result[1]), flag(result[2]), text(result[3]),
                 flag(result[4]), flag(result[5]), flag(result[6]), {},              Reach::Answering};
}

bool LayoutConnection::existenceCheck(const char* handler, const std::string& name)
{
    const auto result = call(handler, arguments().text(name));
    return result.answered() && flag(result.result);
}

bool LayoutConnection::paragraphStyleExistsInFrontDocument(const std::string& name)
{
    return existenceCheck("paragraphstyleexists", name);
}

bool LayoutConnection::objectStyleExistsInFrontDocument(const std::string& name)
{
    return existenceCheck("objectstyleexists", name);
}

bool LayoutConnection::colorSwatchExistsInFrontDocument(const std::string& name)
{
    return existenceCheck("colorswatchexists", name);
}

void LayoutConnection::setParagraphStyleOfSelectedTextFrame(const std::string& styleName)
{
    if (!isRunning() || !mScript)
        return;
    const auto result = call("setparagraphstyleofselectedframe", arguments().text(styleName));
    if (!result.answered())
        presentOnMainThread(Error{GeneralErrorDomain, result.error.number, result.error.message, result.error.brief});
}

std::optional<std::string> LayoutConnection::selectedImagePath(Error* error)
{
    if (!isRunning() || !mScript)
        return std::nullopt;
    const auto result = call("getselectedpictureframeimageposixpath", arguments());
    return imagePathFromResult(result, error);
}

LayoutCallResult LayoutConnection::frontDocumentPath()
{
    if (!isRunning() || !mScript)
        return mScript ? notRunning() : noScript();
    return call("frontdocumentpath", arguments());
}

std::optional<std::string> LayoutConnection::imagePathFromResult(const LayoutCallResult& result, Error* error) const
{
    if (auto path = result.answered() ? imagePathText(result.result) : std::nullopt) {
        *path = posixImagePath(std::move(*path));
        if (!path->empty())
            return path;
        if (error)
            *error = Error{SelectedImagePathErrorDomain, EmptyImagePathErrorCode, "", ""};
        return std::nullopt;
    }
    if (!result.answered()) {
        if (error)
            *error = Error{ScriptErrorStatusDomain, result.error.number, result.error.message, result.error.brief};
        if (result.error.number == SelectedImageErrorCodeWithPath)
            return result.error.message;
        return std::nullopt;
    }
    const auto items = result.result.is_array() ? static_cast<int>(result.result.size()) : 0;
    Log::format("indesign_getSelectedImageURL no event result: %s, number of items: %d, stringValue: %s",
                result.result.dump().c_str(), items, text(result.result).value_or("(null)").c_str());
    return std::nullopt;
}

bool LayoutConnection::optionKeyIsDown() const
{
    return ModifierKeys::current()->alternateKeyIsDown();
}

std::optional<std::string> LayoutConnection::frameText(const std::optional<std::string>& imagePath,
                                                       const IPTCRecordArray& records, textBlockSpec& spec) const
{
    auto& defaults = UserDefaults::standard();
    const bool useDummyText =
        defaults.boolForKey("optionKeyOverridesEmptyFrame") && (!imagePath || optionKeyIsDown());
    return useDummyText ? defaults.stringForKey("optionKeyDummyText") : spec.textWithFilePath(imagePath, records);
}

void LayoutConnection::createText(const std::optional<std::string>& imagePath, const IPTCRecordArray& records,
                                  textBlockSpec& spec, bool isPartOfMultipleFrames)
{
    if (const auto text = frameText(imagePath, records, spec))
        createTextFrame(*text, spec, isPartOfMultipleFrames);
}

LayoutCallResult LayoutConnection::createTextFrame(const std::string& text, const textBlockSpec& spec,
                                                  bool isPartOfMultipleFrames)
{
    return sendTextFrame(textFrameArguments(text, spec, isPartOfMultipleFrames));
}

LayoutCallResult LayoutConnection::sendTextFrame(const LayoutArguments& request)
{
    return call("maketextbox", request);
}

LayoutArguments LayoutConnection::textFrameArguments(const std::string& text, const textBlockSpec& spec,
                                                     bool isPartOfMultipleFrames) const
{
    const bool selectFrame = !isPartOfMultipleFrames && UserDefaults::standard().boolForKey("selectCreatedTextFrames");
    const auto request = arguments()
                             .text(text)
                             .text(spec.paragraphStyleName().value_or(""))
                             .text(spec.textColorSwatchName().value_or(""))
                             .text(spec.objectStyleName().value_or(""))
                             .integer(static_cast<std::int32_t>(spec.position()))
                             .real(spec.frameIndependentDimension())
                             .real(spec.horizontalGutter())
                             .real(spec.verticalGutter())
                             .boolean(spec.fitFrameToContent())
                             .integer(static_cast<std::int32_t>(spec.textAngle()))
                             .integer(static_cast<std::int32_t>(spec.verticalJustification()))
                             .integer(static_cast<std::int32_t>(spec.horizontalJustification()))
                             .boolean((spec.textWrap() & 0xFF) != 0)
                             .boolean(selectFrame)
                             .text(frameRole(spec));
    return request;
}

std::string LayoutConnection::frameRole(const textBlockSpec& spec)
{
    if (dynamic_cast<const textBlockSpec_Byline*>(&spec))
        return "byline";
    if (dynamic_cast<const textBlockSpec_Caption*>(&spec))
        return "caption";
    return "";
}

LayoutCallResult LayoutConnection::pagePictures(std::int32_t page)
{
    return call("pagepictures", arguments().integer(page));
}

LayoutCallResult LayoutConnection::makePageFrames(const std::vector<PageFrame>& frames)
{
    auto request = arguments();
    nlohmann::json list = nlohmann::json::array();
    for (const auto& frame : frames)
        list.push_back(frame.toJson());
    return call("makepageframes", request.value(std::move(list)));
}

} // namespace qm
