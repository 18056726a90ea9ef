#include "bridge/LineBuffer.h"

namespace qm {

bool LineBuffer::append(std::string_view bytes)
{
    mBytes.append(bytes);
    const auto lastBreak = mBytes.rfind('\n');
    const std::size_t unfinished = lastBreak == std::string::npos ? mBytes.size() : mBytes.size() - lastBreak - 1;
    return unfinished <= mMaximumLineLength;
}

std::optional<std::string> LineBuffer::nextLine()
{
    const auto lineBreak = mBytes.find('\n');
    if (lineBreak == std::string::npos)
        return std::nullopt;
    std::string line = mBytes.substr(0, lineBreak);
    mBytes.erase(0, lineBreak + 1);
    return line;
}

} // namespace qm
