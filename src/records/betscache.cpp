#include "records/betscache.h"

#include <algorithm>

#include "records/recordsutil.h"

namespace vt {

namespace {

// A file whose modification time is this close to the moment it was looked at may still change
// within the same tick of the file system's clock without changing its stamp: it is not kept.
constexpr long long kSettled = 200'000'000;  // ns

}  // namespace

std::shared_ptr<const BetsLines> parsebetslines(const std::string& bytes, const std::string& path) {
    auto out = std::make_shared<BetsLines>();
    LineCursor cursor(bytes, FileKind::Bets);
    FileLine line;
    while (cursor.next(line)) {
        BetsLine l;
        size_t at = out->lines.size();
        l.number = line.number;
        l.readable = line.readable;
        l.asbet = linebet(line.fields);
        if (!line.readable || !l.asbet.whole) out->bad.emplace(at, badline(path, line));
        try {
            // A line that is not a whole bet is read no further.
            if (!line.readable) throwbadline(path, line);
            l.bet.bettor = static_cast<long>(intfield(line.fields[0]));
            l.bet.entry = static_cast<long>(intfield(line.fields[1]));
            l.bet.type = static_cast<long>(intfield(line.fields[2]));
            l.bet.amount = moneyfield(line.fields[3]);
            l.noentry = emptyfield(line.fields[1]);
        } catch (const FileError& e) {
            l.stops = true;
            out->stops.emplace(at, e);
        }
        out->lines.push_back(l);
    }
    return out;
}

std::shared_ptr<const BetsLines> BetsCache::get(const Files& files, const std::string& logical) {
    if (files.staging()) return parsebetslines(files.readall(logical), logical);
    FileStamp now = files.stamp(logical);
    auto it = files_.find(logical);
    if (it != files_.end() && now.exists && it->second.stamp.samefile(now)) {
        order_.remove(logical);
        order_.push_front(logical);
        return it->second.lines;
    }
    auto lines = parsebetslines(files.readall(logical), logical);
    if (now.exists && (now.seen - now.mtime >= kSettled || files.ownversion(logical, now))) {
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
