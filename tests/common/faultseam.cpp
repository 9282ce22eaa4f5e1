#include "faultseam.h"

namespace vt::test {

namespace {

bool writing(int flags) { return flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC); }

}  // namespace

void FaultSeam::setfault(Fault f) {
    fault_ = f;
    calls_ = 0;
    commits_ = 0;
    undecided_ = 0;
    spans_.clear();
    crashed_ = false;
    power_ = f.kind == Fault::PowerCut ? std::make_unique<PowerCutModel>() : nullptr;
}

bool FaultSeam::fails() const {
    if (crashed_) throw SimulatedCrash{};
    ++calls_;
    if (fault_.kind == Fault::None || calls_ < fault_.at || (calls_ > fault_.at && !fault_.persist))
        return false;
    if (fault_.kind == Fault::Crash || fault_.kind == Fault::PowerCut) {
        if (power_) power_->cut();
        crashed_ = true;
        throw SimulatedCrash{};
    }
    errno = fault_.err;
    return true;
}

// The power-cut model follows what each change does (when armed).

int FaultSeam::open(const std::string& p, int flags) const {
    if (fails()) return -1;
    if (power_ && writing(flags)) power_->beforechange(p);
    int fd = system_.open(p, flags);
    if (power_ && writing(flags) && fd >= 0) power_->opened(p);
    return fd;
}

ssize_t FaultSeam::read(int fd, void* buf, size_t n) const {
    return fails() ? -1 : system_.read(fd, buf, n);
}

ssize_t FaultSeam::write(int fd, const void* buf, size_t n) const {
    if (fails()) return -1;
    if (power_) power_->beforechange(fd);
    return system_.write(fd, buf, n);
}

int FaultSeam::fsync(int fd) const {
    if (fails()) return -1;
    int r = system_.fsync(fd);
    if (power_ && r == 0) power_->synced(fd);
    return r;
}

// Syncs nothing, so the power-cut model need not know.
int FaultSeam::startwriteback(int fd) const { return fails() ? -1 : system_.startwriteback(fd); }

int FaultSeam::ftruncate(int fd, off_t n) const {
    if (fails()) return -1;
    if (power_) power_->beforechange(fd);
    return system_.ftruncate(fd, n);
}

int FaultSeam::rename(const std::string& a, const std::string& b) const {
    if (fails()) return -1;
    if (power_) power_->beforechange(a), power_->beforechange(b);
    int r = system_.rename(a, b);
    if (power_ && r == 0) power_->renamed(a, b);
    return r;
}

int FaultSeam::unlink(const std::string& p) const {
    if (fails()) return -1;
    if (power_) power_->beforechange(p);
    int r = system_.unlink(p);
    if (power_ && r == 0) power_->removed(p);
    return r;
}

int FaultSeam::stat(const std::string& p, struct stat& st) const {
    return fails() ? -1 : system_.stat(p, st);
}

int FaultSeam::mkdir(const std::string& p) const {
    if (fails()) return -1;
    if (power_) power_->beforechange(p);
    int r = system_.mkdir(p);
    if (power_ && r == 0) power_->madefolder(p);
    return r;
}

DIR* FaultSeam::opendir(const std::string& p) const {
    return fails() ? nullptr : system_.opendir(p);
}

int FaultSeam::removeall(const std::string& p) const {
    if (fails()) return -1;
    if (power_) power_->beforechange(p);
    int r = system_.removeall(p);
    if (power_ && r == 0) power_->removed(p);
    return r;
}

void FaultSeam::commitstep(CommitStep step) const {
    switch (step) {
        case CommitStep::begin:
            spanfirst_ = calls_ + 1;
            break;
        case CommitStep::point:
            ++commits_;
            break;
        case CommitStep::undecided:
            ++undecided_;
            break;
        case CommitStep::end:
            spans_.emplace_back(spanfirst_, calls_);
            break;
    }
}

FaultSeam& faults(Files& files) {
    // Files hands its io out read-only; a seam found there was made here, as a non-const object.
    if (auto* seam = dynamic_cast<const FaultSeam*>(&files.hostio()))
        return const_cast<FaultSeam&>(*seam);
    auto seam = std::make_unique<FaultSeam>();
    FaultSeam& out = *seam;
    files.sethostio(std::move(seam));
    return out;
}

}  // namespace vt::test
