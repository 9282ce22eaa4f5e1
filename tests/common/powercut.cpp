#include "powercut.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace vt::test {

namespace fs = std::filesystem;

namespace {

// One spelling per path, the one the descriptors' links in /proc give.
std::string norm(const std::string& p) {
    std::error_code ec;
    fs::path out = fs::weakly_canonical(p, ec);
    return ec ? fs::path(p).lexically_normal().string() : out.string();
}

std::string parentof(const std::string& p) { return fs::path(p).parent_path().string(); }

std::string readfile(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The path an open descriptor stands for; empty for one whose file is deleted.
std::string pathof(int fd) {
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/fd/" + std::to_string(fd), ec);
    std::string s = ec ? std::string() : p.string();
    const std::string deleted = " (deleted)";
    if (s.size() >= deleted.size() &&
        s.compare(s.size() - deleted.size(), deleted.size(), deleted) == 0)
        return "";
    return s;
}

}  // namespace

size_t PowerCutModel::add(bool folder, std::string contents) {
    nodes_.push_back(Node{folder, std::move(contents)});
    return nodes_.size() - 1;
}

void PowerCutModel::follow(const std::string& folder) {
    if (syncedentries_.count(folder)) return;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return;  // no such folder: nothing in it can change
    auto& entries = syncedentries_[folder];
    for (const auto& e : it) {
        std::string path = e.path().string(), name = e.path().filename().string();
        bool isfolder = e.is_directory(ec);
        size_t id = add(isfolder, isfolder ? std::string() : readfile(path));
        live_[path] = id;
        entries[name] = id;
    }
}

void PowerCutModel::beforechange(const std::string& path) { follow(parentof(norm(path))); }

void PowerCutModel::beforechange(int fd) {
    std::string p = pathof(fd);
    if (!p.empty()) follow(parentof(p));
}

void PowerCutModel::opened(const std::string& path) {
    std::string p = norm(path);
    if (!live_.count(p) && syncedentries_.count(parentof(p))) live_[p] = add(false, "");
}

void PowerCutModel::synced(int fd) {
    std::string p = pathof(fd);
    if (p.empty()) return;
    if (syncedentries_.count(p)) {
        std::map<std::string, size_t> entries;
        std::string prefix = p + "/";
        for (auto it = live_.lower_bound(prefix);
             it != live_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
            std::string name = it->first.substr(prefix.size());
            if (name.find('/') == std::string::npos) entries[name] = it->second;
        }
        syncedentries_[p] = std::move(entries);
    } else if (auto it = live_.find(p); it != live_.end() && !nodes_[it->second].folder) {
        nodes_[it->second].synced = readfile(p);
    }
}

void PowerCutModel::renamed(const std::string& from, const std::string& to) {
    auto it = live_.find(norm(from));
    if (it == live_.end()) return;
    size_t id = it->second;
    live_.erase(it);
    live_[norm(to)] = id;
}

void PowerCutModel::removed(const std::string& path) { live_.erase(norm(path)); }

void PowerCutModel::madefolder(const std::string& path) {
    std::string p = norm(path);
    live_[p] = add(true, "");
    syncedentries_[p];  // made empty: nothing in it is synced yet
}

void PowerCutModel::cut() {
    std::error_code ec;
    std::vector<std::string> gone;  // folders whose own entry was not synced
    // Parents sort before their children.
    for (const auto& [folder, entries] : syncedentries_) {
        bool under = std::any_of(gone.begin(), gone.end(), [&](const std::string& g) {
            return folder.compare(0, g.size() + 1, g + "/") == 0;
        });
        if (under) continue;
        std::string parent = parentof(folder), name = fs::path(folder).filename().string();
        if (auto p = syncedentries_.find(parent); p != syncedentries_.end()) {
            auto e = p->second.find(name);
            if (e == p->second.end() || !nodes_[e->second].folder) {
                fs::remove_all(folder, ec);
                gone.push_back(folder);
                continue;
            }
        }
        std::vector<fs::path> unsynced;
        for (const auto& e : fs::directory_iterator(folder, ec))
            if (!entries.count(e.path().filename().string())) unsynced.push_back(e.path());
        for (auto& u : unsynced) fs::remove_all(u, ec);
        for (const auto& [entry, id] : entries) {
            std::string path = folder + "/" + entry;
            if (nodes_[id].folder) {
                fs::create_directory(path, ec);
            } else {
                std::ofstream out(path, std::ios::binary | std::ios::trunc);
                out << nodes_[id].synced;
            }
        }
    }
}

}  // namespace vt::test
