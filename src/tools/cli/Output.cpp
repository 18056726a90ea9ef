#include "Output.h"

#include "foundation/ControlCharacters.h"

#include <cstdio>

namespace qm::cli {

std::string escapeField(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        if (c == '\\')
            escaped += "\\\\";
        else
            ControlCharacters::appendEscaped(escaped, c);
    }
    return escaped;
}

std::string jsonString(std::string_view text)
{
    std::string json = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': json += "\\\""; break;
        case '\\': json += "\\\\"; break;
        case '\n': json += "\\n"; break;
        case '\r': json += "\\r"; break;
        case '\t': json += "\\t"; break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                json += escape;
            } else {
                json += c;
            }
        }
    }
    return json + "\"";
}

std::string hexString(const PlistData& data)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (auto byte : data) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0xF];
    }
    return hex;
}

namespace {

std::string realText(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

} // namespace

std::string jsonValue(const PlistValue& value)
{
    switch (value.type()) {
    case PlistValue::Type::Null: return "null";
    case PlistValue::Type::Boolean: return *value.boolean() ? "true" : "false";
    case PlistValue::Type::Integer: return std::to_string(*value.integer());
    case PlistValue::Type::Real: return realText(*value.real());
    case PlistValue::Type::String: return jsonString(*value.string());
    case PlistValue::Type::Data: return jsonString(hexString(*value.data()));
    case PlistValue::Type::Date: return realText(value.date()->secondsSinceReferenceDate);
    case PlistValue::Type::Array: {
        std::string json = "[";
        for (const auto& element : *value.array())
            json += (json.size() > 1 ? "," : "") + jsonValue(element);
        return json + "]";
    }
    case PlistValue::Type::Dictionary: {
        std::string json = "{";
        for (const auto& [key, element] : *value.dictionary())
            json += (json.size() > 1 ? "," : "") + jsonString(key) + ":" + jsonValue(element);
        return json + "}";
    }
    }
    return "null";
}

std::string plainValue(const PlistValue& value)
{
    switch (value.type()) {
    case PlistValue::Type::String: return *value.string();
    case PlistValue::Type::Data: return hexString(*value.data());
    default: return jsonValue(value);
    }
}

} // namespace qm::cli
