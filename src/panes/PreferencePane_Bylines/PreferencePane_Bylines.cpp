#include "PreferencePane_Bylines.h"

#include "BylinesView.h"
#include "app/Quillmark.h"
#include "foundation/UserDefaults.h"

namespace qm {

PreferencePane_Bylines::PreferencePane_Bylines(std::filesystem::path bundlePath)
    : PreferencePane(std::move(bundlePath), "PreferencePane_Bylines", "Text extraction",
                     "Settings for publications, bylines and captions.")
{
}

std::unique_ptr<QWidget> PreferencePane_Bylines::makeView()
{
    Quillmark* controller = Quillmark::sharedInstance();
    if (!controller)
        return nullptr;
    return std::make_unique<BylinesView>(*controller);
}

void PreferencePane_Bylines::viewRequested(QWidget& view)
{
    const bool fromFile = Quillmark::sharedInstance()->defaults().boolForKey("usePublicationSettingsInFile");
    static_cast<BylinesView&>(view).showSettingsFileNote(fromFile);
    view.setFixedHeight(fromFile ? HeightWithSettingsFile : Height);
}

} // namespace qm

QUILLMARK_PRINCIPAL_CLASS(PreferencePane_Bylines)
