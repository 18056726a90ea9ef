#pragma once

#include <memory>
#include <optional>
#include <string>

namespace qm {

// Text for other programs to paste.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;
    virtual void setString(const std::string& text) = 0;
    virtual std::optional<std::string> string() = 0;

    // The installed one (one that keeps the text in this process, until a program installs its own).
    static std::shared_ptr<Pasteboard> current();
    static void install(std::shared_ptr<Pasteboard> pasteboard);
};

} // namespace qm
