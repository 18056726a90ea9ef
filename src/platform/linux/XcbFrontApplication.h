#pragma once

#include <memory>
#include <mutex>

#include "platform/FrontApplication.h"
#include "platform/ProcProcessList.h"
#include "platform/linux/XcbConnection.h"
#include "platform/linux/XcbEventReader.h"

namespace qm {

// The front application on X11: the process behind the window manager's active window
// (_NET_ACTIVE_WINDOW on the root window), followed as it changes.
class XcbFrontApplication : public FrontApplication {
public:
    // None when no display can be reached.
    static std::shared_ptr<XcbFrontApplication> create(const char* displayName = nullptr);
    explicit XcbFrontApplication(std::unique_ptr<XcbConnection> connection);
    ~XcbFrontApplication() override;

    std::optional<RunningApplication> frontApplication() override;
    void setSwitchHandler(SwitchHandler handler) override;
    // Asks the window manager to activate the topmost window of the process.
    void activate(int pid) override;
    void activateWindow(std::uint64_t window) override;

private:
    std::optional<xcb_window_t> activeWindow() const;
    std::optional<RunningApplication> applicationOfWindow(xcb_window_t window) const;
    std::optional<int> processOfWindow(xcb_window_t window) const;
    std::optional<int> processOfClient(xcb_window_t window) const;
    std::optional<xcb_window_t> topmostWindowOf(int pid) const;
    void handleEvent(const xcb_generic_event_t& event);

    std::unique_ptr<XcbConnection> mConnection;
    xcb_atom_t mActiveWindowAtom;
    xcb_atom_t mProcessAtom;
    xcb_atom_t mStackingAtom;
    ProcProcessList mProcesses;
    std::mutex mMutex;
    SwitchHandler mHandler;
    std::optional<int> mFrontProcess;
    std::unique_ptr<XcbEventReader> mReader; // last, so that it stops first
};

} // namespace qm
