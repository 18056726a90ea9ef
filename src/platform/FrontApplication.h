#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qm {

// A running application as the desktop knows it: its process and executable.
struct RunningApplication {
    int pid = 0;
    std::string executablePath;
    // The executable's file name ("scribus").
    std::string name() const;
    bool operator==(const RunningApplication&) const = default;
};

// Which application is in front, and bringing one there.
class FrontApplication {
public:
    using SwitchHandler = std::function<void(const RunningApplication& front)>;

    virtual ~FrontApplication() = default;
    // None when it cannot be told (no display, a window without a process).
    virtual std::optional<RunningApplication> frontApplication() = 0;
    // Told on the main thread each time another application comes to the front.
    virtual void setSwitchHandler(SwitchHandler handler) = 0;
    virtual void activate(int pid) = 0;
    // Gives that window of this program the keyboard, also while another application is in front.
    virtual void activateWindow(std::uint64_t /*window*/) {}

    // The installed one (one that knows no front application, until a program installs its own).
    static std::shared_ptr<FrontApplication> current();
    static void install(std::shared_ptr<FrontApplication> frontApplication);
};

} // namespace qm
