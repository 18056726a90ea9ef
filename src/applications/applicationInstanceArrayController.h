#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "applications/applicationInstancePath.h"
#include "foundation/KeyValueObservable.h"

namespace qm {

// The installed applications that open files with an extension, sorted by description, for a
// list or menu to show. Observers hear "arrangedObjects" when the list is loaded and
// "didFindApps" when the extension changes.
class applicationInstanceArrayController : public KeyValueObservable {
public:
    static constexpr std::uint32_t EditorRole = 4;
    // Answers whether the controller keeps an application; none set keeps every one.
    using Delegate = std::function<bool(const applicationInstanceArrayController& controller, const std::string& path)>;

    static std::vector<applicationInstancePath::Pointer> applicationsThatCanHandleFileOfType(const std::string& suffix,
                                                                                              std::uint32_t role);

    const std::optional<std::string>& filetypeSuffix() const { return mFiletypeSuffix; }
    // Reloads unless the suffix is the one held.
    void setFiletypeSuffix(std::optional<std::string> suffix);
    std::uint32_t appRole() const { return mAppRole; }
    // Stores the role and reloads.
    void setAppRole(std::uint32_t role);
    void setDelegate(Delegate delegate) { mDelegate = std::move(delegate); }

    void loadApplications();
    bool shouldAddApplicationPath(const std::string& path) const;
    bool didFindApps() const { return mDidFindApps; }
    const std::vector<applicationInstancePath::Pointer>& arrangedObjects() const { return mArrangedObjects; }

private:
    void setArrangedObjects(std::vector<applicationInstancePath::Pointer> applications);

    std::optional<std::string> mFiletypeSuffix;
    std::uint32_t mAppRole = EditorRole;
    Delegate mDelegate;
    bool mDidFindApps = false;
    std::vector<applicationInstancePath::Pointer> mArrangedObjects;
};

} // namespace qm
