#pragma once

#include <functional>
#include <string>

namespace qm {

// The window that asks where to save a CSV file. It does not wait: `chosen` is called on the main
// thread when the user picks a file, never when the window is cancelled.
class SaveFileDialog {
public:
    static void ask(const std::string& suggestedPath, std::function<void(const std::string&)> chosen);
};

} // namespace qm
