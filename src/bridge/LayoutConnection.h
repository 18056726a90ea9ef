#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "bridge/LayoutArguments.h"
#include "bridge/LayoutCallResult.h"
#include "bridge/LayoutScriptClient.h"
#include "bridge/PagePictures.h"
#include "foundation/Bundle.h"
#include "foundation/Error.h"
#include "metadata/cIPTCCode.h"
#include "metadata/cIPTCRecord.h"
#include "platform/ProcessList.h"

namespace qm {

class textBlockSpec;

// The program's only way to the layout application (Scribus): it finds the layout script
// resource, decides which installed application it addresses (the instance, named by its
// program file's name), tells whether that instance runs, and calls the layout script's handlers
// in it. Absent style, object style and swatch names are sent as empty texts. Used on the main
// thread; every call waits for its answer at most the call timeout.
class LayoutConnection {
public:
    // How far the last attempt reached the addressed application.
    enum class Reach {
        Answering,           // its layout script answered
        NotRunning,          // no process runs the instance's program file
        WithoutLayoutScript, // it runs, but no layout script listens for it
        Busy,                // its layout script answered that a dialog is open
        NotAnswering,        // it is stopped, or its layout script did not answer in time
    };

    // The state check's answer.
    struct State {
        bool isRunning = false;
        bool openDocumentExists = false;
        std::optional<std::string> frontDocumentName;
        bool selectedImageExists = false; // something usable is selected
        std::optional<std::string> imagePath;
        bool paragraphStyleExists = false;
        bool objectStyleExists = false;
        bool colorSwatchExists = false;
        std::vector<cIPTCCode> missingMetadata;
        Reach reach = Reach::NotRunning;
    };

    // The program files that are layout applications: "scribus" and its versioned names ("scribus-ng").
    static bool isLayoutApplicationName(const std::string& fileName);
    // The extension of Scribus documents, whose default application may be the instance.
    static constexpr const char* DocumentExtension = "sla";
    // Code of selectedImagePath's error when the script answered a path that is empty.
    static constexpr std::int32_t EmptyImagePathErrorCode = -15;
    // The layout script's event line after a drop whose paragraph style the document lacks.
    static constexpr const char* DropMissedParagraphStyleEvent = "dropMissedParagraphStyle";

    // The connection's coded errors: the bundle identifier as domain, the code, no texts.
    static std::string errorDomainName();
    static Error errorForErrorCode(std::int32_t code);

    // Loads the layout script resource of the bundle.
    explicit LayoutConnection(const Bundle& bundle = Bundle::main());

    // Finds the script resource (the folder layout/scribus); on failure presents error -8.
    void loadScriptResource();
    const std::optional<std::filesystem::path>& script() const { return mScript; }

    std::optional<std::string> preferredAppPath() const;
    void setPreferredAppPath(std::optional<std::string> path);

    void setCallTimeout(std::chrono::milliseconds timeout);
    // A selection change as the layout script announces it. When the announcement carries the
    // selected picture's image path (nothing inside: no picture frame with an image is selected),
    // there is nothing left to ask.
    struct SelectionChange {
        bool carriesImagePath = false;
        std::optional<std::string> imagePath;
    };
    // Told on the main thread whenever the addressed application's selection changes.
    void setSelectionChangedHandler(std::function<void(const SelectionChange&)> handler);
    // Told on the main thread when text dropped on the application's page could not take the
    // paragraph style its drag asked for (the application has no such style).
    void setDropMissedParagraphStyleHandler(std::function<void()> handler);

    std::optional<std::string> instanceName() const;
    std::optional<std::string> firstRunningInstanceName() const;
    // Argument 1 of every layout script call: the instance name as a text (empty when there is
    // none, which can happen only with QUILLMARK_LAYOUT_SOCKET).
    nlohmann::json AETargetDescriptor() const;

    // A process running the instance's program file answers on its socket (with
    // QUILLMARK_LAYOUT_SOCKET: that socket answers).
    bool isRunning();
    // How far the last call or isRunning() reached the application.
    Reach reach() const { return mReach; }
    // Connects to the addressed application unless connected; true when a new connection was made
    // (the layout application was found). An application that does not answer is tried again only
    // after a pause.
    bool connectIfFound();
    // Ends a call in progress on another thread at once (the program is quitting).
    void interrupt();
    // The state check of the text frame commands.
    State isRunning(const textBlockSpec& spec, const IPTCRecordArray& records);
    // The state check for a text block's paragraph style, object style and colour swatch names,
    // without the missing fields (which the caller finds where the text block may be read).
    State stateForStyles(const std::string& paragraphStyle, const std::string& objectStyle, const std::string& colorSwatch);

