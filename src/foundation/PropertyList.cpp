#include "foundation/PropertyList.h"

#include "foundation/Log.h"
#include "foundation/PlistInputCheck.h"

#include <plist/plist.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxDepth = PlistInputCheck::kMaxDepth;
constexpr std::string_view kBinaryMagic = PlistInputCheck::kBinaryMagic;

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistHandle = std::unique_ptr<void, PlistDeleter>;

struct MallocDeleter {
    void operator()(char* text) const { std::free(text); }
};
using MallocText = std::unique_ptr<char, MallocDeleter>;

// ---------------------------------------------------------------------------------------------
// Checks on values before they are written

bool isValidUtf8(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    for (size_t i = 0; i < size;) {
        const unsigned char lead = bytes[i];
        if (lead == 0)
            return false; // libplist keeps strings as C strings
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length;
        std::uint32_t code;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > size)
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (bytes[i + k] & 0x3F);
        }
        static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

// libplist 2.2 keeps dates as whole seconds in 32 bits plus microseconds.
bool dateFits(const PlistDate& date)
{
    const double seconds = std::trunc(date.secondsSinceReferenceDate);
    return std::isfinite(seconds) && seconds >= INT32_MIN + 1.0 && seconds <= INT32_MAX;
}

bool canStore(const PlistValue& value, std::string& reason, size_t depth = 0)
{
    if (depth > kMaxDepth) {
        reason = "it is nested too deeply";
        return false;
    }
    switch (value.type()) {
    case PlistValue::Type::Null:
        reason = "it holds a null value";
        return false;
    case PlistValue::Type::String:
        if (!isValidUtf8(*value.string())) {
            reason = "a string is not valid UTF-8 or holds a NUL character";
            return false;
        }
        return true;
    case PlistValue::Type::Date:
        if (!dateFits(*value.date())) {
            reason = "a date lies outside 1933-2069";
            return false;
        }
        return true;
    case PlistValue::Type::Array:
        for (const auto& element : *value.array())
            if (!canStore(element, reason, depth + 1))
                return false;
        return true;
    case PlistValue::Type::Dictionary:
        for (const auto& [key, element] : *value.dictionary()) {
            if (!isValidUtf8(key)) {
                reason = "a key is not valid UTF-8 or holds a NUL character";
                return false;
            }
            if (!canStore(element, reason, depth + 1))
                return false;
        }
        return true;
    default:
        return true;
    }
}

// ---------------------------------------------------------------------------------------------
// PlistValue -> libplist

plist_t newDate(const PlistDate& date)
{
    // libplist stores sec + usec / 1e6, with usec signed.
    const double seconds = date.secondsSinceReferenceDate;
    const double whole = std::trunc(seconds);
    auto micro = static_cast<std::int32_t>(std::llround((seconds - whole) * 1e6));
    return plist_new_date(static_cast<std::int32_t>(whole), micro);
}

