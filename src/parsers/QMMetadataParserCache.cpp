#include "parsers/QMMetadataParserCache.h"

#include <sys/stat.h>

namespace qm {

std::optional<QMMetadataParserCache::FileVersion> QMMetadataParserCache::FileVersion::of(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileVersion{static_cast<std::uint64_t>(status.st_size), static_cast<std::uint64_t>(status.st_ino),
                       static_cast<std::uint64_t>(status.st_dev), status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
}

QMMetadataParserCache& QMMetadataParserCache::sharedInstance()
{
    static QMMetadataParserCache cache;
    return cache;
}

std::shared_ptr<QMMetadataParser> QMMetadataParserCache::CachedMetadataParserForPath(const std::string& path)
{
    return sharedInstance().find(path);
}

std::shared_ptr<QMMetadataParser> QMMetadataParserCache::MetadataParserForPath(const std::string& path, bool parse)
{
    if (path.empty())
        return nullptr;
    auto& cache = sharedInstance();
    if (auto cached = cache.find(path))
        return cached;
    const auto version = FileVersion::of(path);
    auto parser = QMMetadataParser::MetadataParserForPath(path, parse);
    if (parser)
        cache.store(path, parser, version);
    return parser;
}

void QMMetadataParserCache::flush()
{
    auto& cache = sharedInstance();
    std::lock_guard lock(cache.mMutex);
    cache.mEntries.clear();
    cache.mRecency.clear();
    cache.mHeldBytes = 0;
}

void QMMetadataParserCache::flushParserForPath(const std::string& path)
{
    auto& cache = sharedInstance();
    std::lock_guard lock(cache.mMutex);
    cache.removeLocked(path);
}

void QMMetadataParserCache::setUseCache(bool useCache)
{
    {
        auto& cache = sharedInstance();
        std::lock_guard lock(cache.mMutex);
        cache.mUseCache = useCache;
    }
    if (!useCache)
        flush();
}

bool QMMetadataParserCache::useCache()
{
    auto& cache = sharedInstance();
    std::lock_guard lock(cache.mMutex);
    return cache.mUseCache;
}

void QMMetadataParserCache::setBudget(std::size_t bytes, std::size_t count)
{
    auto& cache = sharedInstance();
    std::lock_guard lock(cache.mMutex);
    cache.mByteBudget = bytes;
    cache.mCountBudget = count;
    cache.evictLocked();
}

std::size_t QMMetadataParserCache::count() const
{
    std::lock_guard lock(mMutex);
    return mEntries.size();
}

std::size_t QMMetadataParserCache::heldByteCount() const
{
    std::lock_guard lock(mMutex);
    return mHeldBytes;
}

// One stat a look-up, outside the lock; a parser of another version of the file is dropped.
std::shared_ptr<QMMetadataParser> QMMetadataParserCache::find(const std::string& path)
{
    const auto version = FileVersion::of(path);
    std::lock_guard lock(mMutex);
    if (!mUseCache)
        return nullptr;
    auto found = mEntries.find(path);
    if (found == mEntries.end())
        return nullptr;
    if (found->second.version != version) {
        removeLocked(path);
        return nullptr;
    }
    mRecency.splice(mRecency.begin(), mRecency, found->second.recency);
    return found->second.parser;
}

void QMMetadataParserCache::store(const std::string& path, const std::shared_ptr<QMMetadataParser>& parser,
                                  const std::optional<FileVersion>& version)
{
    const std::size_t bytes = parser->heldByteCount();
    std::lock_guard lock(mMutex);
    if (!mUseCache)
        return;
    removeLocked(path);
    mRecency.push_front(path);
    mEntries.emplace(path, Entry{parser, version, bytes, mRecency.begin()});
    mHeldBytes += bytes;
    evictLocked();
}

void QMMetadataParserCache::removeLocked(const std::string& path)
{
    auto found = mEntries.find(path);
    if (found == mEntries.end())
        return;
    mHeldBytes -= found->second.bytes;
    mRecency.erase(found->second.recency);
    mEntries.erase(found);
}

// The newest entry stays even when it alone exceeds the budget: it is the file in use.
void QMMetadataParserCache::evictLocked()
{
    while (mEntries.size() > 1 && (mHeldBytes > mByteBudget || mEntries.size() > mCountBudget))
        removeLocked(mRecency.back());
}

} // namespace qm
