#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <QIcon>

class QWidget;

namespace qm {

// What every preference pane offers the preference window.
class SS_PreferencePaneProtocol {
public:
    virtual ~SS_PreferencePaneProtocol() = default;

    // The pane's content, made on first request and owned by the pane; null when it cannot be made.
    virtual QWidget* paneView() = 0;
    // Unique among the panes: the toolbar item's identifier and label.
    virtual std::string paneName() const = 0;
    virtual QIcon paneIcon() const = 0;
    // None or empty: no tool tip.
    virtual std::optional<std::string> paneToolTip() const = 0;
    virtual bool allowsHorizontalResizing() const = 0;
    virtual bool allowsVerticalResizing() const = 0;
};

// A plug-in's principal class, as its library exports it: a C function named like the class (the
// bundle's "NSPrincipalClass") answers this record. Panes are made and freed by the plug-in's own
// code, so no object is freed across the boundary.
struct SS_PreferencePaneClass {
    static constexpr const char* ProtocolName = "SS_PreferencePaneProtocol";
    static constexpr unsigned ProtocolVersion = 1;

    const char* protocolName;
    unsigned protocolVersion;
    // The panes of the bundle at the path.
    std::vector<SS_PreferencePaneProtocol*> (*preferencePanes)(const std::filesystem::path& bundlePath);
    void (*releasePane)(SS_PreferencePaneProtocol* pane);
};

// The exported factory's type.
using SS_PreferencePanePrincipalClass = const SS_PreferencePaneClass* (*)();

} // namespace qm

// Exports PaneClass (a class of namespace qm, constructible from its bundle's path) as the
// principal class of its plug-in, under its own name.
#define QUILLMARK_PRINCIPAL_CLASS(PaneClass)                                                                  \
    extern "C" __attribute__((visibility("default"))) const qm::SS_PreferencePaneClass* PaneClass()          \
    {                                                                                                         \
        static const qm::SS_PreferencePaneClass principalClass{                                               \
            qm::SS_PreferencePaneClass::ProtocolName,                                                         \
            qm::SS_PreferencePaneClass::ProtocolVersion,                                                      \
            [](const std::filesystem::path& bundlePath) {                                                     \
                return std::vector<qm::SS_PreferencePaneProtocol*>{new qm::PaneClass(bundlePath)};            \
            },                                                                                                \
            [](qm::SS_PreferencePaneProtocol* pane) { delete pane; },                                         \
        };                                                                                                    \
        return &principalClass;                                                                               \
    }
