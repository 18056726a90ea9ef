#include "foundation/Log.h"

#include "foundation/ControlCharacters.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <iostream>

namespace qm {

namespace {

constexpr std::string_view Ellipsis = "…";

// Appends the character that starts at `at` and moves past it: a control character or a byte
// that is not UTF-8 as an escape, C1 controls as \u00NN, any other character as it is.
void appendReadable(std::string& line, const char* text, std::int32_t length, std::int32_t& at)
{
    const std::int32_t start = at;
    UChar32 character = 0;
    U8_NEXT(text, at, length, character);
    if (character < 0) {
        for (std::int32_t index = start; index < at; ++index)
            ControlCharacters::appendHexEscape(line, static_cast<unsigned char>(text[index]));
    } else if (character < 0x80) {
        ControlCharacters::appendEscaped(line, static_cast<char>(character));
    } else if (character < 0xA0) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(character));
        line += escape;
    } else {
        line.append(text + start, static_cast<std::size_t>(at - start));
    }
}

// The line as it is written: escaped, and cut between two characters when too long.
std::string readableLine(std::string_view text)
{
    // Every byte read gives at least one byte written: the bytes after these would be cut anyway.
    const auto length = static_cast<std::int32_t>(std::min(text.size(), Log::LineBytes + 1));
    std::string line;
    std::size_t fitting = 0; // what stays when the line is cut, leaving room for the ellipsis
    for (std::int32_t at = 0; at < length && line.size() <= Log::LineBytes;) {
        appendReadable(line, text.data(), length, at);
        if (line.size() + Ellipsis.size() <= Log::LineBytes)
            fitting = line.size();
    }
    if (line.size() <= Log::LineBytes && text.size() <= static_cast<std::size_t>(length))
        return line;
    line.resize(fitting);
    return line + std::string(Ellipsis);
}

std::mutex& sinkMutex()
{
    static std::mutex mutex;
    return mutex;
}

Log::Sink& currentSink()
{
    static Log::Sink sink;
    return sink;
}

} // namespace

void Log::message(std::string_view text)
{
    const std::string line = readableLine(text);
    Sink sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = currentSink();
    }
    if (sink) {
        sink(line);
        return;
    }
    std::lock_guard lock(sinkMutex());
    std::cerr << line << '\n';
}

std::string Log::excerpt(std::string_view text)
{
    const auto length = static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
    std::int32_t kept = 0; // the end of the characters that stay when the text is cut
    std::int32_t at = 0;
    for (std::size_t count = 0; at < length; ++count) {
        if (count == ExcerptCharacters)
            return std::string(text.substr(0, static_cast<std::size_t>(kept))) + std::string(Ellipsis);
        if (count == ExcerptCharacters - 1)
            kept = at;
        U8_FWD_1(text.data(), at, length);
    }
    return std::string(text);
}

Log::Sink Log::setSink(Sink sink)
{
    std::lock_guard lock(sinkMutex());
    Sink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

LogCapture::LogCapture()
{
    mPrevious = Log::setSink([this](const std::string& line) {
        std::lock_guard lock(mMutex);
        mLines.push_back(line);
    });
}

LogCapture::~LogCapture()
{
    Log::setSink(std::move(mPrevious));
}

std::vector<std::string> LogCapture::lines() const
{
    std::lock_guard lock(mMutex);
    return mLines;
}

bool LogCapture::contains(std::string_view fragment) const
{
    std::lock_guard lock(mMutex);
    for (const auto& line : mLines)
        if (line.find(fragment) != std::string::npos)
            return true;
    return false;
}

void LogCapture::clear()
{
    std::lock_guard lock(mMutex);
    mLines.clear();
}

} // namespace qm
