#pragma once

#include <cstddef>
#include <cstdint>

#include <tinyxml.h>

namespace qm {

// A TinyXML document loaded from a byte buffer, with the line-end handling TinyXML gives files.
class bufferedTinyXML : public TiXmlDocument {
public:
    // Deeper texts are refused before parsing: TinyXML parses and frees nested elements recursively.
    static constexpr std::size_t MaximumNestingDepth = 512;

    bufferedTinyXML(const char* buffer, std::int32_t count);

    // Parses `count` bytes of UTF-8 text, up to the first NUL, with CR LF and lone CR read as LF.
    // True when the whole text parsed. Otherwise the document holds what TinyXML could read:
    // bytes that are not UTF-8 end the text and make the load fail; a text nested deeper than
    // MaximumNestingDepth leaves the document empty.
    bool LoadFromString(const char* buffer, std::int32_t count);
};

} // namespace qm
