#pragma once

#include <dlfcn.h>

#include <filesystem>
#include <memory>
#include <string>

#include "ui/SS_PreferencePaneProtocol.h"
#include "ui/WidgetFixture.h"

namespace qm::test {

// The built plug-in of a pane class, loaded as the preference window loads it.
inline std::filesystem::path paneBundle(const std::string& paneClass)
{
    return std::filesystem::path(QUILLMARK_PANES_DIR) / (paneClass + ".quillmarkPrefsPane");
}

using LoadedPane = std::unique_ptr<SS_PreferencePaneProtocol, void (*)(SS_PreferencePaneProtocol*)>;

// The first pane of the plug-in; null when it does not load (the reason is in the failure).
inline LoadedPane loadPane(const std::string& paneClass)
{
    const auto bundle = paneBundle(paneClass);
    void* library = dlopen((bundle / (paneClass + ".so")).c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(library, nullptr) << dlerror();
    const auto principalClass =
        library ? reinterpret_cast<SS_PreferencePanePrincipalClass>(dlsym(library, paneClass.c_str())) : nullptr;
    if (!principalClass)
        return {nullptr, [](SS_PreferencePaneProtocol*) {}};
    const SS_PreferencePaneClass* record = principalClass();
    auto panes = record->preferencePanes(bundle);
    EXPECT_EQ(panes.size(), 1U);
    return {panes.empty() ? nullptr : panes.front(), record->releasePane};
}

// A widget test of one pane: the plug-in loaded over the fixture's controller, its view made.
class PaneFixture : public WidgetFixture {
protected:
    void openPane(const std::string& paneClass)
    {
        mPane = loadPane(paneClass);
        ASSERT_NE(mPane, nullptr);
        mView = mPane->paneView();
        ASSERT_NE(mView, nullptr);
    }
    void TearDown() override
    {
        mPane.reset();
        WidgetFixture::TearDown();
    }

    LoadedPane mPane{nullptr, [](SS_PreferencePaneProtocol*) {}};
    QWidget* mView = nullptr;
};

} // namespace qm::test
