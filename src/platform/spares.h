#pragma once
// The spares of the program folder's files, and every rule of when one may be written into.
#include <set>
#include <string>
#include <vector>

namespace vt {

class HostIo;

// The name of a file's spare, hidden beside it: ".<name>.spare.tmp~". It ends as temporaries do,
// so a sweep removes a spare that is not kept.
inline constexpr const char* kSpare = ".spare.tmp~";
std::string spareof(const std::string& host);

// A commit moves the previous version of each program-folder file it replaces aside as the file's
// spare, and the next commit writes the file's new version into that spare instead of making a
// new file: making and freeing files is what a commit of many files spends most on. A spare is
// written into only under these rules, all applied here:
//  - it is the spare of a file in the program folder or a folder inside it (`covers`);
//  - its folder was synced since it became one, by the commit that moved it aside or the sweep
//    that found it (`ready`, told after that sync), so that no name on disk but the spare's
//    stands for it; a commit takes it once (`opentemp`);
//  - a sweep keeps a spare only while it is a plain file of one name and its file is there
//    (`keepable`);
//  - it is renamed to the file's temporary first, and written into only while it is a plain file
//    of one name, opened without following a link and without waiting (on a FIFO) (`opentemp`);
//  - anything else at the spare's or the temporary's name is cleared without being opened in a
//    way that can block, and a fresh temporary is made (`opentemp`).
class Spares {
  public:
    explicit Spares(std::string programfolder) : folder_(std::move(programfolder)) {}
    // True when `host` (a file, or a folder of files) lies where files keep spares.
    bool covers(const std::string& host) const;
    // The spares of these files (host paths) whose folder was synced since they became spares.
    void ready(const std::vector<std::string>& hosts);
    // Opens `temp`, the temporary of file `host`, for its new version: the file's spare where the
    // rules allow (`reused`: what it held past the new version's end is to be cut off), else a
    // fresh file. -1 with errno when neither can be had.
    int opentemp(const HostIo& io, const std::string& host, const std::string& temp, bool& reused);
    // True when a sweep keeps what stands at the spare's name of file `host` as its spare.
    static bool keepable(const std::string& host);
    // Moves file `host` aside as its spare: false when there is no file. A folder put at the
    // spare's name is cleared first; when even that fails the file is replaced without a spare.
    static bool moveaside(const HostIo& io, const std::string& host);

  private:
    std::string folder_;
    std::set<std::string> ready_;
};

}  // namespace vt