    void activate();
    bool paragraphStyleExistsInFrontDocument(const std::string& name);
    bool objectStyleExistsInFrontDocument(const std::string& name);
    bool colorSwatchExistsInFrontDocument(const std::string& name);
    // Presents the script's error when it fails.
    void setParagraphStyleOfSelectedTextFrame(const std::string& styleName);
    // The selected picture frame's image path; `error`, when given, is written only on failure.
    std::optional<std::string> selectedImagePath(Error* error);
    bool optionKeyIsDown() const;
    // "frontdocumentpath": answers the front document's full path, "" for a document never saved,
    // or the error NoDocumentErrorNumber when no document is open; reach() tells why nothing answered.
    LayoutCallResult frontDocumentPath();
    // The layout script's error number for "no document is open".
    static constexpr std::int32_t NoDocumentErrorNumber = -20;

    // The text for the frame: the dummy text (no image, or the Option key held, when the settings
    // say so) or the text block's.
    std::optional<std::string> frameText(const std::optional<std::string>& imagePath, const IPTCRecordArray& records,
                                         textBlockSpec& spec) const;
    // Chooses the text for the frame (the dummy text or the text block's) and makes the frame.
    void createText(const std::optional<std::string>& imagePath, const IPTCRecordArray& records, textBlockSpec& spec,
                    bool isPartOfMultipleFrames);
    // Sends "maketextbox" with the text and the text block's layout settings; answers the call's result.
    LayoutCallResult createTextFrame(const std::string& text, const textBlockSpec& spec, bool isPartOfMultipleFrames);
    // The "maketextbox" call for that text, made where the text block may be read (the main thread),
    // to be sent with sendTextFrame on the worker.
    LayoutArguments textFrameArguments(const std::string& text, const textBlockSpec& spec, bool isPartOfMultipleFrames) const;
    LayoutCallResult sendTextFrame(const LayoutArguments& request);
    // "byline" or "caption" for a text block of those kinds, else empty: the mark the layout script
    // gives the frame, by which a page run knows the picture has it.
    static std::string frameRole(const textBlockSpec& spec);

    // The picture frames with an image on a page of the front document (1 up; 0: the current page).
    LayoutCallResult pagePictures(std::int32_t page);
    // Makes the frames in one request; a frame whose picture has that role made already is left out.
    LayoutCallResult makePageFrames(const std::vector<PageFrame>& frames);

private:
    LayoutScriptClient* addressedClient();
    LayoutScriptClient* answeringClient(const std::filesystem::path& socketPath);
    LayoutScriptClient* clientOfProcess(int pid);
    void noteCallOutcome(const LayoutCallResult& result);
    void removeSocketsOfEndedProcesses(const std::vector<RunningApplication>& processes);
    std::unique_ptr<LayoutScriptClient> makeClient(const std::filesystem::path& socketPath) const;
    void reportWrongProtocolOnce(const LayoutCallResult& result, const std::filesystem::path& socketPath);
    LayoutArguments arguments() const;
    LayoutCallResult call(const char* handler, const LayoutArguments& arguments);
    bool existenceCheck(const char* handler, const std::string& name);
    State stateFromResult(const nlohmann::json& result) const;
    std::optional<std::string> imagePathFromResult(const LayoutCallResult& result, Error* error) const;

    Bundle mBundle;
    std::optional<std::filesystem::path> mScript;
    mutable std::mutex mPreferredMutex; // guards mPreferredAppPath
    std::optional<std::string> mPreferredAppPath;
    Reach mReach = Reach::NotRunning;
    std::map<std::filesystem::path, std::chrono::steady_clock::time_point> mSilentUntil;
    std::atomic<std::chrono::milliseconds> mCallTimeout{LayoutScriptClient::DefaultTimeout};
    std::shared_ptr<std::function<void(const SelectionChange&)>> mSelectionChanged;
    std::shared_ptr<std::function<void()>> mDropMissedParagraphStyle;
    std::mutex mClientMutex; // guards replacing mClient (on the worker) against interrupt() (elsewhere)
    std::unique_ptr<LayoutScriptClient> mClient;
    std::set<std::filesystem::path> mWrongProtocolReported;
};

} // namespace qm
