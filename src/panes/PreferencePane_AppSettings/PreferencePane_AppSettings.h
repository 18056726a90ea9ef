#pragma once

#include <array>
#include <memory>

#include "applications/applicationInstanceArrayController.h"
#include "hotkeys/hotKey.h"
#include "ui/PreferencePane.h"

class QComboBox;
class QFileDialog;
class QGroupBox;
class QString;

namespace qm {

class UserDefaults;

// The "General" pane: the layout application the program drives, start-up, the five global hot
// keys (the controller's own objects) and the publication settings file.
class PreferencePane_AppSettings : public PreferencePane {
public:
    explicit PreferencePane_AppSettings(std::filesystem::path bundlePath);

    // Shares the controller's fixed hot keys, so edits here change them directly.
    void readHotKeysFromQuillmark();
    // Tags 0 to 4: make byline, make caption, make byline and caption, toggle panel, make the page's.
    void editHotKeyByTag(int tag);
    void selectPublicationSettingsFile();
    void exportPublicationSettings();

    const std::shared_ptr<hotKey>& makeBylineHotkey() const { return mHotKeys[0]; }
    const std::shared_ptr<hotKey>& makeCaptionHotkey() const { return mHotKeys[1]; }
    const std::shared_ptr<hotKey>& makeBylineAndCaptionHotkey() const { return mHotKeys[2]; }
    const std::shared_ptr<hotKey>& togglePanelHotkey() const { return mHotKeys[3]; }
    const std::shared_ptr<hotKey>& makePageHotkey() const { return mHotKeys[4]; }

protected:
    std::unique_ptr<QWidget> makeView() override;

private:
    QGroupBox* makeLayoutApplicationBox(UserDefaults& defaults);
    QGroupBox* makeStartupBox(UserDefaults& defaults);
    QGroupBox* makeHotKeysBox();
    QGroupBox* makeSettingsFileBox(UserDefaults& defaults);
    void showLayoutApplications(QComboBox& popUp, const UserDefaults& defaults);
    QFileDialog* makeFileDialog(const QString& title, const QString& acceptLabel);

    applicationInstanceArrayController mLayoutApplicationArrayController;
    std::array<std::shared_ptr<hotKey>, 5> mHotKeys;
    QWidget* mView = nullptr;
};

} // namespace qm
