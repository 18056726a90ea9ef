#pragma once

#include <filesystem>
#include <memory>

#include "ui/PreferencePane.h"

namespace qm {

// The "Text extraction" pane: publications, their bylines and captions, and every field of a
// byline or caption. It is taller while the publications come from a publication settings file,
// to say so.
class PreferencePane_Bylines : public PreferencePane {
public:
    static constexpr int Height = 748;
    static constexpr int HeightWithSettingsFile = 805;

    explicit PreferencePane_Bylines(std::filesystem::path bundlePath);

protected:
    std::unique_ptr<QWidget> makeView() override;
    void viewRequested(QWidget& view) override;
};

} // namespace qm
