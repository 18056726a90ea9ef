#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "foundation/ArchiveReader.h"
#include "foundation/ArchiveWriter.h"

namespace qm {

// One installed application, named by its program file, as lists of applications show it.
class applicationInstancePath {
public:
    using Pointer = std::shared_ptr<applicationInstancePath>;

    applicationInstancePath() = default;
    explicit applicationInstancePath(std::optional<std::string> path) : mPath(std::move(path)) {}

    const std::optional<std::string>& path() const { return mPath; }
    void setPath(std::optional<std::string> path) { mPath = std::move(path); }

    // The name the desktop shows for the application, else the program file's name when it
    // exists; "[Application not found]" otherwise.
    std::string description() const;

    // Archived sequentially as exactly one value: the path.
    static constexpr const char* ArchiveClassName = "applicationInstancePath";
    std::string archiveClassName() const { return ArchiveClassName; }
    std::int64_t archiveVersion() const { return 1; }
    void encodeWithCoder(ArchiveWriter& coder) const;
    static Pointer initWithCoder(ArchiveReader& coder);

private:
    std::optional<std::string> mPath;
};

} // namespace qm
