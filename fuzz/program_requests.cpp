// Request lines on the program's socket, as a later start or any local client writes them: the
// bytes arrive in chunks of any size, are cut into bounded lines, and each line is read as a
// request.
#include "FuzzSupport.h"

#include <string>
#include <string_view>

#include "bridge/LineBuffer.h"
#include "ui/ProgramRequest.h"

namespace {

using namespace qm;

void checkRequest(const ProgramRequest& request, std::string_view line)
{
    if (request.kind != ProgramRequest::Kind::Open)
        return fuzz::require(request.file.empty(), "only an open request names a file");
    fuzz::require(!request.file.empty() && request.file.front() == '/', "a file handed over is an absolute path");
    fuzz::require(request.file.find('\0') == std::string::npos, "a file handed over holds no NUL");
    fuzz::require(line.ends_with(request.file), "the file is the line's end");
    std::string written = ProgramRequest::lineFor(request.file);
    written.pop_back();
    const ProgramRequest again = ProgramRequest::parse(written);
    fuzz::require(again.kind == ProgramRequest::Kind::Open && again.file == request.file,
                  "a file handed over reads back as the same request");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the chunk size, so that line breaks fall at every place in a chunk.
    const std::size_t chunk = 1 + bytes[0] % 64;
    std::string_view input(reinterpret_cast<const char*>(bytes + 1), size - 1);
    // A small bound, so that inputs of a few KiB reach it; the program's is ProgramRequest::MaximumLineBytes.
    constexpr std::size_t bound = 256;
    LineBuffer lines(bound);
    while (!input.empty()) {
        const std::string_view part = input.substr(0, chunk);
        input.remove_prefix(part.size());
        if (!lines.append(part))
            return fuzz::require(!lines.nextLine(), "nothing is handed out past an endless line"), 0;
        while (auto line = lines.nextLine()) {
            fuzz::require(line->size() <= bound, "a line is within the bound");
            fuzz::require(line->find('\n') == std::string::npos, "a line holds no line break");
            checkRequest(ProgramRequest::parse(*line), *line);
        }
    }
    return 0;
}
