#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace qm {

// Lets observers hear that a named property of an object is about to change and has changed.
class KeyValueObservable {
public:
    enum class Change { Will, Did };
    using Observer = std::function<void(const std::string& key, Change change)>;
    using ObserverId = std::uint64_t;

    KeyValueObservable() = default;
    KeyValueObservable(const KeyValueObservable&) : KeyValueObservable() {}
    KeyValueObservable& operator=(const KeyValueObservable&) { return *this; }
    virtual ~KeyValueObservable() = default;

    // An empty key observes every key. Observers run on the thread that makes the change.
    ObserverId addObserver(std::string key, Observer observer);
    void removeObserver(ObserverId id);

protected:
    void willChangeValueForKey(const std::string& key) { notify(key, Change::Will); }
    void didChangeValueForKey(const std::string& key) { notify(key, Change::Did); }

private:
    void notify(const std::string& key, Change change);

    std::mutex mMutex;
    std::map<ObserverId, std::pair<std::string, Observer>> mObservers;
    ObserverId mNextId = 1;
};

} // namespace qm
