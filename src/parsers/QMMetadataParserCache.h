#pragma once

#include <cstddef>
#include <filesystem>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "parsers/QMMetadataParser.h"

namespace qm {

// The process's parsers by path, so that a file is parsed once while it stays in the cache.
// The most recently used parsers are kept up to a memory budget (bytes the parsers hold) and a
// count; beyond either, the least recently used are dropped and parsed again when asked for.
// Each parser remembers the file's size, modification time and inode as they were before it read
// the file: a file changed since (rewritten, or replaced by a rename) is parsed again.
// Safe to use from any thread: one lock guards the table (never held while a file is parsed).
class QMMetadataParserCache {
public:
    static constexpr std::size_t DefaultByteBudget = 256u * 1024 * 1024;
    static constexpr std::size_t DefaultCountBudget = 2000;

    static QMMetadataParserCache& sharedInstance();

    // The cached parser, or null; never makes one.
    static std::shared_ptr<QMMetadataParser> CachedMetadataParserForPath(const std::string& path);
    // The cached parser, else a new one from the factory (parsed when asked), cached when caching is on.
    static std::shared_ptr<QMMetadataParser> MetadataParserForPath(const std::string& path, bool parse = false);
    static void flush();
    static void flushParserForPath(const std::string& path);
    static void setUseCache(bool useCache);
    static bool useCache();
    static void setBudget(std::size_t bytes, std::size_t count);

    std::size_t count() const;
    std::size_t heldByteCount() const;

    // What tells one version of a file from another; none when the file cannot be reached.
    struct FileVersion {
        std::uint64_t size = 0, inode = 0, device = 0;
        std::int64_t modifiedSeconds = 0, modifiedNanoseconds = 0;
        bool operator==(const FileVersion&) const = default;
        static std::optional<FileVersion> of(const std::string& path);
    };

private:
    struct Entry {
        std::shared_ptr<QMMetadataParser> parser;
        std::optional<FileVersion> version;
        std::size_t bytes;
        std::list<std::string>::iterator recency;
    };

    std::shared_ptr<QMMetadataParser> find(const std::string& path);
    void store(const std::string& path, const std::shared_ptr<QMMetadataParser>& parser,
               const std::optional<FileVersion>& version);
    void removeLocked(const std::string& path);
    void evictLocked();

    mutable std::mutex mMutex;
    std::unordered_map<std::string, Entry> mEntries;
    std::list<std::string> mRecency; // most recent first
    std::size_t mHeldBytes = 0;
    std::size_t mByteBudget = DefaultByteBudget;
    std::size_t mCountBudget = DefaultCountBudget;
    bool mUseCache = true;
};

} // namespace qm
