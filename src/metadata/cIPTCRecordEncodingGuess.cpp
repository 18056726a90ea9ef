// The guess of the encoding in which a block's text was written.
#include "metadata/cIPTCRecord.h"

#include "foundation/UnicodeText.h"

namespace qm {

namespace {

// A record whose text cannot be read in the encoding under test shows none of the search
// characters, so it never matches a spec.
bool matches(const cIPTCRecord& record, StringEncoding guess, const cIPTCRecord::EncodingSpec& spec)
{
    auto text = record.dataAsFormattedStringWithEncoding(guess);
    return text && UnicodeText::containsAnyCharacterOf(*text, spec.search);
}

} // namespace

StringEncoding cIPTCRecord::guessStringEncodingOfIPTCRecords(const IPTCRecordArray& records,
                                                             StringEncoding defaultEncoding,
                                                             const std::vector<EncodingSpec>& specs,
                                                             bool respectUTF8Marker)
{
    StringEncoding guess = defaultEncoding;
    bool specMatched = false;
    for (const auto& record : records) {
        if (respectUTF8Marker && record->isUTF8EncodingMarker())
            return Encoding::UTF8;
        if (specMatched)
            continue;
        for (const auto& spec : specs) {
            if (spec.search.empty() || !matches(*record, guess, spec))
                continue;
            guess = spec.encoding;
            specMatched = true;
            break;
        }
    }
    return guess;
}

} // namespace qm
