#pragma once

#include "parsers/QMMetadataParser.h"

namespace qm::test {

// A parser that holds the datasets and packet it was given, as if it had read them from a file.
class HeldParser : public QMMetadataParser {
public:
    HeldParser(IPTCRecordArray records, std::optional<std::string> xmp, std::string path = "/held.jpg")
        : QMMetadataParser(std::move(path)), mRecords(std::move(records)), mXMP(std::move(xmp))
    {
    }
    const char* className() const override { return "HeldParser"; }
    bool parseImageStream(simpleStream&, Error*) override { return true; }
    std::optional<IPTCRecordArray> IPTCRecords() const override { return mRecords; }
    void setIPTCRecords(std::optional<IPTCRecordArray> records) override { mRecords = std::move(records); }
    std::optional<std::string> XMP() const override { return mXMP; }
    void setXMP(std::optional<std::string> packet) override { mXMP = std::move(packet); }

private:
    std::optional<IPTCRecordArray> mRecords;
    std::optional<std::string> mXMP;
};

} // namespace qm::test
