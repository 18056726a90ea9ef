#pragma once

// Helpers shared by the property-list, bundle and user-defaults tests.

#include "foundation/PlistValue.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <unistd.h>

namespace qm {

// Lets GoogleTest show values readably when a comparison fails.
inline void PrintTo(const PlistValue& value, std::ostream* out)
{
    switch (value.type()) {
    case PlistValue::Type::Null:
        *out << "null";
        break;
    case PlistValue::Type::Boolean:
        *out << (*value.boolean() ? "true" : "false");
        break;
    case PlistValue::Type::Integer:
        *out << *value.integer();
        break;
    case PlistValue::Type::Real:
        *out << *value.real() << " (real)";
        break;
    case PlistValue::Type::String:
        *out << '"' << *value.string() << '"';
        break;
    case PlistValue::Type::Data:
        *out << "<" << value.data()->size() << " bytes>";
        break;
    case PlistValue::Type::Date:
        *out << "date(" << value.date()->secondsSinceReferenceDate << ")";
        break;
    case PlistValue::Type::Array: {
        *out << "[";
        const char* separator = "";
        for (const auto& element : *value.array()) {
            *out << separator;
            PrintTo(element, out);
            separator = ", ";
        }
        *out << "]";
        break;
    }
    case PlistValue::Type::Dictionary: {
        *out << "{";
        const char* separator = "";
        for (const auto& [key, element] : *value.dictionary()) {
            *out << separator << '"' << key << "\": ";
            PrintTo(element, out);
            separator = ", ";
        }
        *out << "}";
        break;
    }
    }
}

namespace test {

// A fresh folder under the system's temporary folder, removed with its contents afterwards.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillmark-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            mPath = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return mPath; }

private:
    std::filesystem::path mPath;
};

// Sets (or, with nothing, unsets) an environment variable while it lives.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value) : mName(std::move(name))
    {
        if (const char* old = std::getenv(mName.c_str()))
            mOld = old;
        if (value)
            ::setenv(mName.c_str(), value->c_str(), 1);
        else
            ::unsetenv(mName.c_str());
    }
    ~ScopedEnvironment()
    {
        if (mOld)
            ::setenv(mName.c_str(), mOld->c_str(), 1);
        else
            ::unsetenv(mName.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string mName;
    std::optional<std::string> mOld;
};

} // namespace test
} // namespace qm
