#include "foundation/PlistInputCheck.h"

#include <algorithm>
#include <vector>

namespace qm {

namespace {

constexpr std::size_t kMaxDepth = PlistInputCheck::kMaxDepth;
constexpr std::uint64_t kMaxValues = PlistInputCheck::kMaxValues;
constexpr std::string_view kBinaryMagic = PlistInputCheck::kBinaryMagic;

bool startsWith(std::string_view text, size_t at, std::string_view prefix)
{
    return text.compare(at, prefix.size(), prefix) == 0;
}

// Counts the nesting of <array> and <dict> elements (comments skipped).
bool xmlNestingIsReasonable(std::string_view xml)
{
    size_t depth = 0;
    for (size_t i = xml.find('<'); i != std::string_view::npos; i = xml.find('<', i + 1)) {
        if (startsWith(xml, i, "<!--")) {
            i = xml.find("-->", i);
            if (i == std::string_view::npos)
                return true;
        } else if (startsWith(xml, i, "</array") || startsWith(xml, i, "</dict")) {
            if (depth > 0)
                --depth;
        } else if (startsWith(xml, i, "<array") || startsWith(xml, i, "<dict")) {
            const auto close = xml.find('>', i);
            if (close == std::string_view::npos)
                return true; // truncated: libplist refuses it
            if (xml[close - 1] != '/' && ++depth > kMaxDepth)
                return false;
        }
    }
    return true;
}

class BinaryShape {
public:
    explicit BinaryShape(std::span<const std::uint8_t> bytes) : mBytes(bytes) {}

    // False when the object table is malformed, cyclic, too deep or expands to too many values.
    bool isReasonable(std::string& reason)
    {
        if (!readTrailer()) {
            reason = "its trailer or offset table is malformed";
            return false;
        }
        return walk(reason);
    }

private:
    std::uint64_t readBigEndian(size_t at, size_t size) const
    {
        std::uint64_t value = 0;
        for (size_t i = 0; i < size; ++i)
            value = (value << 8) | mBytes[at + i];
        return value;
    }

    bool readTrailer()
    {
        if (mBytes.size() < kBinaryMagic.size() + 32)
            return false;
        const size_t trailer = mBytes.size() - 32;
        mOffsetSize = mBytes[trailer + 6];
        mRefSize = mBytes[trailer + 7];
        mCount = readBigEndian(trailer + 8, 8);
        mTop = readBigEndian(trailer + 16, 8);
        mTableOffset = readBigEndian(trailer + 24, 8);
        if (mOffsetSize < 1 || mOffsetSize > 8 || mRefSize < 1 || mRefSize > 8)
            return false;
        if (mCount == 0 || mTop >= mCount || mTableOffset < kBinaryMagic.size() || mTableOffset > trailer)
            return false;
        return mCount <= (trailer - mTableOffset) / mOffsetSize;
    }

    // The length of an object whose marker's low nibble is `nibble`, read at `at` (moved past it).
    bool readLength(unsigned nibble, size_t& at, std::uint64_t& length) const
    {
        length = nibble;
        if (nibble != 0x0F)
            return true;
        if (at >= mTableOffset || (mBytes[at] & 0xF0) != 0x10 || (mBytes[at] & 0x0F) > 3)
            return false;
        const size_t size = size_t(1) << (mBytes[at] & 0x0F);
        if (at + 1 + size > mTableOffset)
            return false;
        length = readBigEndian(at + 1, size);
        at += 1 + size;
        return true;
    }

    // libplist asserts that its strings hold no NUL character.
    bool stringIsAcceptable(size_t at, std::uint64_t units, size_t unitSize, std::string& reason) const
    {
        if (units > (mTableOffset - at) / unitSize) {
            reason = "a string lies outside the file";
            return false;
        }
        for (std::uint64_t i = 0; i < units; ++i) {
            if (readBigEndian(at + i * unitSize, unitSize) == 0) {
                reason = "a string holds a NUL character";
                return false;
            }
        }
        return true;
    }

