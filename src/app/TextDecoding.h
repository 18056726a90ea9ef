#pragma once

#include <vector>

#include "foundation/StringEncodings.h"
#include "metadata/cIPTCRecord.h"

namespace qm {

class UserDefaults;

// Decoding of dataset text with the user's settings: the encoding guess and the repair of
// doubly encoded UTF-8.
class TextDecoding {
public:
    // The guess from "defaultTextEncoding", "useAlternateEncodingSpecs", "alternateEncodingSpecs"
    // and "respectUTF8Marker".
    static StringEncoding guessTextEncodingOfIPTCRecords(const IPTCRecordArray& records, const UserDefaults& defaults);

    // The specs of "alternateEncodingSpecs" that can take part in a guess, in order.
    static std::vector<cIPTCRecord::EncodingSpec> alternateEncodingSpecs(const UserDefaults& defaults);

    // When any record's text holds a character of "corruptUTF8Triggers", every record rebuilt as
    // UTF-8 through "corruptUTF8To" and "corruptUTF8From"; otherwise the same array.
    static IPTCRecordArray convertCorruptUTF8(const IPTCRecordArray& records, const UserDefaults& defaults);

    // Every record with the same code and data in the given encoding (new record objects).
    static IPTCRecordArray recordsWithEncoding(const IPTCRecordArray& records, StringEncoding encoding);
};

} // namespace qm
