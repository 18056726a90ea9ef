#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/ArchiveWriter.h"
#include "foundation/Log.h"
#include "foundation/PlistValue.h"

namespace qm {

// Reads back what an ArchiveWriter stored: a sequential or keyed archive, or one object's values.
// Every read that finds nothing usable gives an absent value; nothing throws.
//
// A class T is decoded by `T::initWithCoder(ArchiveReader&)`, which returns std::optional<T> or
// std::shared_ptr<T> (absent or null when the values do not make an object). The stored class
// name must equal `T::ArchiveClassName`, unless T decides itself with a static
// `decodesArchiveClass(std::string_view)` (a class with subclasses does).
class ArchiveReader {
public:
    // Absent (logged) when the data is not an archive of that kind.
    static std::optional<ArchiveReader> sequential(std::span<const std::uint8_t> data);
    static std::optional<ArchiveReader> keyed(std::span<const std::uint8_t> data);
    // The values of one stored object; absent when the item is not an object (a null object included).
    static std::optional<ArchiveReader> object(const PlistValue& item);

    const std::string& className() const { return mClassName; }
    std::int64_t version() const { return mVersion; }

    // The next value in order; absent after the last one.
    std::optional<PlistValue> decode();
    std::optional<PlistValue> decode(std::string_view key) const;
    bool atEnd() const { return mNext >= mValues.size(); }

    std::optional<std::int64_t> decodeInteger() { return integerOf(decode()); }
    std::optional<std::string> decodeString() { return stringOf(decode()); }
    std::optional<PlistData> decodeData() { return dataOf(decode()); }
    std::optional<bool> decodeBool() { return boolOf(decode()); }
    std::optional<double> decodeReal() { return realOf(decode()); }
    std::optional<std::int64_t> decodeInteger(std::string_view key) const { return integerOf(decode(key)); }
    std::optional<std::string> decodeString(std::string_view key) const { return stringOf(decode(key)); }
    std::optional<PlistData> decodeData(std::string_view key) const { return dataOf(decode(key)); }
    std::optional<bool> decodeBool(std::string_view key) const { return boolOf(decode(key)); }
    std::optional<double> decodeReal(std::string_view key) const { return realOf(decode(key)); }

    template <typename T>
    auto decodeObject() { return objectOf<T>(decode()); }
    template <typename T>
    auto decodeObject(std::string_view key) const { return objectOf<T>(decode(key)); }

    // Decodes one stored object item.
    template <typename T>
    static auto objectOf(const std::optional<PlistValue>& item) -> decltype(T::initWithCoder(std::declval<ArchiveReader&>()))
    {
        using Result = decltype(T::initWithCoder(std::declval<ArchiveReader&>()));
        if (!item)
            return Result{};
        auto reader = object(*item);
        if (!reader)
            return Result{};
        if (!decodes<T>(reader->className())) {
            Log::format("archive: found an object of class %s where another class was expected",
                        reader->className().c_str());
            return Result{};
        }
        Result result = T::initWithCoder(*reader);
        if (!result)
            Log::format("archive: an object of class %s (version %lld) does not decode", reader->className().c_str(),
                        static_cast<long long>(reader->version()));
        return result;
    }

    // The objects of a stored array that decode, in order; empty when the value is no array.
    template <typename T>
    static auto objectsOf(const std::optional<PlistValue>& array)
    {
        std::vector<decltype(objectOf<T>(std::nullopt))> objects;
        if (!array || !array->array())
            return objects;
        for (const auto& item : *array->array())
            if (auto object = objectOf<T>(item))
                objects.push_back(std::move(object));
        return objects;
    }

    static bool isNullItem(const PlistValue& item);

private:
    ArchiveReader() = default;

    template <typename T>
    static bool decodes(std::string_view className)
    {
        if constexpr (requires { T::decodesArchiveClass(className); })
            return T::decodesArchiveClass(className);
        else
            return className == T::ArchiveClassName;
    }

    static std::optional<std::int64_t> integerOf(const std::optional<PlistValue>& value);
    static std::optional<std::string> stringOf(const std::optional<PlistValue>& value);
    static std::optional<PlistData> dataOf(const std::optional<PlistValue>& value);
    static std::optional<bool> boolOf(const std::optional<PlistValue>& value);
    static std::optional<double> realOf(const std::optional<PlistValue>& value);

    std::string mClassName;
    std::int64_t mVersion = 0;
    PlistArray mValues;
    PlistDictionary mKeyedValues;
    std::size_t mNext = 0;
};

// The first object of a sequential archive, as archivedData() made it.
template <typename T>
auto unarchiveObject(std::span<const std::uint8_t> data)
{
    auto reader = ArchiveReader::sequential(data);
    using Result = decltype(ArchiveReader::objectOf<T>(std::nullopt));
    return reader ? reader->template decodeObject<T>() : Result{};
}

// A deep copy made by archiving and unarchiving.
template <typename T>
auto copyThroughArchive(const T& object)
{
    auto data = archivedData(object);
    using Result = decltype(ArchiveReader::objectOf<T>(std::nullopt));
    return data ? unarchiveObject<T>(*data) : Result{};
}

} // namespace qm
