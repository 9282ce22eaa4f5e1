// Files' writers, the staging side of Transaction (which stands on Files): each change is staged
// into the open transaction, or made as a transaction of its own.
#include "platform/files.h"
#include "platform/hostio.h"
#include "platform/transaction.h"

namespace vt {

namespace {

// Stages into the open transaction of files, or runs a transaction of its own around stage.
template <class F>
void staged(Files& files, Staging*& open, F stage) {
    if (open) {
        stage(*open);
        return;
    }
    Transaction tx(files);
    stage(*open);
    tx.commit();
}

StagedFile& slot(Staging& s, const std::string& logical, const std::string& host) {
    if (StagedFile* f = s.find(host)) return *f;
    s.files.push_back(StagedFile{host, logical, s.title, false, {}});
    return s.files.back();
}

// An error met while staging a file names it and, in an open transaction, carries the title the
// file is staged under.
void stagingerror(FileError& e, const std::string& logical, const Staging* open) {
    nameerror(e, logical);
    if (open && e.title.empty()) e.title = open->title;
}

void replaced(Files& files, Staging*& open, const std::string& logical, const std::string& bytes,
              const std::string& from) try {
    std::string host = files.hostpath(logical);
    if (hostisdir(host)) throwfileerror(75);
    staged(files, open, [&](Staging& s) {
        // The companion is called while the file still reads as it was.
        if (files.companion) files.companion->changing(logical, &bytes, from);
        StagedFile& f = slot(s, logical, host);
        f.removed = false;
        f.bytes = bytes;
    });
} catch (FileError& e) {
    stagingerror(e, logical, open);
    throw;
}

}  // namespace

void Files::replacefile(const std::string& logical, const std::string& bytes) {
    replaced(*this, open_, logical, bytes, "");
}

void Files::append(const std::string& logical, const std::string& bytes) try {
    std::string host = hostpath(logical);
    staged(*this, open_, [&](Staging& s) {
        // Read before the slot is made: the slot would hide the file on disk.
        std::string old = exists(logical) ? readall(logical) : std::string();
        old += bytes;
        if (companion) companion->changing(logical, &old, "");
        StagedFile& f = slot(s, logical, host);
        f.removed = false;
        f.bytes = std::move(old);
    });
} catch (FileError& e) {
    stagingerror(e, logical, open_);
    throw;
}

void Files::remove(const std::string& logical) try {
    std::string host = hostpath(logical);
    staged(*this, open_, [&](Staging& s) {
        if (!exists(logical)) throwfileerror(53);
        if (companion) companion->changing(logical, nullptr, "");
        StagedFile& f = slot(s, logical, host);
        f.removed = true;
        f.bytes.clear();
    });
} catch (FileError& e) {
    stagingerror(e, logical, open_);
    throw;
}

void Files::copy(const std::string& from, const std::string& to) {
    replaced(*this, open_, to, readall(from), from);
}

}  // namespace vt
