#include "platform/drives.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/hostio.h"

namespace vt {

namespace {

// Asks statx for the mount's id that is never reused (a newer system's; older ones leave it out).
constexpr unsigned kuniquemount = 0x4000U;

// The mount table lists a blank, tab, line end or backslash in a path as \ and three octal
// digits.
std::string unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        auto octal = [&](size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '7'; };
        if (s[i] == '\\' && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            out +=
                static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool wholenumber(const std::string& s, long long& n) {
    if (s.empty() || s.size() > 18) return false;
    n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    return true;
}

std::vector<std::string> components(const std::string& path) {
    std::vector<std::string> out;
    size_t start = 1;
    while (start <= path.size()) {
        size_t e = path.find('/', start);
        std::string part =
            path.substr(start, e == std::string::npos ? std::string::npos : e - start);
        out.push_back(part);
        if (e == std::string::npos) break;
        start = e + 1;
    }
    return out;
}

// Which of the places desktops mount removable media a mount point is (0, 1, 2), or -1.
int place(const std::string& point) {
    if (point.size() < 2 || point[0] != '/') return -1;
    auto c = components(point);
    for (const std::string& part : c)
        if (part.empty()) return -1;
    if (c[0] == "media" && (c.size() == 2 || c.size() == 3)) return 0;
    if (c.size() == 4 && c[0] == "run" && c[1] == "media") return 1;
    if (c.size() == 2 && c[0] == "mnt") return 2;
    return -1;
}

// True when `above` is `point` or a folder it lies in ("/" aside: a table may list the root
// anywhere).
bool covers(const std::string& above, const std::string& point) {
    return above != "/" && infolder(point, above);
}

std::string envdrive(char letter) {
    std::string name = std::string("VANTROPE_DRIVE_") + letter;
    const char* v = std::getenv(name.c_str());
    return v ? v : "";
}

// The sequence number of the disk a block device is (or is a partition of), 0 when none.
unsigned long long diskseq(const std::string& device) {
    for (const char* at : {"/diskseq", "/../diskseq"}) {
        std::ifstream in("/sys/dev/block/" + device + at);
        std::string n;
        long long v = 0;
        if (in >> n && wholenumber(n, v)) return static_cast<unsigned long long>(v);
    }
    return 0;
}

char upper(char letter) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
}

}  // namespace

std::vector<Mount> parsemountinfo(const std::string& text) {
    std::vector<Mount> out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> f;
        std::istringstream words(line);
        for (std::string w; words >> w;) f.push_back(w);
        Mount m;
        if (f.size() < 5 || !wholenumber(f[0], m.id) || !wholenumber(f[1], m.parent) ||
            f[2].find(':') == std::string::npos)
            continue;
        m.device = f[2];
        m.point = unescape(f[4]);
        out.push_back(m);
    }
    return out;
}

std::vector<Mount> lettered(const std::vector<Mount>& table) {
    // A file system also mounted anywhere else (the root, /home, ...) is the machine's own disk,
    // even where a folder of it is bound at one of the places.
    std::set<std::string> own;
    for (const Mount& m : table)
        if (place(m.point) < 0) own.insert(m.device);
    std::vector<std::pair<int, Mount>> found;
    for (size_t i = 0; i < table.size(); ++i) {
        const Mount& m = table[i];
        int p = place(m.point);
        if (p < 0 || own.count(m.device)) continue;
        bool hidden = false;
        for (size_t j = i + 1; j < table.size() && !hidden; ++j)
            hidden = covers(table[j].point, m.point);
        if (!hidden) found.emplace_back(p, m);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.point < b.second.point;
    });
    std::vector<Mount> out;
    for (auto& [p, m] : found) out.push_back(m);
    return out;
}

std::vector<Mount> systemdrives() {
    std::ifstream in("/proc/self/mountinfo", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return lettered(parsemountinfo(text.str()));
}

std::vector<char> driveletters() {
    std::vector<char> out{'c'};
    size_t mounted = systemdrives().size();
    for (char l = 'D'; l <= 'Z'; ++l)
        if (!envdrive(l).empty() || static_cast<size_t>(l - 'D') < mounted)
            out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(l))));
    return out;
}

std::string driveroot(char letter) {
    letter = upper(letter);
    if (std::string env = envdrive(letter); !env.empty()) return env;
    if (letter == 'C') return "/";
    if (letter < 'D' || letter > 'Z') return "";
    auto m = systemdrives();
    size_t i = static_cast<size_t>(letter - 'D');
    return i < m.size() ? m[i].point : "";
}

std::optional<DriveStamp> drivestamp(char letter) {
    letter = upper(letter);
    DriveStamp s;
    s.letter = letter;
    if (std::string env = envdrive(letter); !env.empty()) {
        struct stat st;
        if (::stat(env.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
        s.root = env;
        s.folderdev = static_cast<long long>(st.st_dev);
        s.folderino = static_cast<long long>(st.st_ino);
        return s;
    }
    // The machine's own disk (C) is not a drive to carry data on.
    if (letter < 'D' || letter > 'Z') return std::nullopt;
    auto m = systemdrives();
    size_t i = static_cast<size_t>(letter - 'D');
    if (i >= m.size()) return std::nullopt;
    s.root = m[i].point;
    s.mountid = m[i].id;
    s.device = m[i].device;
    s.diskseq = diskseq(s.device);
    struct statx sx {};
    if (::statx(AT_FDCWD, s.root.c_str(), AT_NO_AUTOMOUNT, kuniquemount | STATX_BTIME, &sx) == 0) {
        if (sx.stx_mask & kuniquemount) s.uniquemount = sx.stx_mnt_id;
        if (sx.stx_mask & STATX_BTIME)
            s.born = sx.stx_btime.tv_sec * 1000000000LL + sx.stx_btime.tv_nsec;
    }
    return s;
}

bool samedrive(const DriveStamp& stamp) {
    auto now = drivestamp(stamp.letter);
    return now && *now == stamp;
}

}  // namespace vt
