#include "textgen/textBlockSpec_Byline.h"

#include "textgen/TextBlockNaming.h"
#include "textgen/quillmarkPublication.h"

namespace qm {

textBlockSpec_Byline::Pointer textBlockSpec_Byline::initWithPublication(const quillmarkPublication& publication)
{
    auto byline = create();
    byline->setName(TextBlockNaming::unusedName("New byline", publication.bylines()));
    return byline;
}

textBlockSpec_Byline::Pointer textBlockSpec_Byline::initWithCoder(ArchiveReader& coder)
{
    auto byline = std::make_shared<textBlockSpec_Byline>(Passkey{});
    readArchive(byline, coder);
    return byline;
}

} // namespace qm
