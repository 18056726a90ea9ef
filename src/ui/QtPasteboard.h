#pragma once

#include "platform/Pasteboard.h"

namespace qm {

// The desktop's clipboard, through Qt; a data type is the clipboard's format name. Main thread only.
class QtPasteboard : public Pasteboard {
public:
    void setString(const std::string& text) override;
    std::optional<std::string> string() override;
    void setData(const std::string& type, const Data& data) override;
    std::optional<Data> dataForType(const std::string& type) override;
    bool hasType(const std::string& type) override;
};

} // namespace qm