    // The references held by object `index`: where they start and how many there are.
    bool children(std::uint64_t index, size_t& first, std::uint64_t& count, std::string& reason) const
    {
        reason = "an object lies outside the file";
        const std::uint64_t offset = readBigEndian(mTableOffset + index * mOffsetSize, mOffsetSize);
        if (offset < kBinaryMagic.size() || offset >= mTableOffset)
            return false;
        const std::uint8_t marker = mBytes[offset];
        const unsigned kind = marker >> 4;
        size_t at = offset + 1;
        std::uint64_t length = 0;
        count = 0;
        switch (kind) {
        case 0x5: // ASCII string
        case 0x6: // UTF-16 string
            return readLength(marker & 0x0F, at, length) &&
                   stringIsAcceptable(at, length, kind == 0x5 ? 1 : 2, reason);
        case 0xA: // array
        case 0xB:
        case 0xC: // set
        case 0xD: // dictionary: keys, then values
            if (!readLength(marker & 0x0F, at, length))
                return false;
            count = kind == 0xD ? length * 2 : length;
            if (length > mTableOffset || count > (mTableOffset - at) / mRefSize)
                return false;
            first = at;
            return true;
        default:
            return true;
        }
    }

    struct Frame {
        std::uint64_t index;
        size_t first;
        std::uint64_t count;
        std::uint64_t next = 0;
        std::uint64_t nodes = 1;
        std::uint64_t height = 0;
    };

    // Depth-first over the object graph, remembering each object's height and expanded size
    // (shared objects count once per reference, as libplist copies them).
    bool walk(std::string& reason)
    {
        enum : std::uint8_t { Unvisited, Open, Done };
        std::vector<std::uint8_t> state(mCount, Unvisited);
        std::vector<std::uint64_t> nodes(mCount, 0);
        std::vector<std::uint64_t> height(mCount, 0);
        std::vector<Frame> stack;
        auto enter = [&](std::uint64_t index) {
            Frame frame{index, 0, 0};
            if (!children(index, frame.first, frame.count, reason))
                return false;
            if (stack.size() >= kMaxDepth) {
                reason = "it is nested too deeply";
                return false;
            }
            state[index] = Open;
            stack.push_back(frame);
            return true;
        };
        auto addNodes = [&](Frame& frame, std::uint64_t count) {
            frame.nodes = std::min(frame.nodes + count, kMaxValues + 1);
            if (frame.nodes <= kMaxValues)
                return true;
            reason = "it expands to too many values";
            return false;
        };
        if (!enter(mTop))
            return false;
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next == frame.count) {
                state[frame.index] = Done;
                nodes[frame.index] = frame.nodes;
                height[frame.index] = frame.height;
                const Frame done = frame;
                stack.pop_back();
                if (stack.empty())
                    break;
                stack.back().height = std::max(stack.back().height, done.height + 1);
                if (!addNodes(stack.back(), done.nodes))
                    return false;
                continue;
            }
            const std::uint64_t child = readBigEndian(frame.first + frame.next * mRefSize, mRefSize);
            ++frame.next;
            if (child >= mCount) {
                reason = "a reference points outside the object table";
                return false;
            }
            if (state[child] == Open) {
                reason = "its objects refer to each other in a cycle";
                return false;
            }
            if (state[child] == Done) {
                // The path to the shared object plus the object's own height.
                if (stack.size() + 1 + height[child] > kMaxDepth) {
                    reason = "it is nested too deeply";
                    return false;
                }
                frame.height = std::max(frame.height, height[child] + 1);
                if (!addNodes(frame, nodes[child]))
                    return false;
            } else if (!enter(child)) {
                return false;
            }
        }
        return true;
    }

    std::span<const std::uint8_t> mBytes;
    size_t mOffsetSize = 0;
    size_t mRefSize = 0;
    std::uint64_t mCount = 0;
    std::uint64_t mTop = 0;
    std::uint64_t mTableOffset = 0;
};

} // namespace

bool PlistInputCheck::binaryIsAcceptable(std::span<const std::uint8_t> bytes, std::string& reason)
{
    return BinaryShape(bytes).isReasonable(reason);
}

bool PlistInputCheck::xmlIsAcceptable(std::string_view xml, std::string& reason)
{
    if (xml.find('\0') != std::string_view::npos) {
        // XML has no NUL characters, and libplist aborts on a string that holds one.
        reason = "it holds a NUL byte";
        return false;
    }
    if (!xmlNestingIsReasonable(xml)) {
        reason = "it is nested too deeply";
        return false;
    }
    return true;
}

} // namespace qm
