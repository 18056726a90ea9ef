#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// The one logging facility: lines go to standard error unless a sink is installed. Every line is
// written as one readable line: control characters and bytes that are not UTF-8 are escaped
// (\n, \t, \r, \xNN), and a line longer than LineBytes bytes is cut, ending with "…".
class Log {
public:
    using Sink = std::function<void(const std::string& line)>;

    static constexpr std::size_t LineBytes = 300;
    static constexpr std::size_t ExcerptCharacters = 120;

    static void message(std::string_view line);

    // Text quoted from a file, cut to ExcerptCharacters characters, the last one "…", when longer.
    static std::string excerpt(std::string_view text);

    // printf-style formatting; strings are passed as const char*.
    template <typename... Args>
    static void format(const char* pattern, Args... args)
    {
        int size = std::snprintf(nullptr, 0, pattern, args...);
        if (size < 0)
            return message(pattern);
        std::string line(static_cast<size_t>(size), '\0');
        std::snprintf(line.data(), line.size() + 1, pattern, args...);
        message(line);
    }

    // Installs a sink (an empty one restores standard error); returns the previous sink.
    static Sink setSink(Sink sink);
};

// Collects every log line written while it lives (tests use it); restores the previous sink.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const;
    bool contains(std::string_view fragment) const;
    void clear();

private:
    mutable std::mutex mMutex;
    std::vector<std::string> mLines;
    Log::Sink mPrevious;
};

} // namespace qm
