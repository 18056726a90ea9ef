#include "textgen/StrictJsonParser.h"

#include <algorithm>
#include <set>
#include <vector>

namespace qm {

namespace {

using Json = StrictJsonParser::Json;

struct DuplicateKey {
    std::string message;
};

// Refuses a key given twice in one object, which the parser would otherwise quietly drop.
class DuplicateKeyCheck {
public:
    bool operator()(int, Json::parse_event_t event, Json& parsed)
    {
        using Event = Json::parse_event_t;
        switch (event) {
        case Event::object_start:
        case Event::array_start:
            countElement();
            mFrames.push_back({event == Event::object_start, {}, 0, {}});
            break;
        case Event::object_end:
        case Event::array_end:
            mFrames.pop_back();
            break;
        case Event::key:
            mFrames.back().key = parsed.get<std::string>();
            if (!mFrames.back().keys.insert(mFrames.back().key).second)
                throw DuplicateKey{path() + ": given twice"};
            break;
        case Event::value:
            countElement();
            break;
        }
        return true;
    }

private:
    struct Frame {
        bool object;
        std::string key;
        std::size_t elements;
        std::set<std::string> keys;
    };

    void countElement()
    {
        if (!mFrames.empty() && !mFrames.back().object)
            ++mFrames.back().elements;
    }

    std::string path() const
    {
        std::string path;
        for (const auto& frame : mFrames)
            path += frame.object ? (path.empty() ? "" : ".") + frame.key : "[" + std::to_string(frame.elements - 1) + "]";
        return path;
    }

    std::vector<Frame> mFrames;
};

// "line L, column C" of the byte the parser stopped at (columns count characters).
std::string position(std::string_view text, std::size_t byte)
{
    const std::size_t offset = std::min(byte == 0 ? 0 : byte - 1, text.size());
    std::size_t line = 1, column = 1;
    for (std::size_t index = 0; index < offset; ++index) {
        if (text[index] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[index]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// The parser's explanation without its own prefix ("[json.exception...] parse error at ...: ").
std::string syntaxProblem(const std::string& what)
{
    const auto start = what.find("parse error");
    const auto colon = start == std::string::npos ? std::string::npos : what.find(": ", start);
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

} // namespace

std::optional<Json> StrictJsonParser::parse(std::string_view text, std::string& problem)
{
    try {
        return Json::parse(text.begin(), text.end(), DuplicateKeyCheck());
    } catch (const Json::parse_error& error) {
        problem = position(text, error.byte) + ": " + syntaxProblem(error.what());
    } catch (const DuplicateKey& duplicate) {
        problem = duplicate.message;
    } catch (const Json::exception& error) { // a number beyond what a double holds, say
        const std::string what = error.what();
        const auto prefixEnd = what.find("] ");
        problem = prefixEnd == std::string::npos ? what : what.substr(prefixEnd + 2);
    }
    return std::nullopt;
}

} // namespace qm
