#pragma once

#include <memory>

#include "parsers/cIFD.h"

namespace qm {

// The entry of tag 34665, whose value is the offset of the Exif IFD; that directory is read with it.
class cExifIFDEntry : public cIFDEntry {
public:
    // Null when the Exif IFD could not be read.
    const std::shared_ptr<cIFD>& exifIFD() const { return mExifIFD; }
    // The Exif IFD's entries; empty when it could not be read.
    IFDEntryArray exifIFDEntries() const;

protected:
    void readReferencedData(simpleStream& stream, IFDWalk& walk) override;

private:
    std::shared_ptr<cIFD> mExifIFD;
};

} // namespace qm
