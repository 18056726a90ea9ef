#include "parsers/QMMetadataParser_JPG.h"

#include "parsers/XMPPacketText.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "foundation/Log.h"
#include "foundation/ReadOnlyFile.h"
#include "metadata/simpleBlockFileStream.h"
#include "metadata/simpleOutputStream.h"
#include "metadata/simpleStream.h"
#include "parsers/cAPP13_Segment.h"
#include "parsers/cJPEGSegment_APP1.h"
#include "parsers/cPhotoshopIPTCImageResource.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t StartOfImageSize = 2;
constexpr std::uint16_t LastMarker = 0xFFFF;
constexpr std::uint16_t FirstAPPMarker = 0xFFE0;
constexpr std::size_t CopyChunkSize = 1 << 20;
constexpr std::uint32_t DumpCapacity = 1000000;

template <typename... Args>
std::string formatted(const char* pattern, Args... args)
{
    const int size = std::snprintf(nullptr, 0, pattern, args...);
    std::string text(static_cast<std::size_t>(std::max(size, 0)), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, args...);
    return text;
}

bool failed(Error* error, const std::string& description)
{
    Log::format("QMMetadataParser_JPG: %s", description.c_str());
    if (error)
        *error = Error{GeneralErrorDomain, -1, description, {}};
    return false;
}

// The process's umask, read without changing it (umask() is not thread-safe).
mode_t newFileMode()
{
    mode_t mask = 022;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Umask:", 0) == 0)
            mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    return 0666 & ~mask;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : mDescriptor(descriptor) {}
    ~FileDescriptor()
    {
        if (mDescriptor >= 0)
            ::close(mDescriptor);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return mDescriptor; }

private:
    int mDescriptor;
};

// A file made beside its target and renamed over it once complete, so the target holds its old
// bytes or exactly the new ones; removed unless committed. A symbolic link is written through.
class ReplacementFile {
public:
    explicit ReplacementFile(fs::path target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool isOpen() const { return mDescriptor >= 0; }
    const std::string& failure() const { return mFailure; }
    bool write(const std::uint8_t* bytes, std::size_t count);
    bool copyFrom(int source, std::uint64_t offset, std::uint64_t count);
    bool commit();

private:
    bool fail(const char* step, int code);

    fs::path mTarget;
    std::string mTemporary;
    int mDescriptor = -1;
    std::string mFailure;
};

ReplacementFile::ReplacementFile(fs::path target) : mTarget(std::move(target))
{
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(mTarget, error)))
        if (auto resolved = fs::weakly_canonical(mTarget, error); !error)
            mTarget = resolved;
    const fs::path folder = mTarget.has_parent_path() ? mTarget.parent_path() : fs::path(".");
    mTemporary = (folder / ("." + mTarget.filename().string() + ".XXXXXX")).string();
    mDescriptor = ::mkostemp(mTemporary.data(), O_CLOEXEC);
    if (mDescriptor < 0)
        fail("create a temporary file in", errno);
}

ReplacementFile::~ReplacementFile()
{
    if (mDescriptor >= 0) {
        ::close(mDescriptor);
        ::unlink(mTemporary.c_str());
    }
}

bool ReplacementFile::fail(const char* step, int code)
{
    if (mFailure.empty())
        mFailure = formatted("cannot %s \"%s\" (%s)", step, mTarget.c_str(), std::strerror(code));
    return false;
}

