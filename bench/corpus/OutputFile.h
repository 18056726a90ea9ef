#pragma once

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace qm::bench {

// A file written with one write() per buffer handed to it.
class OutputFile {
public:
    explicit OutputFile(const std::filesystem::path& path)
        : mPath(path), mDescriptor(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644))
    {
        if (mDescriptor < 0)
            fail();
    }
    ~OutputFile() { ::close(mDescriptor); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(std::span<const std::uint8_t> bytes)
    {
        while (!bytes.empty()) {
            const ssize_t written = ::write(mDescriptor, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                fail();
            bytes = bytes.subspan(static_cast<std::size_t>(written));
        }
    }

    void write(std::string_view text) { write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}); }

    // Writes over bytes written before (a header whose sizes are known only at the end).
    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes)
    {
        if (::pwrite(mDescriptor, bytes.data(), bytes.size(), static_cast<off_t>(offset)) != static_cast<ssize_t>(bytes.size()))
            fail();
    }

    // How many bytes have been written so far.
    std::uint64_t position() const { return static_cast<std::uint64_t>(::lseek(mDescriptor, 0, SEEK_CUR)); }

private:
    [[noreturn]] void fail() const
    {
        throw std::system_error(errno, std::generic_category(), "cannot write " + mPath.string());
    }

    std::filesystem::path mPath;
    int mDescriptor;
};

} // namespace qm::bench
