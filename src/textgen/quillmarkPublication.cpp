#include "textgen/quillmarkPublication.h"

#include "foundation/Bundle.h"
#include "foundation/Log.h"

namespace qm {

namespace {

template <typename Spec>
textBlockSpec::Pointer defaultSpec(const std::optional<std::string>& id, const std::vector<std::shared_ptr<Spec>>& specs)
{
    if (auto registered = textBlockSpec::findRegisteredSpecWithUniqueID(id))
        return registered;
    return specs.empty() ? nullptr : specs.front();
}

// A new list: the text blocks with `spec` after the one at `index`, or at the end without one.
template <typename Spec>
std::vector<std::shared_ptr<Spec>> withInserted(std::vector<std::shared_ptr<Spec>> specs, std::shared_ptr<Spec> spec,
                                                std::optional<std::size_t> index)
{
    const std::size_t position = index && *index < specs.size() ? *index + 1 : specs.size();
    specs.insert(specs.begin() + static_cast<std::ptrdiff_t>(position), std::move(spec));
    return specs;
}

} // namespace

std::string quillmarkPublication::newPublicationName()
{
    return Bundle::main().localizedString("New publication");
}

quillmarkPublication::Pointer quillmarkPublication::create()
{
    auto publication = createEmpty();
    auto byline = textBlockSpec_Byline::create();
    byline->setName(Bundle::main().localizedString("New byline"));
    auto caption = textBlockSpec_Caption::create();
    caption->setName(Bundle::main().localizedString("New caption"));
    publication->mBylines = {byline};
    publication->mCaptions = {caption};
    return publication;
}

textBlockSpec::Pointer quillmarkPublication::defaultBylineSpec() const
{
    return defaultSpec(mDefaultBylineID, mBylines);
}

textBlockSpec::Pointer quillmarkPublication::defaultCaptionSpec() const
{
    return defaultSpec(mDefaultCaptionID, mCaptions);
}

textBlockSpec_Byline::Pointer quillmarkPublication::newByline(std::optional<std::size_t> afterIndex)
{
    auto byline = textBlockSpec_Byline::initWithPublication(*this);
    setBylines(withInserted(mBylines, byline, afterIndex));
    return byline;
}

textBlockSpec_Caption::Pointer quillmarkPublication::newCaption(std::optional<std::size_t> afterIndex)
{
    auto caption = textBlockSpec_Caption::initWithPublication(*this);
    setCaptions(withInserted(mCaptions, caption, afterIndex));
    return caption;
}

quillmarkPublication::Pointer quillmarkPublication::copy() const
{
    auto copied = copyThroughArchive(*this);
    if (!copied)
        Log::format("quillmarkPublication: the publication \"%s\" could not be copied", mName.c_str());
    return copied;
}

void quillmarkPublication::encodeWithCoder(ArchiveWriter& coder) const
{
    coder.encode(PlistValue(mName));
    coder.encode(ArchiveWriter::items(mBylines));
    coder.encode(ArchiveWriter::items(mCaptions));
    coder.encode(ArchiveWriter::optionalItem(mDefaultBylineID));
    coder.encode(ArchiveWriter::optionalItem(mDefaultCaptionID));
    coder.encode(PlistValue(mUseDragAndDropParagraphStyle));
    coder.encode(ArchiveWriter::optionalItem(mDragAndDropParagraphStyle));
}

quillmarkPublication::Pointer quillmarkPublication::initWithCoder(ArchiveReader& coder)
{
    auto publication = createEmpty();
    publication->mName = coder.decodeString().value_or("");
    publication->mBylines = ArchiveReader::objectsOf<textBlockSpec_Byline>(coder.decode());
    publication->mCaptions = ArchiveReader::objectsOf<textBlockSpec_Caption>(coder.decode());
    publication->mDefaultBylineID = coder.decodeString();
    publication->mDefaultCaptionID = coder.decodeString();
    publication->mUseDragAndDropParagraphStyle = coder.decodeBool().value_or(false);
    publication->mDragAndDropParagraphStyle = coder.decodeString();
    return publication;
}

} // namespace qm
