#pragma once
// Identities and the sets of them a file keeps: thousands of random 64-bit numbers, sorted,
// merged and looked up many times per write.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace vt {

using Identity = uint64_t;

// Sorts identities: a file's thousands of random ones byte by byte, in a few passes over them.
void sortids(std::vector<Identity>::iterator first, std::vector<Identity>::iterator last);
// Sorts identities and leaves each once.
void sortunique(std::vector<Identity>& v);
// Adds `more` (in any order) to the sorted set `set`.
void addidentities(std::vector<Identity>& set, const std::vector<Identity>& more);
bool hasidentity(const std::vector<Identity>& sortedset, Identity id);
// The identities of `from` that `kept` does not hold. Both are a file's identities in file order,
// thousands long, and `kept` is mostly `from` with some left out: that is seen in one pass;
// anything else is looked up in sorted order.
std::vector<Identity> without(const std::vector<Identity>& from, const std::vector<Identity>& kept);
// The sorted identities of `set` (sorted) that `live` (in any order) holds, each once.
std::vector<Identity> within(const std::vector<Identity>& set, const std::vector<Identity>& live);
// The sorted set `set` without the identities of `taken` (in any order).
void takeout(std::vector<Identity>& set, const std::vector<Identity>& taken);

// A set of identities looked up in constant time: a file's thousands of identities are checked
// against another list without a search each.
class IdSet {
  public:
    explicit IdSet(size_t expected) {
        size_t size = 16;
        while (size < expected * 2) size <<= 1;
        slots_.assign(size, 0);
        mask_ = size - 1;
    }
    explicit IdSet(const std::vector<Identity>& ids) : IdSet(ids.size()) {
        for (Identity id : ids) insert(id);
    }
    // False when the set held it already.
    bool insert(Identity id) {
        if (id == 0) return !std::exchange(zero_, true);
        size_t i = slot(id);
        for (; slots_[i] != 0; i = (i + 1) & mask_)
            if (slots_[i] == id) return false;
        slots_[i] = id;
        return true;
    }
    bool has(Identity id) const {
        if (id == 0) return zero_;
        for (size_t i = slot(id); slots_[i] != 0; i = (i + 1) & mask_)
            if (slots_[i] == id) return true;
        return false;
    }

  private:
    std::vector<Identity> slots_;  // 0: empty
    size_t mask_ = 0;
    bool zero_ = false;
    size_t slot(Identity id) const { return size_t((id * 0x9e3779b97f4a7c15ull) >> 32) & mask_; }
};

}  // namespace vt
