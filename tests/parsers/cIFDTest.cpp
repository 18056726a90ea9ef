#include <gtest/gtest.h>

#include "foundation/Log.h"
#include "metadata/simpleDataStream.h"
#include "metadata/simpleOutputStream.h"
#include "parsers/QMMetadataParser_TIFF.h"
#include "parsers/cExifIFDEntry.h"
#include "parsers/cIFD.h"
#include "parsers/TiffBuilder.h"

using namespace qm;
using namespace qm::test::tiff;

namespace {

IFDArray readTiff(const Bytes& bytes)
{
    simpleDataStream stream(std::make_shared<const Bytes>(bytes));
    bool bigEndian = false;
    return QMMetadataParser_TIFF::readIFDsFromStreamAtTiffHeader(stream, &bigEndian);
}

std::string show(const PlistValue& value)
{
    if (const auto* number = value.integer())
        return std::to_string(*number);
    if (const auto* string = value.string())
        return '"' + *string + '"';
    if (const auto* data = value.data()) {
        std::string hex = "<";
        for (const auto byte : *data)
            hex += std::to_string(byte) + " ";
        return hex + ">";
    }
    std::string result = "[";
    for (const auto& element : value.array() ? *value.array() : PlistArray{})
        result += show(element) + ",";
    return result + "]";
}

std::string show(const std::optional<PlistArray>& values)
{
    return values ? show(PlistValue(*values)) : "absent";
}

Bytes elements(const std::vector<std::uint32_t>& values, int size, bool bigEndian)
{
    Bytes bytes;
    for (const auto value : values)
        bytes = bytes + integer(value, size, bigEndian);
    return bytes;
}

} // namespace

TEST(cIFDEntry, DecodesEveryTypeInBothByteOrders)
{
    using Values = std::optional<PlistArray>;
    const struct {
        const char* name;
        std::uint16_t type;
        std::uint32_t count;
        int elementSize;
        std::vector<std::uint32_t> elements;
        Values expected;
    } cases[] = {
        {"BYTE inline", IFDTypeBYTE, 3, 1, {1, 2, 255}, PlistArray{1, 2, 255}},
        {"SBYTE", IFDTypeSBYTE, 2, 1, {0xFF, 0x80}, PlistArray{-1, -128}},
        {"SHORT 5 inline", IFDTypeSHORT, 1, 2, {5}, PlistArray{5}},
        {"SHORT out of line", IFDTypeSHORT, 3, 2, {1, 2, 65535}, PlistArray{1, 2, 65535}},
        {"SSHORT", IFDTypeSSHORT, 2, 2, {0xFFFE, 7}, PlistArray{-2, 7}},
        {"LONG", IFDTypeLONG, 1, 4, {0xFFFFFFFF}, PlistArray{4294967295LL}},
        {"SLONG out of line", IFDTypeSLONG, 2, 4, {0xFFFFFFFB, 7}, PlistArray{-5, 7}},
        {"RATIONAL count 3", IFDTypeRATIONAL, 3, 4, {1, 2, 3, 4, 0xFFFFFFFF, 6},
         PlistArray{PlistArray{1, 2}, PlistArray{3, 4}, PlistArray{4294967295LL, 6}}},
        {"SRATIONAL -1/2", IFDTypeSRATIONAL, 1, 4, {0xFFFFFFFF, 2}, PlistArray{PlistArray{-1, 2}}},
        {"ASCII AB count 3 inline", IFDTypeASCII, 3, 1, {'A', 'B', 0}, PlistArray{"AB"}},
        {"ASCII AB 0 0 C out of line", IFDTypeASCII, 6, 1, {'A', 'B', 0, 0, 'C', 0}, PlistArray{"AB", "C"}},
        {"ASCII UTF-8", IFDTypeASCII, 6, 1, {'K', 0xC3, 0xB6, 'l', 'n', 0}, PlistArray{"Köln"}},
        {"ASCII stops at a piece that is not text", IFDTypeASCII, 8, 1, {'A', 'B', 0, 0xFF, 0xFE, 0, 'C', 0},
         PlistArray{"AB"}},
        {"UNDEFINED out of line", IFDTypeUNDEFINED, 5, 1, {1, 2, 3, 4, 5}, PlistArray{PlistData{1, 2, 3, 4, 5}}},
        {"UNDEFINED inline keeps count bytes", IFDTypeUNDEFINED, 2, 1, {9, 8}, PlistArray{PlistData{9, 8}}},
        {"count 0", IFDTypeSHORT, 0, 2, {}, PlistArray{}},
        {"FLOAT is not decoded", IFDTypeFLOAT, 1, 4, {0x3F800000}, std::nullopt},
        {"DOUBLE is not decoded", IFDTypeDOUBLE, 1, 8, {0}, std::nullopt},
        {"type 13 is unknown", 13, 1, 4, {1}, std::nullopt},
        {"type 0 is unknown", 0, 1, 4, {1}, std::nullopt},
    };
    LogCapture log;
    for (const bool bigEndian : {true, false})
        for (const auto& c : cases) {
            const Bytes value = elements(c.elements, c.elementSize, bigEndian);
            const auto ifds = readTiff(TiffBuilder(bigEndian).build({{{300, c.type, c.count, value}}}).bytes);
            ASSERT_EQ(ifds.size(), 1u) << c.name << " " << orderName(bigEndian);
            ASSERT_EQ(ifds[0]->IFDEntryCount(), 1u) << c.name << " " << orderName(bigEndian);
            const auto& entry = *ifds[0]->IFDentries()[0];
            EXPECT_EQ(show(entry.parsedObjects()), show(c.expected)) << c.name << " " << orderName(bigEndian);
            EXPECT_EQ(entry.tag(), 300) << c.name;
            EXPECT_EQ(entry.count(), c.count) << c.name;
        }
    EXPECT_TRUE(log.contains("cIFDEntry::initFromStream unknown data type: 13 tag: 300 stream!"));
    EXPECT_TRUE(log.contains("bad ascii data i readIFDEntryDataAtPointer: \\xff\\xfe"));
}

