#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/Log.h"

namespace qm::fuzz {

std::shared_ptr<const std::vector<std::uint8_t>> dataOf(const std::uint8_t* bytes, std::size_t size)
{
    return std::make_shared<const std::vector<std::uint8_t>>(bytes, bytes + size);
}

void require(bool condition, const char* expectation)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz expectation failed: %s\n", expectation);
    std::abort();
}

} // namespace qm::fuzz

// Every target reads the source tree's resources, never the user's settings, and does not log:
// the readers log every bad byte they meet, which would drown the fuzzer's output.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ::setenv("QUILLMARK_RESOURCES", QUILLMARK_RESOURCES_DIR, 1);
    ::setenv("QUILLMARK_DEFAULTS", QUILLMARK_FUZZ_DEFAULTS, 1);
    qm::Log::setSink([](const std::string&) {});
    return 0;
}
