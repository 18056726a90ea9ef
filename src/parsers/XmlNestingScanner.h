#pragma once

#include <cstddef>
#include <string_view>

namespace qm {

// TinyXML parses (and frees) a document recursively, one stack frame per level of nesting, so a
// deeply nested text can exhaust the stack. This scanner follows TinyXML's reading of valid UTF-8
// text without building anything and answers an upper bound of the element nesting depth that
// TinyXML would reach. Where its reading could differ from TinyXML's (malformed markup), it counts
// every element start from there on, so the bound never falls below the real depth.
class XmlNestingScanner {
public:
    static std::size_t depthBound(std::string_view text);
};

} // namespace qm
