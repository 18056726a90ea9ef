#include <gtest/gtest.h>

#include <any>

#include "foundation/ArchiveReader.h"
#include "metadata/textEncoding.h"
#include "metadata/textEncodingTransformers.h"

using namespace qm;

TEST(textEncoding, ListIsSortedByNameAndLooksUpBothWays)
{
    const auto& all = textEncoding::allTextEncodings();
    ASSERT_EQ(all.size(), StringEncodings::available().size());
    for (std::size_t i = 1; i < all.size(); ++i)
        EXPECT_LE(all[i - 1].compare(all[i]), 0) << all[i].name();

    const auto roman = textEncoding::getTextEncodingByNumber(Encoding::MacOSRoman);
    ASSERT_TRUE(roman);
    EXPECT_EQ(textEncoding::getTextEncodingByName(roman->name()), roman);
    EXPECT_EQ(textEncoding::getRawTextEncodingByName("No Such Encoding"), Encoding::MacOSRoman);
    EXPECT_FALSE(textEncoding::getTextEncodingByNumber(2)) << "an encoding the converters lack is not listed";

    textEncoding encoding(Encoding::UTF8);
    encoding.setName("No Such Encoding");
    EXPECT_EQ(encoding.rawEncoding(), Encoding::UTF8);
    encoding.setName(roman->name());
    EXPECT_EQ(encoding, *roman);
}

TEST(textEncoding, ArchiveRoundTrip)
{
    const textEncoding latin1(Encoding::WindowsCP1252);
    EXPECT_EQ(unarchiveObject<textEncoding>(*archivedData(latin1)), latin1);
}

TEST(textEncoding, TransformersAtTheEdgesOfTheList)
{
    const auto count = static_cast<std::int64_t>(textEncoding::allTextEncodings().size());
    StringEncodingToIndexTransformer toIndex;
    const auto index = toIndex.transformedValue(std::any(Encoding::UTF8));
    ASSERT_TRUE(index.has_value());
    EXPECT_EQ(std::any_cast<std::int64_t>(toIndex.reverseTransformedValue(index)), Encoding::UTF8);
    EXPECT_FALSE(toIndex.reverseTransformedValue(std::any(count)).has_value()) << "one past the end";
    EXPECT_FALSE(toIndex.reverseTransformedValue(std::any(std::int64_t{-1})).has_value());
    EXPECT_FALSE(toIndex.transformedValue(std::any(std::int64_t{2})).has_value()) << "not in the list";
    EXPECT_FALSE(toIndex.transformedValue(std::any()).has_value());

    TextEncodingIndexToEncodingTransformer declaredOnly;
    EXPECT_TRUE(declaredOnly.allowsReverseTransformation());
    EXPECT_FALSE(declaredOnly.reverseTransformedValue(index).has_value());

    TextEncodingNumberToEncodingNameTransformer names;
    const auto name = names.transformedValue(std::any(PlistValue(12)));
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(std::any_cast<std::int64_t>(names.reverseTransformedValue(name)), 12);
    EXPECT_EQ(std::any_cast<std::int64_t>(names.reverseTransformedValue(std::any(std::string("nonsense")))), 30);

    textEncodingToEncodingNameTransformer descriptors;
    EXPECT_EQ(std::any_cast<textEncoding>(descriptors.reverseTransformedValue(name)), textEncoding(12));
    EXPECT_FALSE(descriptors.reverseTransformedValue(std::any(std::string("nonsense"))).has_value());

    registerTextEncodingTransformers();
    EXPECT_NE(ValueTransformer::valueTransformerForName("StringEncodingToIndexTransformer"), nullptr);
}
