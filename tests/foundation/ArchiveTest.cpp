#include <gtest/gtest.h>

#include "foundation/ArchiveReader.h"
#include "foundation/ArchiveWriter.h"
#include "foundation/Log.h"

using namespace qm;

namespace {

// A small class with a value in order, a keyed value and a nested object, as model classes archive.
struct Point {
    static constexpr const char* ArchiveClassName = "Point";
    std::int64_t x = 0;
    std::string label;
    std::shared_ptr<Point> next;

    std::string archiveClassName() const { return ArchiveClassName; }
    std::int64_t archiveVersion() const { return 2; }
    void encodeWithCoder(ArchiveWriter& coder) const
    {
        coder.encode(PlistValue(x));
        coder.encode("label", PlistValue(label));
        coder.encodeObject(next);
    }
    static std::shared_ptr<Point> initWithCoder(ArchiveReader& coder)
    {
        auto x = coder.decodeInteger();
        if (!x || coder.version() != 2)
            return nullptr;
        auto point = std::make_shared<Point>();
        point->x = *x;
        point->label = coder.decodeString("label").value_or("");
        point->next = coder.decodeObject<Point>();
        return point;
    }
};

struct Other {
    static constexpr const char* ArchiveClassName = "Other";
    std::string archiveClassName() const { return ArchiveClassName; }
    std::int64_t archiveVersion() const { return 1; }
    void encodeWithCoder(ArchiveWriter&) const {}
    static std::optional<Other> initWithCoder(ArchiveReader&) { return Other{}; }
};

} // namespace

TEST(Archive, SequentialArchiveKeepsValuesAndObjectsInOrder)
{
    auto chain = std::make_shared<Point>(Point{1, "first", std::make_shared<Point>(Point{2, "second", nullptr})});
    ArchiveWriter writer;
    writer.encode(PlistValue("before"));
    writer.encodeObject(chain);
    writer.encodeObject(std::shared_ptr<Point>());
    writer.encode(PlistValue(PlistData{1, 2, 3}));
    auto data = writer.sequentialData();
    ASSERT_TRUE(data);

    auto reader = ArchiveReader::sequential(*data);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->decodeString(), "before");
    auto point = reader->decodeObject<Point>();
    ASSERT_TRUE(point && point->next);
    EXPECT_EQ(point->x, 1);
    EXPECT_EQ(point->label, "first");
    EXPECT_EQ(point->next->label, "second");
    EXPECT_EQ(point->next->next, nullptr);
    EXPECT_EQ(reader->decodeObject<Point>(), nullptr) << "a null object stays null";
    EXPECT_EQ(reader->decodeData(), (PlistData{1, 2, 3}));
    EXPECT_TRUE(reader->atEnd());
    EXPECT_EQ(reader->decode(), std::nullopt);
}

TEST(Archive, KeyedArchiveAndDeepCopy)
{
    ArchiveWriter writer;
    writer.encodeObject("point", Point{7, "seven", nullptr});
    writer.encode("count", PlistValue(3));
    auto reader = ArchiveReader::keyed(*writer.keyedData());
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->decodeInteger("count"), 3);
    EXPECT_EQ(reader->decodeObject<Point>("point")->label, "seven");
    EXPECT_EQ(reader->decodeObject<Point>("missing"), nullptr);

    auto copy = copyThroughArchive(Point{9, "nine", std::make_shared<Point>()});
    ASSERT_TRUE(copy && copy->next);
    EXPECT_EQ(copy->label, "nine");
}

TEST(Archive, WhatDoesNotDecodeIsAbsentAndLogged)
{
    LogCapture log;
    const PlistData garbage{'n', 'o', 't', ' ', 'a', 'n', ' ', 'a', 'r', 'c', 'h', 'i', 'v', 'e'};
    EXPECT_EQ(unarchiveObject<Point>(garbage), nullptr);
    EXPECT_FALSE(ArchiveReader::keyed(*ArchiveWriter().sequentialData())) << "a sequential archive is not keyed";

    EXPECT_FALSE(unarchiveObject<Other>(*archivedData(Point{})).has_value()) << "another class";
    EXPECT_TRUE(log.contains("class Point where another class was expected"));

    struct OldPoint : Point {
        std::int64_t archiveVersion() const { return 1; }
    };
    EXPECT_EQ(unarchiveObject<Point>(*archivedData(OldPoint{})), nullptr) << "a version the class refuses";
    EXPECT_TRUE(log.contains("an object of class Point (version 1) does not decode"));
}