// The file is the header, one directory at 8 with one entry (tag 300) whose value field is
// `field`, and 16 bytes at 26..41.
TEST(cIFDEntry, ReadsOnlyTheValueBytesTheStreamHolds)
{
    const struct {
        const char* name;
        std::uint16_t type;
        std::uint32_t count;
        std::uint32_t field;
        std::optional<std::size_t> expectedValues;
    } cases[] = {
        {"inside", IFDTypeLONG, 4, 26, 4},
        {"offset near 4 GiB", IFDTypeLONG, 2, 0xFFFFFFF8, std::nullopt},
        {"offset at the end", IFDTypeLONG, 2, 42, std::nullopt},
        {"runs past the end", IFDTypeSHORT, 100, 38, 2},
        {"count times 8 overflows 32 bits", IFDTypeRATIONAL, 0x20000001, 26, 2},
        {"largest count of LONG", IFDTypeLONG, 0xFFFFFFFF, 34, 2},
        {"largest count of UNDEFINED", IFDTypeUNDEFINED, 0xFFFFFFFF, 30, 1},
    };
    LogCapture log;
    for (const bool bigEndian : {true, false})
        for (const auto& c : cases) {
            const Bytes file = TiffBuilder(bigEndian).build({{{300, c.type, c.count, integer(c.field, 4, bigEndian)}}}).bytes +
                               Bytes(16, 0x11);
            const auto ifds = readTiff(file);
            ASSERT_EQ(ifds.size(), 1u) << c.name;
            const auto& values = ifds[0]->IFDentries().at(0)->parsedObjects();
            ASSERT_EQ(values.has_value(), c.expectedValues.has_value()) << c.name << " " << orderName(bigEndian);
            if (values) {
                EXPECT_EQ(values->size(), *c.expectedValues) << c.name << " " << orderName(bigEndian);
            }
        }
    const auto ifds = readTiff(TiffBuilder(true).build({{{300, IFDTypeUNDEFINED, 0xFFFFFFFF, integer(30, 4, true)}}}).bytes +
                               Bytes(16, 0x11));
    EXPECT_EQ(ifds[0]->IFDentries()[0]->parsedObjects()->front().data()->size(), 12u) << "the bytes present";
}

TEST(cIFD, EndsTheChainAtLoopsAndOffsetsOutsideTheStream)
{
    // Two directories of one entry each: IFD0 at 8 (next field at 22), IFD1 at 26 (next field at 40).
    const struct {
        const char* name;
        std::size_t field;
        std::uint32_t offset;
        std::size_t expectedIFDs;
        std::size_t expectedEntriesOfLast;
    } cases[] = {
        {"plain chain", 40, 0, 2, 1},
        {"the second points back to the first", 40, 8, 2, 1},
        {"the second points to itself", 40, 26, 2, 1},
        {"the first points to itself", 22, 8, 1, 1},
        {"the second points into its own entry", 40, 28, 3, 1},
        {"first offset past the end", 4, 0x10000, 0, 0},
        {"first offset near 4 GiB", 4, 0xFFFFFFFE, 0, 0},
        {"next offset past the end", 22, 0x10000, 1, 1},
        {"first offset at the last byte", 4, 45, 0, 0},
    };
    LogCapture log;
    for (const bool bigEndian : {true, false})
        for (const auto& c : cases) {
            const std::vector<TiffEntry> ifd{{256, IFDTypeSHORT, 1, integer(7, 2, bigEndian)}};
            Bytes file = TiffBuilder(bigEndian).build({ifd, ifd}).bytes + Bytes{0, 0};
            patch32(file, c.field, c.offset, bigEndian);
            const auto ifds = readTiff(file);
            ASSERT_EQ(ifds.size(), c.expectedIFDs) << c.name << " " << orderName(bigEndian);
            if (!ifds.empty()) {
                EXPECT_EQ(ifds.back()->IFDEntryCount(), c.expectedEntriesOfLast) << c.name << " " << orderName(bigEndian);
            }
        }
}

