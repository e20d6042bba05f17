#pragma once

#include <cstddef>
#include <cstdint>
#include <map>

// The library's keyed table: an ordered map with unique keys, iterated in
// ascending key order. Pointer values are held, never owned: removing an entry
// or destroying the table never deletes what a value points to.
template <class Key, class Value>
class Storage {
public:
    using Map = std::map<Key, Value>;

    Storage() = default;
    Storage(const Storage&) = default;
    // Assignment counts as a change, even when both tables had equal revisions.
    Storage& operator=(const Storage& other) {
        if (this != &other) {
            map_ = other.map_;
            revision_ = (revision_ > other.revision_ ? revision_ : other.revision_) + 1;
        }
        return *this;
    }
    virtual ~Storage() = default;

    bool contains(const Key& key) const { return map_.find(key) != map_.end(); }

    // The value under key. A missing key throws the bool false; callers test
    // contains() first or catch it.
    Value get(const Key& key) const {
        auto it = map_.find(key);
        if (it == map_.end()) throw false;
        return it->second;
    }

    // Inserts when key is absent and returns true; otherwise keeps the old value
    // and returns false.
    bool add(const Key& key, const Value& value) {
        const bool added = map_.emplace(key, value).second;
        if (added) ++revision_;
        return added;
    }

    // Erases key's entry if there is one; true in both cases.
    bool remove(const Key& key) {
        if (map_.erase(key) != 0) ++revision_;
        return true;
    }

    // Grows whenever an entry is added or removed, so that a reader can keep
    // what it derived from the table until the table really changes.
    std::uint64_t revision() const { return revision_; }

    typename Map::const_iterator begin() const { return map_.begin(); }
    typename Map::const_iterator end() const { return map_.end(); }
    std::size_t size() const { return map_.size(); }
    bool empty() const { return map_.empty(); }

private:
    Map map_;
    std::uint64_t revision_ = 0;
};
