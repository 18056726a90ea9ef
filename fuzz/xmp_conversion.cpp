// XMP packets: conversion to IPTC records, and writing a record's value back into the packet.
#include "FuzzSupport.h"

#include <string>
#include <string_view>

#include "parsers/XMPtoIPTCconverter.h"

namespace {

using namespace qm;

std::shared_ptr<cIPTCRecord> textRecord(std::uint8_t dataSet, std::string_view text)
{
    auto record = std::make_shared<cIPTCRecord>(2, dataSet, cIPTCRecord::Bytes(text.begin(), text.end()));
    record->setTextEncoding(Encoding::UTF8);
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    static const auto headline = textRecord(105, "Fuzzed headline \xC3\xA5\xC3\xA4\xC3\xB6 <&>");
    static const auto dateCreated = textRecord(55, "20240611");
    const std::string_view packet(reinterpret_cast<const char*>(bytes), size);
    if (const auto records = XMPtoIPTCconverter::XMPToIPTCRecordArray(packet))
        for (const auto& record : *records)
            record->dataAsFormattedString();
    XMPtoIPTCconverter::updateXMP(packet, *headline);
    XMPtoIPTCconverter::updateXMP(packet, *dateCreated);
    return 0;
}
