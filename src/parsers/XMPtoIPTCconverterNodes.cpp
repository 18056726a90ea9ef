// Searches and attribute queries over TinyXML nodes.
#include "parsers/XMPtoIPTCconverter.h"

#include "foundation/Log.h"

namespace qm {

namespace {

// The node after `current` in document order, staying below `root`; null after the last one.
// Iterative, so the depth of a document never matters.
const TiXmlNode* nextBelow(const TiXmlNode* current, const TiXmlNode* root)
{
    if (const TiXmlNode* child = current->FirstChild())
        return child;
    for (; current != root; current = current->Parent())
        if (const TiXmlNode* sibling = current->NextSibling())
            return sibling;
    return nullptr;
}

template <typename Predicate>
const TiXmlNode* findBelow(const TiXmlNode* root, Predicate matches)
{
    if (!root)
        return nullptr;
    for (const TiXmlNode* node = nextBelow(root, root); node; node = nextBelow(node, root))
        if (matches(*node))
            return node;
    return nullptr;
}

const std::string* attribute(const TiXmlNode* node, std::string_view name)
{
    const TiXmlElement* element = node ? node->ToElement() : nullptr;
    return element ? element->Attribute(std::string(name)) : nullptr;
}

} // namespace

const TiXmlNode* XMPtoIPTCconverter::DeepXmlChildNodeWithValue(const TiXmlNode* node, std::string_view value)
{
    return findBelow(node, [value](const TiXmlNode& candidate) { return candidate.ValueStr() == value; });
}

TiXmlNode* XMPtoIPTCconverter::DeepXmlChildNodeWithValue(TiXmlNode* node, std::string_view value)
{
    return const_cast<TiXmlNode*>(DeepXmlChildNodeWithValue(static_cast<const TiXmlNode*>(node), value));
}

const TiXmlNode* XMPtoIPTCconverter::DeepXmlChildNodeOfType(const TiXmlNode* node, TiXmlNode::NodeType type)
{
    return findBelow(node, [type](const TiXmlNode& candidate) { return candidate.Type() == type; });
}

TiXmlNode* XMPtoIPTCconverter::DeepXmlChildNodeOfType(TiXmlNode* node, TiXmlNode::NodeType type)
{
    return const_cast<TiXmlNode*>(DeepXmlChildNodeOfType(static_cast<const TiXmlNode*>(node), type));
}

std::optional<std::string> XMPtoIPTCconverter::XmlNodeAttributeValue(const TiXmlNode* node,
                                                                     std::string_view attributeName)
{
    if (const std::string* value = attribute(node, attributeName))
        return *value;
    for (const TiXmlElement* child = node ? node->FirstChildElement() : nullptr; child;
         child = child->NextSiblingElement())
        if (const std::string* value = attribute(child, attributeName))
            return *value;
    return std::nullopt;
}

bool XMPtoIPTCconverter::XmlNodeHasAttribute(const TiXmlNode* node, std::string_view attributeName)
{
    return attribute(node, attributeName) != nullptr;
}

bool XMPtoIPTCconverter::XmlNodeHasAttributeWithValue(const TiXmlNode* node, std::string_view attributeName,
                                                      std::string_view attributeValue)
{
    const std::string* value = attribute(node, attributeName);
    return value && *value == attributeValue;
}

bool XMPtoIPTCconverter::XmlNodeHasAttributes(const TiXmlNode* node, const AttributeMap& attributes,
                                              bool matchValues)
{
    if (!node || !node->ToElement())
        return false;
    for (const auto& [name, value] : attributes)
        if (matchValues ? !XmlNodeHasAttributeWithValue(node, name, value) : !XmlNodeHasAttribute(node, name))
            return false;
    return true;
}

const TiXmlNode* XMPtoIPTCconverter::XmlChildNodeWithAttributes(const TiXmlNode* node,
                                                                const AttributeMap& attributes, bool matchValues)
{
    for (const TiXmlNode* child = node ? node->FirstChild() : nullptr; child; child = child->NextSibling())
        if (XmlNodeHasAttributes(child, attributes, matchValues))
            return child;
    return nullptr;
}

const TiXmlNode* XMPtoIPTCconverter::DeepXmlChildNodeWithAttributes(const TiXmlNode* node,
                                                                    const AttributeMap& attributes,
                                                                    bool matchValues)
{
    return findBelow(node, [&](const TiXmlNode& candidate) {
        if (XmlNodeHasAttributes(&candidate, attributes, matchValues)) {
            Log::message("found");
            return true;
        }
        Log::format("going deeper with %s", Log::excerpt(candidate.Value()).c_str());
        return false;
    });
}

} // namespace qm
