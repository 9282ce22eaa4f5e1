#pragma once
// Drive letters: D, E, F, ... name the file systems mounted where desktops mount removable media,
// as the system's mount table lists them; never a plain folder. A letter set in the environment
// ($VANTROPE_DRIVE_X) names that folder instead.
#include <optional>
#include <string>
#include <vector>

namespace vt {

// One line of the mount table (/proc/self/mountinfo).
struct Mount {
    long long id = -1, parent = -1;
    std::string device;  // "major:minor"
    std::string point;   // the mount point, its escapes (\040 for a blank) decoded
};

// The mounts of a mount table's text, in its order; lines that are not mounts are skipped.
std::vector<Mount> parsemountinfo(const std::string& text);

// The mounts that get drive letters, D first: the visible file systems mounted at
// /media/<label>, /media/<user>/<label>, /run/media/<user>/<label> or /mnt/<name>, in that
// order of the three places and by mount point within each. A mount covered by a later one at
// its own point or above it cannot be reached and gets none, nor does a file system also mounted
// anywhere else (the machine's own disk, or a folder of it bound there).
std::vector<Mount> lettered(const std::vector<Mount>& table);

// The lettered mounts of this system now (its mount table read), D first.
std::vector<Mount> systemdrives();

// The drive letters that name a folder now, lower case, "c" first.
std::vector<char> driveletters();

// The host folder a drive letter names now ("" when none): C is "/", D, E, ... the lettered
// mounts; $VANTROPE_DRIVE_X, when set, for any letter.
std::string driveroot(char letter);

// What a drive letter named when it was picked, to tell whether it still names that later: the
// same mounted file system, or the same folder (device and inode) for a letter set in the
// environment. The table's mount id and device come free again when a stick is pulled, and the
// next stick may get both: the mount's id that is never reused (where the system gives one), the
// disk's sequence number (counted up at each disk or medium put in) and the birth time of its
// top folder tell the two apart.
struct DriveStamp {
    char letter = 0;
    std::string root;
    long long mountid = -1;  // -1: a folder set in the environment
    std::string device;
    unsigned long long uniquemount = 0, diskseq = 0;  // 0 where not known
    long long born = 0;
    long long folderdev = 0, folderino = 0;
    bool operator==(const DriveStamp&) const = default;
};

// The stamp of what the letter names now; nullopt when it names nothing (no such mount, or the
// folder is not there).
std::optional<DriveStamp> drivestamp(char letter);

// True when the stamped letter still names the same mounted file system or folder.
bool samedrive(const DriveStamp& stamp);

}  // namespace vt
