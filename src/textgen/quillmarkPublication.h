#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/ArchiveReader.h"
#include "foundation/ArchiveWriter.h"
#include "textgen/textBlockSpec_Byline.h"
#include "textgen/textBlockSpec_Caption.h"

namespace qm {

// The bylines and captions of one newspaper or magazine, with its default byline and caption.
class quillmarkPublication {
public:
    using Pointer = std::shared_ptr<quillmarkPublication>;
    using Bylines = std::vector<textBlockSpec_Byline::Pointer>;
    using Captions = std::vector<textBlockSpec_Caption::Pointer>;

    static std::string newPublicationName();
    // A publication named "New publication" with one byline and one caption.
    static Pointer create();
    // A publication with no text blocks, for readers of stored publications.
    static Pointer createEmpty() { return std::make_shared<quillmarkPublication>(); }

    // The registered text block named by defaultBylineID, else the first byline, else none.
    textBlockSpec::Pointer defaultBylineSpec() const;
    textBlockSpec::Pointer defaultCaptionSpec() const;

    // A new byline (caption) inserted after the given index, or at the end without one.
    textBlockSpec_Byline::Pointer newByline(std::optional<std::size_t> afterIndex);
    textBlockSpec_Caption::Pointer newCaption(std::optional<std::size_t> afterIndex);

    // A copy through the archive: its text blocks get fresh identifiers while the originals live.
    Pointer copy() const;

    const std::string& name() const { return mName; }
    void setName(std::string name) { mName = std::move(name); }
    const Bylines& bylines() const { return mBylines; }
    void setBylines(Bylines bylines) { mBylines = std::move(bylines); }
    const Captions& captions() const { return mCaptions; }
    void setCaptions(Captions captions) { mCaptions = std::move(captions); }
    const std::optional<std::string>& defaultBylineID() const { return mDefaultBylineID; }
    void setDefaultBylineID(std::optional<std::string> id) { mDefaultBylineID = std::move(id); }
    const std::optional<std::string>& defaultCaptionID() const { return mDefaultCaptionID; }
    void setDefaultCaptionID(std::optional<std::string> id) { mDefaultCaptionID = std::move(id); }
    const std::optional<std::string>& dragAndDropParagraphStyle() const { return mDragAndDropParagraphStyle; }
    void setDragAndDropParagraphStyle(std::optional<std::string> style) { mDragAndDropParagraphStyle = std::move(style); }
    bool useDragAndDropParagraphStyle() const { return mUseDragAndDropParagraphStyle; }
    void setUseDragAndDropParagraphStyle(bool use) { mUseDragAndDropParagraphStyle = use; }

    // Archived as seven values in order: name, bylines, captions, defaultBylineID, defaultCaptionID,
    // useDragAndDropParagraphStyle, dragAndDropParagraphStyle.
    static constexpr const char* ArchiveClassName = "quillmarkPublication";
    std::string archiveClassName() const { return ArchiveClassName; }
    std::int64_t archiveVersion() const { return 1; }
    void encodeWithCoder(ArchiveWriter& coder) const;
    static Pointer initWithCoder(ArchiveReader& coder);

private:
    std::string mName = newPublicationName();
    Bylines mBylines;
    Captions mCaptions;
    std::optional<std::string> mDefaultBylineID;
    std::optional<std::string> mDefaultCaptionID;
    std::optional<std::string> mDragAndDropParagraphStyle;
    bool mUseDragAndDropParagraphStyle = false;
};

} // namespace qm