bool ReplacementFile::write(const std::uint8_t* bytes, std::size_t count)
{
    while (count > 0) {
        const ssize_t written = ::write(mDescriptor, bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail("write", written < 0 ? errno : ENOSPC);
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ReplacementFile::copyFrom(int source, std::uint64_t offset, std::uint64_t count)
{
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(count, CopyChunkSize)));
    while (count > 0) {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(count, chunk.size()));
        const ssize_t got = ::pread(source, chunk.data(), wanted, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return fail("copy the image data to", got < 0 ? errno : EIO);
        if (!write(chunk.data(), static_cast<std::size_t>(got)))
            return false;
        offset += static_cast<std::uint64_t>(got);
        count -= static_cast<std::uint64_t>(got);
    }
    return true;
}

// Keeps the permission bits of the file it replaces.
bool ReplacementFile::commit()
{
    struct stat existing {};
    const mode_t mode = ::stat(mTarget.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : newFileMode();
    if (::fchmod(mDescriptor, mode) != 0)
        return fail("set the permissions of", errno);
    if (::fsync(mDescriptor) != 0)
        return fail("flush", errno);
    const int descriptor = std::exchange(mDescriptor, -1);
    if (::close(descriptor) != 0 || ::rename(mTemporary.c_str(), mTarget.c_str()) != 0) {
        const int code = errno;
        ::unlink(mTemporary.c_str());
        return fail("replace", code);
    }
    const FileDescriptor folder(::open(mTarget.parent_path().empty() ? "." : mTarget.parent_path().c_str(),
                                       O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
    return true;
}

} // namespace

QMMetadataParser_JPG::QMMetadataParser_JPG(std::filesystem::path path) : QMMetadataParser(std::move(path)) {}

// Every pass takes at least the 4 header bytes, so the loop ends.
QMMetadataParser_JPG::SegmentArray QMMetadataParser_JPG::readJPEGSegmentsFromStream(simpleStream& stream, Error*)
{
    SegmentArray segments;
    segments.reserve(64);
    if (!stream.setStreamPosition(StartOfImageSize)) {
        stream.setStreamPosition(stream.streamByteCount());
        return segments;
    }
    while (std::uint64_t(stream.streamPosition()) + 2 < stream.streamByteCount()) {
        const cJPEGSegment::Header header = cJPEGSegment::peekHeader(stream);
        if (header.length == 0)
            break;
        if (segments.size() == MostSegments) {
            Log::format("QMMetadataParser_JPG: more than %zu segments; the rest of the file is not read", MostSegments);
            break;
        }
        segments.push_back(cJPEGSegment::initFromStream(stream));
        if (header.marker == LastMarker || header.marker == cJPEGSegment::StartOfScanMarker)
            break;
    }
    return segments;
}

bool QMMetadataParser_JPG::parseImageStream(simpleStream& stream, Error* error)
{
    mJPEGSegments = readJPEGSegmentsFromStream(stream, error);
    mRemainderOffset = stream.streamPosition();
    joinPhotoshopSegments();
    return true;
}

bool QMMetadataParser_JPG::parseImageFile(ReadOnlyFile& file, Error* error)
{
    file.head(HeadByteCount);
    simpleBlockFileStream stream(file, BlockByteCount);
    return parseImageStream(stream, error);
}

// Every APP13 segment with the Photoshop identification holds a part of one resource stream.
void QMMetadataParser_JPG::joinPhotoshopSegments()
{
    std::vector<std::shared_ptr<cAPP13_Segment>> photoshopSegments;
    for (const auto& segment : mJPEGSegments)
        if (auto app13 = std::dynamic_pointer_cast<cAPP13_Segment>(segment); app13 && app13->hasPhotoshopIdentification())
            photoshopSegments.push_back(std::move(app13));
    if (photoshopSegments.size() < 2)
        return;
    Log::format("QMMetadataParser_JPG: the Photoshop resources are read from %zu APP13 segments joined",
                photoshopSegments.size());
    photoshopSegments.front()->joinContinuations({photoshopSegments.begin() + 1, photoshopSegments.end()});
}

PlistValue QMMetadataParser_JPG::structureSummary() const
{
    PlistArray summary;
    for (const auto& segment : mJPEGSegments)
        summary.emplace_back(PlistDictionary{{"marker", segment->segmentMarker()},
                                             {"offset", segment->originalSegmentOffset()},
                                             {"length", segment->originalLengthField()}});
    if (JPEGSegmentByMarker(cJPEGSegment::StartOfScanMarker))
        summary.emplace_back(PlistDictionary{{"imageDataOffset", mRemainderOffset}});
    return summary;
}

std::shared_ptr<cJPEGSegment> QMMetadataParser_JPG::JPEGSegmentByMarker(std::uint16_t marker) const
{
    for (const auto& segment : mJPEGSegments)
        if (segment->segmentMarker() == marker)
            return segment;
    return nullptr;
}

// A segment with the XMP identifier; else the first APP1 segment that is not Exif, when it holds a packet.
std::shared_ptr<cJPEGSegment_APP1> QMMetadataParser_JPG::XMPSegment() const
{
    std::shared_ptr<cJPEGSegment_APP1> firstNotExif;
    for (const auto& segment : mJPEGSegments) {
        auto app1 = std::dynamic_pointer_cast<cJPEGSegment_APP1>(segment);
        if (!app1 || !app1->hasXMP())
            continue;
        if (app1->hasXMPIdentifier())
            return app1;
        if (!firstNotExif)
            firstNotExif = std::move(app1);
    }
    if (!firstNotExif)
        return nullptr;
    const auto packet = firstNotExif->XMP();
    return packet && XMPPacketText::looksLikeXMP(*packet) ? firstNotExif : nullptr;
}

// The first segment with the Photoshop identification, else the first APP13 segment.
std::shared_ptr<cAPP13_Segment> QMMetadataParser_JPG::APP13Segment() const
{
    for (const auto& segment : mJPEGSegments)
        if (auto app13 = std::dynamic_pointer_cast<cAPP13_Segment>(segment); app13 && app13->hasPhotoshopIdentification())
            return app13;
    return std::dynamic_pointer_cast<cAPP13_Segment>(JPEGSegmentByMarker(cJPEGSegment::APP13Marker));
}

std::shared_ptr<cPhotoshopImageResource> QMMetadataParser_JPG::photoshopImageResourceByID(
    std::uint16_t identifier) const
{
    const auto segment = APP13Segment();
    return segment ? segment->photoshopImageResourceByID(identifier) : nullptr;
}

std::optional<IPTCRecordArray> QMMetadataParser_JPG::IPTCRecords() const
{
    const auto segment = APP13Segment();
    return segment ? segment->IPTCRecords() : std::nullopt;
}

void QMMetadataParser_JPG::setIPTCRecords(std::optional<IPTCRecordArray> records)
{
    const auto segment = APP13Segment();
    if (const auto resource = segment ? segment->IPTCResource() : nullptr)
        resource->setIPTCRecords(std::move(records));
}

std::shared_ptr<cPhotoshopImageResource> QMMetadataParser_JPG::XMPResource() const
{
    const auto segment = APP13Segment();
    return segment ? cPhotoshopImageResource::XMPResource(segment->photoshopResources()) : nullptr;
}

// An empty resource, or one that is not UTF-8, holds no packet.
std::optional<std::string> QMMetadataParser_JPG::XMP() const
{
    if (const auto segment = XMPSegment())
        if (auto packet = segment->XMP())
            return packet;
    const auto resource = XMPResource();
    if (!resource || resource->data().empty())
        return std::nullopt;
    return XMPPacketText::decode(resource->data());
}

void QMMetadataParser_JPG::setXMP(std::optional<std::string> packet)
{
    if (const auto segment = XMPSegment())
        segment->setXMP(packet);
    if (const auto resource = XMPResource())
        resource->setData(packet ? cPhotoshopImageResource::Bytes(packet->begin(), packet->end())
                                 : cPhotoshopImageResource::Bytes{});
}

// The file's first two bytes (the start-of-image marker) and the segments to be written.
std::optional<std::vector<std::uint8_t>> QMMetadataParser_JPG::segmentBytes(int source, Error* error) const
{
    simpleOutputStream output(StartOfImageSize);
    std::uint8_t startOfImage[StartOfImageSize] = {};
    const std::uint32_t prefix = std::min(StartOfImageSize, mRemainderOffset);
    if (::pread(source, startOfImage, prefix, 0) != static_cast<ssize_t>(prefix)) {
        failed(error, formatted("The picture \"%s\" could not be read.", path().c_str()));
        return std::nullopt;
    }
    output.writeBytes(startOfImage, prefix);
    for (const auto& segment : mJPEGSegments)
        if (!segment->writeToStream(output)) {
            failed(error, formatted("The segment %04X read at offset %u could not be written: its data is larger than "
                                    "the %u bytes that a JPEG segment can hold.",
                                    segment->segmentMarker(), segment->originalSegmentOffset(),
                                    cJPEGSegment::LargestPayloadSize));
            return std::nullopt;
        }
    return std::vector<std::uint8_t>(output.basePtr(), output.basePtr() + output.streamPosition());
}

bool QMMetadataParser_JPG::updateFileToURLBypassingCoreGraphics(const std::filesystem::path& target, Error* error)
{
    const FileDescriptor source(::open(path().c_str(), O_RDONLY | O_CLOEXEC));
    struct stat attributes {};
    if (source.get() < 0 || ::fstat(source.get(), &attributes) != 0)
        return failed(error,
                      formatted("The picture \"%s\" could not be read (%s).", path().c_str(), std::strerror(errno)));
    const auto fileSize = static_cast<std::uint64_t>(attributes.st_size);
    if (fileSize < mRemainderOffset)
        return failed(error, formatted("The picture \"%s\" has become shorter since it was read.", path().c_str()));
    for (const auto& segment : mJPEGSegments)
        if (segment->shouldWriteToUpdatedFile() && !segment->hasPayloadAsRead())
            return failed(error, formatted("The picture \"%s\" has changed since it was read.", path().c_str()));
    const auto head = segmentBytes(source.get(), error);
    if (!head)
        return false;
    ReplacementFile replacement(target);
    if (!replacement.isOpen() || !replacement.write(head->data(), head->size()) ||
        !replacement.copyFrom(source.get(), mRemainderOffset, fileSize - mRemainderOffset) || !replacement.commit())
        return failed(error, formatted("The picture could not be written: %s.", replacement.failure().c_str()));
    return true;
}

void QMMetadataParser_JPG::dumpJpegSegments(const std::filesystem::path& path, bool useCustomWriting,
                                            bool appSegmentsOnly) const
{
    const std::string stem = fs::path(path).replace_extension().string();
    int number = 0;
    for (const auto& segment : mJPEGSegments) {
        if (appSegmentsOnly && segment->segmentMarker() < FirstAPPMarker)
            continue;
        simpleOutputStream output(DumpCapacity);
        if (useCustomWriting)
            segment->writeToStream(output);
        else
            segment->writeToStreamWithoutCustomWriting(output);
        const std::string name = formatted("%s_SEG#%02d_%X.bin", stem.c_str(), number++, segment->segmentMarker());
        std::ofstream file(name, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(output.basePtr()), output.streamPosition());
        if (!file)
            Log::format("QMMetadataParser_JPG: cannot write \"%s\"", name.c_str());
    }
}

} // namespace qm
