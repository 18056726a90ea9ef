#include "foundation/KeyValueObservable.h"

#include <vector>

namespace qm {

KeyValueObservable::ObserverId KeyValueObservable::addObserver(std::string key, Observer observer)
{
    std::lock_guard lock(mMutex);
    const ObserverId id = mNextId++;
    mObservers.emplace(id, std::make_pair(std::move(key), std::move(observer)));
    return id;
}

void KeyValueObservable::removeObserver(ObserverId id)
{
    std::lock_guard lock(mMutex);
    mObservers.erase(id);
}

void KeyValueObservable::notify(const std::string& key, Change change)
{
    std::vector<Observer> observers;
    {
        std::lock_guard lock(mMutex);
        for (const auto& [id, entry] : mObservers)
            if (entry.first.empty() || entry.first == key)
                observers.push_back(entry.second);
    }
    for (const auto& observer : observers)
        observer(key, change);
}

} // namespace qm
