#include "records/betscache.h"

#include <algorithm>

#include "records/recordsutil.h"

namespace vt {

namespace {

// A file whose modification time is this close to the moment it was looked at may still change
// within the same tick of the file system's clock without changing its stamp: it is not kept.
constexpr long long kSettled = 200'000'000;  // ns

}  // namespace

std::shared_ptr<const BetsLines> parsebetslines(const std::string& bytes) {
    auto out = std::make_shared<BetsLines>();
    LineCursor cursor(bytes);
    FileLine line;
    while (cursor.next(line)) {
        BetsLine l;
        l.asbet = linebet(line.fields);
        try {
            // A line holding more or fewer fields than a bet is read no further.
            if (line.fields.size() != 4) throwfileerror(13);
            l.bet.bettor = static_cast<long>(intfield(line.fields[0]));
            l.bet.entry = static_cast<long>(intfield(line.fields[1]));
            l.bet.type = static_cast<long>(intfield(line.fields[2]));
            l.bet.amount = moneyfield(line.fields[3]);
            l.noentry = emptyfield(line.fields[1]);
        } catch (const FileError& e) {
            l.stops = true;
            out->errors.emplace(out->lines.size(), e);
        }
        out->lines.push_back(l);
    }
    return out;
}

std::shared_ptr<const BetsLines> BetsCache::get(const Files& files, const std::string& logical) {
    if (files.staging()) return parsebetslines(files.readall(logical));
    FileStamp now = files.stamp(logical);
    auto it = files_.find(logical);
    if (it != files_.end() && now.exists && it->second.stamp.samefile(now)) {
        order_.remove(logical);
        order_.push_front(logical);
        return it->second.lines;
    }
    auto lines = parsebetslines(files.readall(logical));
    if (now.exists && now.seen - now.mtime >= kSettled) {
        keep(logical, Kept{now, lines});
    } else if (it != files_.end()) {
        files_.erase(it);
        order_.remove(logical);
    }
    return lines;
}

void BetsCache::keep(const std::string& logical, Kept kept) {
    order_.remove(logical);
    order_.push_front(logical);
    files_[logical] = std::move(kept);
    while (order_.size() > capacity) {
        files_.erase(order_.back());
        order_.pop_back();
    }
}

}  // namespace vt
