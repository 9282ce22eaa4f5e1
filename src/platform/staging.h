#pragma once
// What an open transaction holds: the new contents of each file it changes, until its commit.
#include <string>
#include <vector>

namespace vt {

// One file's change: its new bytes, or its removal. `label` titles the box of a failure on it.
struct StagedFile {
    std::string host, logical, label;
    bool removed = false;
    std::string bytes;
};

struct Staging {
    std::vector<StagedFile> files;  // in the order first staged
    std::string title;              // the label of the changes staged from now on
    StagedFile* find(const std::string& host) {
        for (auto& f : files)
            if (f.host == host) return &f;
        return nullptr;
    }
};

}  // namespace vt
