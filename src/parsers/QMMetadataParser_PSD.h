#pragma once

#include "parsers/QMMetadataParser.h"
#include "parsers/cPhotoshopImageResource.h"

namespace qm {

class cPhotoshopIPTCImageResource;

// The parser of Photoshop documents: the IPTC records come from image resource 1028, the XMP
// packet from resource 1060 (else 1002), the thumbnail from the JPEG of resource 1036.
class QMMetadataParser_PSD : public QMMetadataParser {
public:
    using ResourceArray = cPhotoshopImageResource::ResourceArray;

    explicit QMMetadataParser_PSD(std::filesystem::path path);

    // The document's image resources; absent when the stream is too short for a header.
    static std::optional<ResourceArray> readImageResourcesFromPhotoshopFile(simpleStream& stream);

    const char* className() const override { return "QMMetadataParser_PSD"; }
    // One dictionary a resource, in file order: "id", "size" and "name" (when it has one).
    PlistValue structureSummary() const override;
    bool parseImageStream(simpleStream& stream, Error* error) override;
    const ResourceArray& imageResources() const { return mImageResources; }

    std::optional<IPTCRecordArray> IPTCRecords() const override;
    void setIPTCRecords(std::optional<IPTCRecordArray> records) override;
    std::optional<std::string> XMP() const override;
    void setXMP(std::optional<std::string> packet) override;
    std::shared_ptr<cPhotoshopImageResource> photoshopImageResourceByID(std::uint16_t identifier) const override;

    // The document's own thumbnail when it has one, else one made from the file.
    std::optional<Bitmap> thumbnail() override;

    // Photoshop documents are not written.
    bool writesBypassingCoreGraphics() const override { return true; }
    bool updateFileToURLBypassingCoreGraphics(const std::filesystem::path& target, Error* error) override;

private:
    std::shared_ptr<cPhotoshopIPTCImageResource> IPTCResource() const;
    std::shared_ptr<cPhotoshopImageResource> XMPResource() const;
    std::optional<Bitmap> thumbnailFromResource() const;

    ResourceArray mImageResources;
};

} // namespace qm
