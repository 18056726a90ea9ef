#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qm {

class QMMetadataParser;

// Makes files current one after another, as a user clicking through pictures would: a cached
// parser is taken at once, otherwise the file is parsed in the background, a few files ahead of
// the one being shown; each file is handed on in the order given.
class CurrentImageSequence {
public:
    // Files parsed ahead of the one being shown.
    static constexpr std::size_t ParsesAhead = 2;

    // The parser of a file, null when its type is unknown or it cannot be read.
    using Each = std::function<void(std::size_t index, std::shared_ptr<QMMetadataParser> parser)>;

    explicit CurrentImageSequence(std::vector<std::string> files) : mFiles(std::move(files)) {}

    // Runs on the calling thread, which becomes the main thread that background parses deliver to.
    void run(const Each& each);

private:
    void start(std::size_t index);

    std::vector<std::string> mFiles;
    std::map<std::size_t, std::shared_ptr<QMMetadataParser>> mDelivered;
};

} // namespace qm
