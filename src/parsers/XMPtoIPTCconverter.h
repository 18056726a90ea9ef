#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <tinyxml.h>

#include "metadata/cIPTCRecord.h"

namespace qm {

// Converts XMP packets to IPTC records of the application record (2:xx), and writes one record's
// value back into an existing XMP property, through the table resource "XmpToIptcData"
// (qualified XMP element name → record-2 dataset number).
class XMPtoIPTCconverter {
public:
    using AttributeMap = std::map<std::string, std::string>;

    explicit XMPtoIPTCconverter(std::string_view packet);
    explicit XMPtoIPTCconverter(std::unique_ptr<TiXmlDocument> document);

    const TiXmlDocument* XMLDoc() const { return mXMLDoc.get(); }

    // Nothing (logged) for an empty packet; one record per table entry found, in UTF-8.
    static std::optional<IPTCRecordArray> XMPToIPTCRecordArray(std::string_view packet);
    static IPTCRecordArray tinyXmlToIPTCRecordArray(const TiXmlDocument& document);
    // The packet re-printed with the record's text in the table's property; the packet itself
    // when the record is not of record 2, the property is missing or the packet does not parse
    // completely.
    static std::string updateXMP(std::string_view packet, const cIPTCRecord& record);
    // The first table key (in key order) mapped to the dataset number.
    static std::optional<std::string> XMPDescriptorForIPTCCode(std::int32_t dataSet);
    // Building packets from records is not provided: answers a fixed text.
    static std::string IPTCRecordArrayToXMP(const IPTCRecordArray& records);

    // Depth-first, in document order, below `node` (not `node` itself).
    static const TiXmlNode* DeepXmlChildNodeWithValue(const TiXmlNode* node, std::string_view value);
    static TiXmlNode* DeepXmlChildNodeWithValue(TiXmlNode* node, std::string_view value);
    static const TiXmlNode* DeepXmlChildNodeOfType(const TiXmlNode* node, TiXmlNode::NodeType type);
    static TiXmlNode* DeepXmlChildNodeOfType(TiXmlNode* node, TiXmlNode::NodeType type);

    // The attribute of the element, or of its first child element that has it.
    static std::optional<std::string> XmlNodeAttributeValue(const TiXmlNode* node, std::string_view attributeName);
    static bool XmlNodeHasAttribute(const TiXmlNode* node, std::string_view attributeName);
    static bool XmlNodeHasAttributeWithValue(const TiXmlNode* node, std::string_view attributeName,
                                             std::string_view attributeValue);
    // Every key present; with matchValues, with the map's values too.
    static bool XmlNodeHasAttributes(const TiXmlNode* node, const AttributeMap& attributes, bool matchValues);
    static const TiXmlNode* XmlChildNodeWithAttributes(const TiXmlNode* node, const AttributeMap& attributes,
                                                       bool matchValues);
    static const TiXmlNode* DeepXmlChildNodeWithAttributes(const TiXmlNode* node, const AttributeMap& attributes,
                                                           bool matchValues);

private:
    std::unique_ptr<TiXmlDocument> mXMLDoc;
};

} // namespace qm
