#include "records/betscache.h"

#include <algorithm>

#include "records/recordsutil.h"

namespace vt {

namespace {

// A file whose modification time is this close to the moment it was looked at may still change
// within the same tick of the file system's clock without changing its stamp: it is not kept.
constexpr long long kSettled = 200'000'000;  // ns

}  // namespace

namespace {

void addline(BetsLines& out, const FileLine& line, const std::string& path) {
    BetsLine l;
    size_t at = out.lines.size();
    l.number = line.number;
    l.readable = line.readable;
    l.asbet = linebet(line.fields);
    if (!line.readable || !l.asbet.whole) out.bad.emplace(at, badline(path, line));
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
        out.stops.emplace(at, e);
    }
    out.lines.push_back(l);
    out.ends.push_back(line.end);
}

// The lines of `now`, parsing only those that differ from `before`, whose lines are `old`.
std::shared_ptr<const BetsLines> reread(const std::string& before, const BetsLines& old,
                                        const std::string& now, const std::string& path) {
    // The errors of a line carry its number: lines moved are taken only after the last of them.
    size_t tailfrom = 0;
    if (!old.bad.empty()) tailfrom = old.bad.rbegin()->first + 1;
    if (!old.stops.empty()) tailfrom = std::max(tailfrom, old.stops.rbegin()->first + 1);
    LineSplice splice(before, old.ends, now, FileKind::Bets, tailfrom);
    auto out = std::make_shared<BetsLines>();
    size_t head = splice.head();
    out->lines.assign(old.lines.begin(), old.lines.begin() + static_cast<long>(head));
    out->ends.assign(old.ends.begin(), old.ends.begin() + static_cast<long>(head));
    out->bad.insert(old.bad.begin(), old.bad.lower_bound(head));
    out->stops.insert(old.stops.begin(), old.stops.lower_bound(head));
    FileLine line;
    while (splice.next(line)) addline(*out, line, path);
    for (size_t i = splice.tail(); i < old.lines.size(); ++i) {
        out->lines.push_back(old.lines[i]);
        out->lines.back().number += splice.renumber();
        out->ends.push_back(
            static_cast<size_t>(static_cast<long long>(old.ends[i]) + splice.moved()));
    }
    return out;
}

}  // namespace

std::shared_ptr<const BetsLines> parsebetslines(const std::string& bytes, const std::string& path) {
    return reread("", BetsLines{}, bytes, path);
}

std::shared_ptr<const BetsLines> BetsCache::get(const Files& files, const std::string& logical) {
    std::shared_ptr<const BetsLines> lines = fetch(files, logical);
    // A file without a line while its backup holds some was emptied by damage: not a file of no
    // bets.
    static const std::string none;
    if (lines->lines.empty()) checknotemptied(files, logical, &none);
    return lines;
}

std::shared_ptr<const BetsLines> BetsCache::fetch(const Files& files, const std::string& logical) {
    auto it = files_.find(logical);
    const Kept* kept = it == files_.end() ? nullptr : &it->second;
    auto read = [&](const std::string& bytes) {
        return kept ? reread(kept->bytes, *kept->lines, bytes, logical)
                    : parsebetslines(bytes, logical);
    };
    if (files.staging()) return read(files.readall(logical));
    FileStamp now = files.stamp(logical);
    // Refused unread, as checkrecordfilesize() does, from the stamp just taken.
    if (now.exists && now.size > recordfilelimit(maxbets)) throwfileerror(7, logical);
    if (kept && kept->trusted && now.exists && kept->stamp.samefile(now)) {
        order_.remove(logical);
        order_.push_front(logical);
        return kept->lines;
    }
    std::string bytes = files.readall(logical);
    auto lines = read(bytes);
    if (now.exists) {
        bool trusted = now.seen - now.mtime >= kSettled || files.ownversion(logical, now);
        keep(logical, Kept{now, trusted, lines, std::move(bytes)});
    } else if (kept) {
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