// 65535 entries whose values each claim the whole 2 MB file would take 128 GB if all were read.
TEST(cIFD, BoundsTheMemoryOfHostileEntries)
{
    const bool bigEndian = false;
    Bytes file = text("II") + integer(42, 2, bigEndian) + integer(8, 4, bigEndian) + integer(65535, 2, bigEndian);
    const Bytes entry = integer(0x9000, 2, bigEndian) + integer(IFDTypeUNDEFINED, 2, bigEndian) +
                        integer(0x200000, 4, bigEndian) + integer(8, 4, bigEndian);
    for (int index = 0; index < 65535; ++index)
        file.insert(file.end(), entry.begin(), entry.end());
    file.resize(2 << 20, 0x55);
    LogCapture log;
    const auto ifds = readTiff(file);
    ASSERT_EQ(ifds.size(), 1u);
    std::size_t read = 0;
    for (const auto& entry : ifds[0]->IFDentries())
        read += entry->parsedObjects().has_value();
    EXPECT_GT(read, 0u);
    EXPECT_LE(read * file.size(), IFDWalk::MemoryBudget);
}

TEST(cExifIFDEntry, ReadsTheExifIFDOnceEvenWhenDirectoriesPointBack)
{
    // IFD0 at 8: [256, 34665 → Exif IFD at 38: [33434, 34665 → field]], next field at 34.
    const struct {
        const char* name;
        std::uint32_t innerExifOffset;
        std::uint32_t ifd0Next;
        std::size_t expectedIFDs;
    } cases[] = {
        {"inner Exif entry points to IFD0", 8, 0, 1},
        {"inner Exif entry points to its own directory", 38, 0, 1},
        {"IFD0's next offset is the Exif IFD", 0, 38, 1},
    };
    LogCapture log;
    for (const bool bigEndian : {true, false})
        for (const auto& c : cases) {
            const std::vector<TiffEntry> exif{{33434, IFDTypeLONG, 1, integer(5, 4, bigEndian)},
                                              {34665, IFDTypeLONG, 1, integer(c.innerExifOffset, 4, bigEndian)}};
            Bytes file = TiffBuilder(bigEndian).build({{{256, IFDTypeSHORT, 1, integer(7, 2, bigEndian)},
                                                        {34665, IFDTypeLONG, 1, {}, exif}}}).bytes;
            patch32(file, 34, c.ifd0Next, bigEndian);
            const auto ifds = readTiff(file);
            ASSERT_EQ(ifds.size(), c.expectedIFDs) << c.name;
            const auto outer = std::dynamic_pointer_cast<cExifIFDEntry>(ifds[0]->IFDEntryByTag(34665));
            ASSERT_TRUE(outer && outer->exifIFD()) << c.name << " " << orderName(bigEndian);
            EXPECT_EQ(outer->exifIFD()->offset(), 38u) << c.name;
            ASSERT_EQ(outer->exifIFDEntries().size(), 2u) << c.name;
            EXPECT_EQ(show(outer->exifIFDEntries()[0]->parsedObjects()), "[5,]") << c.name;
            const auto inner = std::dynamic_pointer_cast<cExifIFDEntry>(outer->exifIFDEntries()[1]);
            ASSERT_TRUE(inner) << c.name;
            EXPECT_FALSE(inner->exifIFD()) << c.name << " " << orderName(bigEndian);
        }
}

TEST(cIFD, WritesItsCountAndEntriesInTheGivenByteOrder)
{
    const Bytes file = TiffBuilder(true).build({{{256, IFDTypeLONG, 1, integer(0x01020304, 4, true)},
                                                 {259, IFDTypeSHORT, 1, integer(5, 2, true)}}}).bytes;
    const auto ifds = readTiff(file);
    ASSERT_EQ(ifds.size(), 1u);
    const struct {
        bool bigEndian;
        Bytes expected;
    } cases[] = {
        {true, Bytes{0, 2, 1, 0, 0, 4, 0, 0, 0, 1, 1, 2, 3, 4, 1, 3, 0, 3, 0, 0, 0, 1, 0, 5, 0, 0}},
        {false, Bytes{2, 0, 0, 1, 4, 0, 1, 0, 0, 0, 4, 3, 2, 1, 3, 1, 3, 0, 1, 0, 0, 0, 0, 0, 5, 0}},
    };
    for (const auto& c : cases) {
        simpleOutputStream out(0);
        ifds[0]->writeToStream(out, c.bigEndian);
        EXPECT_EQ(Bytes(out.basePtr(), out.basePtr() + out.streamPosition()), c.expected) << orderName(c.bigEndian);
    }
}
