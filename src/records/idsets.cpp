#include "records/idsets.h"

#include <algorithm>
#include <iterator>

namespace vt {

void sortids(std::vector<Identity>::iterator first, std::vector<Identity>::iterator last) {
    size_t n = size_t(last - first);
    if (std::is_sorted(first, last)) return;
    if (n < 256) return std::sort(first, last);
    std::vector<Identity> other(n);
    Identity* from = &*first;
    Identity* to = other.data();
    for (int shift = 0; shift < 64; shift += 8) {
        size_t counts[257] = {};
        for (size_t i = 0; i < n; ++i) ++counts[((from[i] >> shift) & 255) + 1];
        if (counts[((from[0] >> shift) & 255) + 1] == n) continue;  // one byte value: in place
        for (size_t b = 1; b < 257; ++b) counts[b] += counts[b - 1];
        for (size_t i = 0; i < n; ++i) to[counts[(from[i] >> shift) & 255]++] = from[i];
        std::swap(from, to);
    }
    if (from != &*first) std::copy(from, from + n, first);
}

void sortunique(std::vector<Identity>& v) {
    sortids(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

void addidentities(std::vector<Identity>& set, const std::vector<Identity>& more) {
    if (more.empty()) return;
    size_t old = set.size();
    set.insert(set.end(), more.begin(), more.end());
    sortids(set.begin() + long(old), set.end());
    std::inplace_merge(set.begin(), set.begin() + long(old), set.end());
    set.erase(std::unique(set.begin(), set.end()), set.end());
}

bool hasidentity(const std::vector<Identity>& sortedset, Identity id) {
    return std::binary_search(sortedset.begin(), sortedset.end(), id);
}

std::vector<Identity> without(const std::vector<Identity>& from,
                              const std::vector<Identity>& kept) {
    std::vector<Identity> out;
    size_t k = 0;
    for (Identity id : from) {
        if (k < kept.size() && kept[k] == id)
            ++k;
        else
            out.push_back(id);
    }
    if (k == kept.size() || out.empty()) return out;
    out.clear();
    std::vector<Identity> sorted = kept;
    sortunique(sorted);
    for (Identity id : from)
        if (!hasidentity(sorted, id)) out.push_back(id);
    return out;
}

std::vector<Identity> within(const std::vector<Identity>& set, const std::vector<Identity>& live) {
    std::vector<Identity> out;
    if (set.empty() || live.empty()) return out;
    if (std::is_sorted(live.begin(), live.end())) {
        std::set_intersection(set.begin(), set.end(), live.begin(), live.end(),
                              std::back_inserter(out));
    } else {
        IdSet held(live);
        for (Identity id : set)
            if (held.has(id)) out.push_back(id);
    }
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

void takeout(std::vector<Identity>& set, const std::vector<Identity>& taken) {
    if (set.empty() || taken.empty()) return;
    IdSet back(taken);
    set.erase(std::remove_if(set.begin(), set.end(), [&](Identity id) { return back.has(id); }),
              set.end());
}

}  // namespace vt
