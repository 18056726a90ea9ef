#pragma once

#include "platform/Pasteboard.h"

namespace qm {

// The desktop's clipboard, through Qt. Main thread only.
class QtPasteboard : public Pasteboard {
public:
    void setString(const std::string& text) override;
    std::optional<std::string> string() override;
};

} // namespace qm
