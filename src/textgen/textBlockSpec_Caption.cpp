#include "textgen/textBlockSpec_Caption.h"

#include "textgen/TextBlockNaming.h"
#include "textgen/quillmarkPublication.h"

namespace qm {

textBlockSpec_Caption::Pointer textBlockSpec_Caption::initWithPublication(const quillmarkPublication& publication)
{
    auto caption = create();
    caption->setName(TextBlockNaming::unusedName("New caption", publication.captions()));
    return caption;
}

textBlockSpec_Caption::Pointer textBlockSpec_Caption::initWithCoder(ArchiveReader& coder)
{
    auto caption = std::make_shared<textBlockSpec_Caption>(Passkey{});
    readArchive(caption, coder);
    return caption;
}

} // namespace qm
