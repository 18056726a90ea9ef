#include "XvfbSession.h"

#include <array>
#include <cstdio>
#include <cstdlib>

#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace qm::test {

namespace {

// Whether a window manager announces itself (openbox sets _NET_SUPPORTING_WM_CHECK when ready).
bool windowManagerIsReady(const std::string& display)
{
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    bool ready = false;
    if (!xcb_connection_has_error(connection)) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const char name[] = "_NET_SUPPORTING_WM_CHECK";
        auto* atom = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
        auto* property = atom ? xcb_get_property_reply(
                                    connection, xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr)
                              : nullptr;
        ready = property && xcb_get_property_value_length(property) == 4;
        std::free(property);
        std::free(atom);
    }
    xcb_disconnect(connection);
    return ready;
}

} // namespace

XvfbSession::XvfbSession()
{
    if (!isInstalled("Xvfb") || !isInstalled("openbox")) {
        mProblem = "Xvfb and openbox are needed (Debian packages xvfb and openbox; scripts/bootstrap installs them)";
        return;
    }
    if (startServer() && startWindowManager())
        return;
    mWindowManager.reset();
    mServer.reset();
}

XvfbSession::~XvfbSession()
{
    mWindowManager.reset();
    mServer.reset();
}

// Xvfb chooses a free display number and writes it to the descriptor once it accepts clients.
// It must not reset when its last client leaves: a client connecting meanwhile would be dropped.
bool XvfbSession::startServer()
{
    int readyPipe[2];
    if (::pipe(readyPipe) != 0) {
        mProblem = "no pipe for Xvfb";
        return false;
    }
    mServer = std::make_unique<ChildProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(readyPipe[1]), "-nolisten", "tcp", "-noreset", "-screen", "0",
                                 "1024x768x24"},
        ChildProcess::Options{});
    ::close(readyPipe[1]);
    std::string number;
    char c = 0;
    while (::read(readyPipe[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(readyPipe[0]);
    if (number.empty()) {
        mProblem = "Xvfb did not start";
        return false;
    }
    mDisplay = ":" + number;
    return true;
}

bool XvfbSession::startWindowManager()
{
    mWindowManager = std::make_unique<ChildProcess>(std::vector<std::string>{"openbox", "--sm-disable"},
                                                    ChildProcess::Options{{"DISPLAY=" + mDisplay}});
    if (!waitUntil([this] { return windowManagerIsReady(mDisplay); }, std::chrono::seconds(30))) {
        mProblem = "openbox did not start on " + mDisplay;
        return false;
    }
    return true;
}

int XvfbSession::run(const std::string& commandLine) const
{
    const int status = std::system(("DISPLAY=" + mDisplay + " " + commandLine + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string XvfbSession::output(const std::string& commandLine) const
{
    std::string text;
    if (FILE* pipe = ::popen(("DISPLAY=" + mDisplay + " " + commandLine + " 2>/dev/null").c_str(), "r")) {
        std::array<char, 256> buffer;
        while (std::size_t count = std::fread(buffer.data(), 1, buffer.size(), pipe))
            text.append(buffer.data(), count);
        ::pclose(pipe);
    }
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

} // namespace qm::test
