#include "ui/PreferencePane.h"

#include <QWidget>

#include "foundation/Bundle.h"

namespace qm {

PreferencePane::PreferencePane(std::filesystem::path bundlePath, std::string className, std::string name,
                               std::string toolTipKey)
    : mBundlePath(std::move(bundlePath)), mClassName(std::move(className)), mName(std::move(name)),
      mToolTipKey(std::move(toolTipKey))
{
}

PreferencePane::~PreferencePane() = default;

QWidget* PreferencePane::paneView()
{
    if (!mPrefsView)
        mPrefsView = makeView();
    if (mPrefsView)
        viewRequested(*mPrefsView);
    return mPrefsView.get();
}

QIcon PreferencePane::paneIcon() const
{
    const auto icon = mBundlePath / "Resources" / (mClassName + ".png");
    return QIcon(QString::fromStdString(icon.string()));
}

std::optional<std::string> PreferencePane::paneToolTip() const
{
    return Bundle::main().localizedString(mToolTipKey);
}

} // namespace qm
