#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "ui/SS_PreferencePaneProtocol.h"

namespace qm {

// What the program's own panes share: a fixed size, a name, a tool tip localized through the
// program's bundle, and the icon Resources/<class>.png of the pane's own bundle.
class PreferencePane : public SS_PreferencePaneProtocol {
public:
    PreferencePane(std::filesystem::path bundlePath, std::string className, std::string name, std::string toolTipKey);
    ~PreferencePane() override;

    QWidget* paneView() override;
    std::string paneName() const override { return mName; }
    QIcon paneIcon() const override;
    std::optional<std::string> paneToolTip() const override;
    bool allowsHorizontalResizing() const override { return false; }
    bool allowsVerticalResizing() const override { return false; }

protected:
    // The pane's content, made once.
    virtual std::unique_ptr<QWidget> makeView() = 0;
    // Runs on every request of the view, after it is made.
    virtual void viewRequested(QWidget&) {}

private:
    std::filesystem::path mBundlePath;
    std::string mClassName;
    std::string mName;
    std::string mToolTipKey;
    std::unique_ptr<QWidget> mPrefsView;
};

} // namespace qm
