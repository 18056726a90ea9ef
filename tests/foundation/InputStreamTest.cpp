#include "foundation/InputStream.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace qm {
namespace {

std::filesystem::path writeFile(const std::string& name, const std::string& content)
{
    const auto folder = std::filesystem::temp_directory_path() / ("quillmark-tests-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << content;
    return folder / name;
}

std::string readText(InputStream& stream, std::size_t maxLength)
{
    std::string text(maxLength, '\0');
    const std::int64_t count = stream.read(reinterpret_cast<std::uint8_t*>(text.data()), maxLength);
    text.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    return text;
}

TEST(FileDescriptorInputStream, ReadsInOrderReportsTheEndAndSeeksBack)
{
    auto stream = FileDescriptorInputStream::open(writeFile("hello.txt", "hello"));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readText(*stream, 3), "hel");
    EXPECT_EQ(stream->fileOffset(), 3u);
    EXPECT_EQ(readText(*stream, 0), "");
    EXPECT_EQ(stream->status(), InputStream::Status::Open);
    EXPECT_EQ(readText(*stream, 10), "lo");
    std::uint8_t byte;
    EXPECT_EQ(stream->read(&byte, 1), 0);
    EXPECT_EQ(stream->status(), InputStream::Status::AtEnd);
    EXPECT_TRUE(stream->setFileOffset(1));
    EXPECT_EQ(stream->status(), InputStream::Status::Open);
    EXPECT_EQ(readText(*stream, 10), "ello");
}

TEST(FileDescriptorInputStream, OpensOnlyReadableFiles)
{
    const auto file = writeFile("present.txt", "x");
    EXPECT_NE(FileDescriptorInputStream::open(file), nullptr);
    EXPECT_EQ(FileDescriptorInputStream::open(file.parent_path() / "absent.txt"), nullptr);
    EXPECT_EQ(FileDescriptorInputStream::open(file.parent_path()), nullptr);
}

TEST(FileDescriptorInputStream, AFailedReadIsAnErrorThatStays)
{
    const int writeOnly = ::open(writeFile("writeonly.txt", "abc").c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writeOnly, 0);
    FileDescriptorInputStream stream(writeOnly, true);
    EXPECT_EQ(stream.status(), InputStream::Status::Open);
    std::uint8_t byte;
    EXPECT_EQ(stream.read(&byte, 1), -1);
    EXPECT_EQ(stream.status(), InputStream::Status::Error);
    EXPECT_FALSE(stream.setFileOffset(0));
    EXPECT_EQ(stream.status(), InputStream::Status::Error);

    FileDescriptorInputStream invalid(-1, false);
    EXPECT_EQ(invalid.status(), InputStream::Status::Error);
    EXPECT_EQ(invalid.read(&byte, 1), -1);
}

TEST(FileDescriptorInputStream, PipesHaveNoFileOffset)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], "ab", 2), 2);
    ::close(ends[1]);
    FileDescriptorInputStream stream(ends[0], true);
    EXPECT_EQ(stream.fileOffset(), std::nullopt);
    EXPECT_FALSE(stream.setFileOffset(0));
    EXPECT_EQ(readText(stream, 8), "ab");
}

TEST(FileDescriptorInputStream, ClosesTheDescriptorOnlyWhenAskedTo)
{
    for (const bool close : {true, false}) {
        const int descriptor = ::open(writeFile("owned.txt", "x").c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(descriptor, 0);
        { FileDescriptorInputStream stream(descriptor, close); }
        EXPECT_EQ(::fcntl(descriptor, F_GETFD) == -1, close) << "closeWhenDestroyed " << close;
        if (!close)
            ::close(descriptor);
    }
}

} // namespace
} // namespace qm
