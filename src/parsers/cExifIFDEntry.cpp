#include "parsers/cExifIFDEntry.h"

#include "foundation/Log.h"

namespace qm {

IFDEntryArray cExifIFDEntry::exifIFDEntries() const
{
    return mExifIFD ? mExifIFD->IFDentries() : IFDEntryArray{};
}

// An Exif IFD that holds an Exif entry of its own is read only a few levels deep.
void cExifIFDEntry::readReferencedData(simpleStream& stream, IFDWalk& walk)
{
    if (offset() == 0)
        return;
    if (walk.nesting >= IFDWalk::MaximumNesting) {
        Log::format("cExifIFDEntry: the Exif IFD at offset %u lies too deep; not read", offset());
        return;
    }
    ++walk.nesting;
    mExifIFD = cIFD::readAtOffset(stream, offset(), walk);
    --walk.nesting;
}

} // namespace qm
