#pragma once

#include "ui/PreferencePane.h"

class QGroupBox;

namespace qm {

class UserDefaults;

// The "Text encodings" pane: how dataset text is decoded (default encoding, UTF-8 marker,
// alternate encodings, repair of doubly encoded UTF-8) and which encodings the panel offers.
class PreferencePane_TextDecoding : public PreferencePane {
public:
    static constexpr int HeightWithSettingsFile = 504;
    static constexpr int Height = 437;

    explicit PreferencePane_TextDecoding(std::filesystem::path bundlePath);

protected:
    std::unique_ptr<QWidget> makeView() override;
    // Taller while the settings come from a publication settings file, to tell so.
    void viewRequested(QWidget& view) override;

private:
    static QGroupBox* makeDecodingBox(UserDefaults& defaults);
    static QGroupBox* makeAlternateSpecsBox(UserDefaults& defaults);
    static QGroupBox* makeRepairBox(UserDefaults& defaults);
    static QGroupBox* makePanelEncodingsBox(UserDefaults& defaults);
};

} // namespace qm
