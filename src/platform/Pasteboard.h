#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qm {

// Text for other programs to paste, or data of a named type. Writing replaces what the pasteboard
// held: it then offers only what was written.
class Pasteboard {
public:
    using Data = std::vector<std::uint8_t>;

    virtual ~Pasteboard() = default;
    virtual void setString(const std::string& text) = 0;
    virtual std::optional<std::string> string() = 0;
    virtual void setData(const std::string& type, const Data& data) = 0;
    // Absent when the pasteboard holds no data of the type.
    virtual std::optional<Data> dataForType(const std::string& type) = 0;
    virtual bool hasType(const std::string& type) = 0;

    // The installed one (one that keeps the text in this process, until a program installs its own).
    static std::shared_ptr<Pasteboard> current();
    static void install(std::shared_ptr<Pasteboard> pasteboard);
};

} // namespace qm
