// Writing a parser's file back with its current metadata.
#include "parsers/QMMetadataParser.h"

#include "foundation/Log.h"

namespace qm {

bool QMMetadataParser::updateFileToURL(const std::filesystem::path& target, bool useCoreGraphics, double imageQuality,
                                       Error* error)
{
    if (!useCoreGraphics && writesBypassingCoreGraphics())
        return updateFileToURLBypassingCoreGraphics(target, error);
    return updateFileToURLUsingCoreGraphics(target, imageQuality, error);
}

// The image library writes the copy and reports whether it could.
bool QMMetadataParser::updateFileToURLUsingCoreGraphics(const std::filesystem::path& target, double imageQuality,
                                                        Error* error)
{
    const PlistDictionary iptc =
        cIPTCRecord::IPTCRecordArrayToCoreGraphicsIPTCDictionary(IPTCRecords().value_or(IPTCRecordArray{}));
    return ImageLibrary::current()->writeCopyWithIPTC(path(), target, iptc, imageQuality, error);
}

bool QMMetadataParser::updateFileToURLBypassingCoreGraphics(const std::filesystem::path&, Error*)
{
    return false;
}

} // namespace qm
