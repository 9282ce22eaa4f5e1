#pragma once
// Journals as a commit of the program writes them, for tests of what recovery makes of them.
#include <string>
#include <utility>
#include <vector>

#include "platform/journal.h"

namespace vt::test {

// The journal a commit in program folder `pf` writes for these changes ('R' replace, 'D' delete).
inline std::string sealedjournal(const std::string& pf,
                                 const std::vector<std::pair<char, std::string>>& changes) {
    std::vector<StagedFile> files;
    for (auto& [kind, host] : changes) files.push_back({host, "", "", kind == 'D', ""});
    return journal::journaltext(files, pf);
}

}  // namespace vt::test
