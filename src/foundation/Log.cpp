#include "foundation/Log.h"

#include <iostream>

namespace qm {

namespace {

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

void Log::message(std::string_view line)
{
    Sink sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = currentSink();
    }
    if (sink) {
        sink(std::string(line));
        return;
    }
    std::lock_guard lock(sinkMutex());
    std::cerr << line << '\n';
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
