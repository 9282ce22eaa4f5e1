#pragma once
// The power-cut mode of the fault seam: it follows the file-system calls of the file
// layer and knows what a power cut would keep - a file's contents as at its last fsync, a folder's
// entries as at the last sync of that folder. cut() puts the disk back to exactly that.
//
// Whatever is on disk when the mode is armed counts as synced. A folder is looked at when a call
// first changes something in it (its files' contents are kept then as their synced contents);
// folders nothing changed stay as they are.
#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace vt::test {

class PowerCutModel {
  public:
    // Before a call that changes the entries of path's folder or the contents of path.
    void beforechange(const std::string& path);
    // Before a write or truncation through an open descriptor.
    void beforechange(int fd);
    // After each successful call of that kind.
    void opened(const std::string& path);  // a file opened for writing (maybe made)
    void synced(int fd);                   // a file's contents, or a folder's entries
    void renamed(const std::string& from, const std::string& to);
    void removed(const std::string& path);
    void madefolder(const std::string& path);

    // Puts every folder followed back to its entries at its last sync, each file in them back to
    // its contents at its last fsync.
    void cut();

  private:
    struct Node {
        bool folder = false;
        std::string synced;  // a file's contents at its last fsync
    };
    std::vector<Node> nodes_;
    std::map<std::string, size_t> live_;  // every entry of a followed folder -> its node
    std::map<std::string, std::map<std::string, size_t>> syncedentries_;  // folder -> name -> node

    void follow(const std::string& folder);
    size_t add(bool folder, std::string contents);
};

}  // namespace vt::test
