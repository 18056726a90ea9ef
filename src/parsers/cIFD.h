#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "parsers/cIFDEntry.h"

namespace qm {

class cIFD;
using IFDArray = std::vector<std::shared_ptr<cIFD>>;
using IFDEntryArray = std::vector<std::shared_ptr<cIFDEntry>>;

// An image file directory: an entry count and that many 12-byte entries, in file order.
class cIFD {
public:
    // The directory at the stream's position; the stream is left after its last entry (at the
    // next-directory offset when every entry was there). Null when its entry count is missing.
    static std::shared_ptr<cIFD> initFromStream(simpleStream& stream, bool fileIsBigEndian,
                                                std::uint32_t tiffHeaderOffsetFromStartOfFile);
    static std::shared_ptr<cIFD> initFromStream(simpleStream& stream, IFDWalk& walk);
    // The directory at an offset from the header; null when the offset lies outside the stream
    // or the walk has read that directory already.
    static std::shared_ptr<cIFD> readAtOffset(simpleStream& stream, std::uint32_t offset, IFDWalk& walk);

    const IFDEntryArray& IFDentries() const { return mIFDentries; }
    std::size_t IFDEntryCount() const { return mIFDentries.size(); }
    std::shared_ptr<cIFDEntry> IFDEntryByTag(std::uint16_t tag) const;
    // Where the directory lies, counted from the TIFF header.
    std::uint32_t offset() const { return mOffset; }
    // False when the stream ended (or the walk's budget ran out) before the declared entry count.
    bool isComplete() const { return mIFDentries.size() == mDeclaredEntryCount; }

    // The entry count and the entries' 12 bytes; no values stored elsewhere, no next offset.
    void writeToStream(simpleOutputStream& stream, bool bigEndian) const;

private:
    std::uint32_t mOffset = 0;
    std::uint16_t mDeclaredEntryCount = 0;
    IFDEntryArray mIFDentries;
};

} // namespace qm
