#pragma once

#include <string>

#include "ui/PreferencePane.h"
#include "ui/StoredListEditor.h"

class QGroupBox;

namespace qm {

class UserDefaults;

// The "Panel UI" pane: how the metadata panel behaves, which datasets it shows under which
// labels, and the applications of its "open with" menu.
class PreferencePane_PanelUI : public PreferencePane {
public:
    explicit PreferencePane_PanelUI(std::filesystem::path bundlePath);

    // Asks for an application and appends its program to the "open with" list.
    void addOpenWithApp();

protected:
    std::unique_ptr<QWidget> makeView() override;

private:
    static QGroupBox* makePanelBox(UserDefaults& defaults, const std::string& layoutApplicationName);
    static QGroupBox* makeDatasetsBox(UserDefaults& defaults);
    QGroupBox* makeOpenWithBox(UserDefaults& defaults);

    StoredListEditor<std::string>* mOpenWithURLsArrayController = nullptr;
};

} // namespace qm