plist_t toNode(const PlistValue& value)
{
    switch (value.type()) {
    case PlistValue::Type::Boolean:
        return plist_new_bool(*value.boolean() ? 1 : 0);
    case PlistValue::Type::Integer:
        // libplist keeps every integer as uint64 and writes values with the high bit set as signed.
        return plist_new_uint(static_cast<std::uint64_t>(*value.integer()));
    case PlistValue::Type::Real:
        return plist_new_real(*value.real());
    case PlistValue::Type::String:
        return plist_new_string(value.string()->c_str());
    case PlistValue::Type::Data: {
        const auto& bytes = *value.data();
        return plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    case PlistValue::Type::Date:
        return newDate(*value.date());
    case PlistValue::Type::Array: {
        plist_t array = plist_new_array();
        for (const auto& element : *value.array())
            plist_array_append_item(array, toNode(element));
        return array;
    }
    case PlistValue::Type::Dictionary: {
        plist_t dictionary = plist_new_dict();
        for (const auto& [key, element] : *value.dictionary())
            plist_dict_set_item(dictionary, key.c_str(), toNode(element));
        return dictionary;
    }
    case PlistValue::Type::Null:
        break;
    }
    return nullptr; // canStore() refuses nulls before we get here
}

// ---------------------------------------------------------------------------------------------
// libplist -> PlistValue

std::string nodeAsXml(plist_t node)
{
    PlistHandle copy(plist_copy(node));
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(static_cast<plist_t>(copy.get()), &xml, &length);
    if (!xml)
        return {};
    std::string text(xml, length);
    plist_to_xml_free(xml);
    return text;
}

// The text between <tag> and </tag> of a single node written as XML.
std::string xmlElementText(plist_t node, std::string_view tag)
{
    const std::string xml = nodeAsXml(node);
    const std::string open = "<" + std::string(tag) + ">";
    const auto start = xml.find(open);
    if (start == std::string::npos)
        return {};
    const auto end = xml.find('<', start + open.size());
    return xml.substr(start + open.size(), end == std::string::npos ? 0 : end - start - open.size());
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian calendar).
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

std::optional<PlistValue> dateFromNode(plist_t node)
{
    std::int32_t seconds = 0;
    std::int32_t micro = 0;
    plist_get_date_val(node, &seconds, &micro);
    if (seconds != INT32_MIN) {
        // libplist answers trunc(value) and |fraction| * 1e6, so within the second after
        // 2001-01-01 and the second before it the sign is lost: such dates read as after.
        const double fraction = micro / 1e6;
        return PlistValue(PlistDate{seconds < 0 ? seconds - fraction : seconds + fraction});
    }
    // Beyond 32 bits libplist's accessor saturates, but its XML writer still knows the date
    // to the second.
    const std::string text = xmlElementText(node, "date");
    long long year = 0;
    unsigned month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (std::sscanf(text.c_str(), "%lld-%u-%uT%u:%u:%uZ", &year, &month, &day, &hour, &minute, &second) != 6)
        return std::nullopt;
    constexpr std::int64_t kReferenceDate = 978307200; // 2001-01-01 in Unix time
    const std::int64_t unix = daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return PlistValue(PlistDate{static_cast<double>(unix - kReferenceDate)});
}

std::optional<PlistValue> integerFromNode(plist_t node)
{
    std::uint64_t value = 0;
    plist_get_uint_val(node, &value);
    if (value <= static_cast<std::uint64_t>(INT64_MAX))
        return PlistValue(static_cast<std::int64_t>(value));
    // The high bit is set: a negative number, or an unsigned one above INT64_MAX (which libplist
    // writes without a sign). Only its XML form tells them apart.
    const std::string text = xmlElementText(node, "integer");
    if (!text.empty() && text.front() == '-')
        return PlistValue(static_cast<std::int64_t>(value));
    Log::format("PropertyList: the integer %s does not fit 64 signed bits; it is read as a real number",
                Log::excerpt(text).c_str());
    return PlistValue(static_cast<double>(value));
}

std::optional<PlistValue> fromNode(plist_t node, std::string& reason);

std::optional<PlistValue> arrayFromNode(plist_t node, std::string& reason)
{
    PlistArray elements;
    const std::uint32_t count = plist_array_get_size(node);
    elements.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        auto element = fromNode(plist_array_get_item(node, i), reason);
        if (!element)
            return std::nullopt;
        elements.push_back(std::move(*element));
    }
    return PlistValue(std::move(elements));
}

std::optional<PlistValue> dictionaryFromNode(plist_t node, std::string& reason)
{
    PlistDictionary members;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    if (!iterator)
        return PlistValue(std::move(members));
    bool ok = true;
    while (ok) {
        char* rawKey = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, iterator, &rawKey, &item);
        MallocText key(rawKey);
        if (!key || !item)
            break;
        if (!isValidUtf8(key.get())) {
            reason = "a key is not valid UTF-8";
            ok = false;
            break;
        }
        auto element = fromNode(item, reason);
        if (!element) {
            ok = false;
            break;
        }
        members.insert_or_assign(std::string(key.get()), std::move(*element));
    }
    std::free(iterator);
    if (!ok)
        return std::nullopt;
    return PlistValue(std::move(members));
}

std::optional<PlistValue> fromNode(plist_t node, std::string& reason)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return PlistValue(value != 0);
    }
    case PLIST_UINT:
        return integerFromNode(node);
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return PlistValue(value);
    }
    case PLIST_STRING: {
        char* raw = nullptr;
        plist_get_string_val(node, &raw);
        MallocText text(raw);
        if (!text)
            return PlistValue(std::string());
        if (!isValidUtf8(text.get())) {
            reason = "a string is not valid UTF-8";
            return std::nullopt;
        }
        return PlistValue(std::string(text.get()));
    }
    case PLIST_DATA: {
        char* raw = nullptr;
        std::uint64_t length = 0;
        plist_get_data_val(node, &raw, &length);
        MallocText bytes(raw);
        const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes.get());
        return PlistValue(begin ? PlistData(begin, begin + length) : PlistData());
    }
    case PLIST_DATE:
        return dateFromNode(node);
    case PLIST_ARRAY:
        return arrayFromNode(node, reason);
    case PLIST_DICT:
        return dictionaryFromNode(node, reason);
    case PLIST_UID: {
        // As Apple's XML form writes a UID.
        std::uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return PlistValue(PlistDictionary{{"CF$UID", PlistValue(static_cast<std::int64_t>(value))}});
    }
    default:
        reason = "it holds a value of an unknown type";
        return std::nullopt;
    }
}

// ---------------------------------------------------------------------------------------------
// Files

std::string errorText(int error)
{
    return std::strerror(error);
}

mode_t defaultFileMode()
{
    // The process's umask, read without changing it (umask() is not thread-safe).
    mode_t mask = 022;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
            break;
        }
    }
    return 0666 & ~mask;
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t result = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (result < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        written += static_cast<size_t>(result);
    }
    return true;
}

void syncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool writeBytesAtomically(fs::path path, std::span<const std::uint8_t> bytes)
{
    std::error_code error;
    // Replace the file a symbolic link points to, not the link.
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        auto target = fs::weakly_canonical(path, error);
        if (!error)
            path = target;
    }
    fs::path folder = path.parent_path();
    if (folder.empty())
        folder = ".";
    fs::create_directories(folder, error);
    if (error) {
        Log::format("PropertyList: cannot create the folder \"%s\": %s", folder.c_str(), error.message().c_str());
        return false;
    }

    std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        Log::format("PropertyList: cannot create a temporary file in \"%s\": %s", folder.c_str(),
                    errorText(errno).c_str());
        return false;
    }
    struct stat existing {};
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : defaultFileMode();

    const char* failedStep = nullptr;
    int failure = 0;
    if (!writeAll(fd, bytes))
        failedStep = "write";
    else if (::fchmod(fd, mode) != 0)
        failedStep = "set the permissions of";
    else if (::fsync(fd) != 0)
        failedStep = "flush";
    failure = errno;
    if (::close(fd) != 0 && !failedStep) {
        failedStep = "close";
        failure = errno;
    }
    if (!failedStep && ::rename(temporary.c_str(), path.c_str()) != 0) {
        failedStep = "replace";
        failure = errno;
    }
    if (failedStep) {
        ::unlink(temporary.c_str());
        Log::format("PropertyList: cannot %s \"%s\": %s", failedStep, path.c_str(), errorText(failure).c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

} // namespace

// ---------------------------------------------------------------------------------------------

std::optional<PlistValue> PropertyList::fromBytes(std::span<const std::uint8_t> bytes)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const bool binary = text.starts_with(kBinaryMagic);
    if (bytes.empty() || bytes.size() > UINT32_MAX) {
        Log::format("PropertyList: cannot read a property list of %zu bytes", bytes.size());
        return std::nullopt;
    }
    std::string reason;
    const bool acceptable = binary ? PlistInputCheck::binaryIsAcceptable(bytes, reason)
                                   : PlistInputCheck::xmlIsAcceptable(text, reason);
    if (!acceptable) {
        Log::format("PropertyList: refused %s property list: %s", binary ? "a binary" : "an XML", reason.c_str());
        return std::nullopt;
    }

    plist_t raw = nullptr;
    if (binary)
        plist_from_bin(text.data(), static_cast<std::uint32_t>(text.size()), &raw);
    else
        plist_from_xml(text.data(), static_cast<std::uint32_t>(text.size()), &raw);
    PlistHandle root(raw);
    if (!root) {
        Log::format("PropertyList: cannot parse the %s property list (%zu bytes)", binary ? "binary" : "XML",
                    bytes.size());
        return std::nullopt;
    }
    auto value = fromNode(raw, reason);
    if (!value)
        Log::format("PropertyList: cannot read the property list: %s", reason.c_str());
    return value;
}

std::optional<std::vector<std::uint8_t>> PropertyList::toBytes(const PlistValue& value, PlistFormat format)
{
    std::string reason;
    if (!canStore(value, reason)) {
        Log::format("PropertyList: cannot write the value as a property list: %s", reason.c_str());
        return std::nullopt;
    }
    PlistHandle root(toNode(value));
    char* output = nullptr;
    std::uint32_t length = 0;
    if (format == PlistFormat::Xml)
        plist_to_xml(static_cast<plist_t>(root.get()), &output, &length);
    else
        plist_to_bin(static_cast<plist_t>(root.get()), &output, &length);
    if (!output) {
        Log::message("PropertyList: libplist could not write the property list");
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(output, output + length);
    if (format == PlistFormat::Xml)
        plist_to_xml_free(output);
    else
        plist_to_bin_free(output);
    return bytes;
}

std::optional<PlistValue> PropertyList::readFile(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // A missing file is an ordinary answer; callers that need it to exist say so themselves.
        if (errno != ENOENT && errno != ENOTDIR)
            Log::format("PropertyList: cannot open \"%s\": %s", path.c_str(), errorText(errno).c_str());
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            Log::format("PropertyList: cannot read \"%s\": %s", path.c_str(), errorText(errno).c_str());
            ::close(fd);
            return std::nullopt;
        }
        if (count == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    ::close(fd);
    auto value = fromBytes(bytes);
    if (!value)
        Log::format("PropertyList: \"%s\" is not a readable property list", path.c_str());
    return value;
}

bool PropertyList::writeFileAtomically(const std::filesystem::path& path, const PlistValue& value, PlistFormat format)
{
    auto bytes = toBytes(value, format);
    if (!bytes) {
        Log::format("PropertyList: nothing written to \"%s\"", path.c_str());
        return false;
    }
    return writeBytesAtomically(path, *bytes);
}

} // namespace qm
