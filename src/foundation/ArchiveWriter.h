#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/PlistValue.h"

namespace qm {

class ArchiveWriter;

// A class whose objects archive themselves: a class name and format version stored with each
// object, and the object's values written in order (and/or by key) by encodeWithCoder.
template <typename T>
concept Archivable = requires(const T& object, ArchiveWriter& writer) {
    { object.archiveClassName() } -> std::convertible_to<std::string>;
    { object.archiveVersion() } -> std::convertible_to<std::int64_t>;
    object.encodeWithCoder(writer);
};

// Collects the values of one archive level: values in order (a sequential archive, or an
// object's unkeyed values) and values by key (a keyed archive, or an object's keyed values).
// Objects are stored as property-list dictionaries carrying "$class" and "$version".
class ArchiveWriter {
public:
    void encode(PlistValue value) { mValues.push_back(std::move(value)); }
    void encode(std::string key, PlistValue value) { mKeyedValues.insert_or_assign(std::move(key), std::move(value)); }

    template <Archivable T>
    void encodeObject(const T& object) { encode(item(object)); }
    template <Archivable T>
    void encodeObject(const std::shared_ptr<T>& object) { encode(object ? item(*object) : nullItem()); }
    template <Archivable T>
    void encodeObject(std::string key, const T& object) { encode(std::move(key), item(object)); }
    template <Archivable T>
    void encodeObject(std::string key, const std::shared_ptr<T>& object)
    {
        encode(std::move(key), object ? item(*object) : nullItem());
    }

    // The stored form of one object, for containers that hold objects among other values.
    template <Archivable T>
    static PlistValue item(const T& object)
    {
        ArchiveWriter values;
        object.encodeWithCoder(values);
        return values.objectItem(object.archiveClassName(), object.archiveVersion());
    }
    static PlistValue nullItem();

    // An absent value as the null item; a present one as itself (objects as their stored form).
    template <typename T>
    static PlistValue optionalItem(const std::optional<T>& value)
    {
        if (!value)
            return nullItem();
        if constexpr (Archivable<T>)
            return item(*value);
        else
            return PlistValue(*value);
    }
    // An array of objects, a null object as the null item.
    template <Archivable T>
    static PlistArray items(const std::vector<std::shared_ptr<T>>& objects)
    {
        PlistArray stored;
        for (const auto& object : objects)
            stored.push_back(object ? item(*object) : nullItem());
        return stored;
    }

    const PlistArray& values() const { return mValues; }
    const PlistDictionary& keyedValues() const { return mKeyedValues; }

    // The archive as binary property-list data: the values in order, or the keyed values.
    // Absent (logged) when a value cannot be stored in a property list.
    std::optional<PlistData> sequentialData() const;
    std::optional<PlistData> keyedData() const;

private:
    PlistValue objectItem(const std::string& className, std::int64_t version) const;

    PlistArray mValues;
    PlistDictionary mKeyedValues;
};

// A sequential archive holding one object.
template <Archivable T>
std::optional<PlistData> archivedData(const T& object)
{
    ArchiveWriter writer;
    writer.encodeObject(object);
    return writer.sequentialData();
}

} // namespace qm
