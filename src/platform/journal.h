#pragma once
// The commit journal and the temporaries it names, shared by Transaction's commit and Files'
// recovery and sweeps: its names and text, and the changes it names made or discarded.
#include <string>
#include <vector>

#include "platform/hostio.h"
#include "platform/spares.h"
#include "platform/staging.h"

namespace vt::journal {

inline constexpr const char* kJournal = "/Journal~";  // a whole journal: its changes are to be made
inline constexpr const char* kJournalLogical = "C:\\Vantrope\\Journal~";  // as boxes name it
inline constexpr const char* kJournalNew =
    "/Journal.new~";  // a journal being written: to be discarded
inline constexpr const char* kHeader = "VANTROPE JOURNAL 1\n";
inline constexpr const char* kTemp = ".tmp~";
inline const std::string kSeal = "SEAL ";

// One change named by a journal: 'R' puts <file>.tmp~ in place of <file>, 'D' deletes <file>.
struct JournalEntry {
    char kind;
    std::string host;
};

std::string tempof(const std::string& host);
bool endswith(const std::string& s, const std::string& end);
// The whole text of a journal written in `programfolder`: header, one line a change, its seal,
// end line.
std::string journaltext(const std::vector<StagedFile>& files, const std::string& programfolder);
// What a journal's text is: whole (header, changes, the seal this program writes for the folder
// it was written in, end line, nothing else), cut short while it was written (a beginning of a
// whole one, maybe ending in the zero bytes a power cut leaves), or anything else.
enum class Shape { whole, cut, bad };
struct Parsed {
    Shape shape = Shape::bad;
    std::vector<JournalEntry> entries;  // the changes on whole lines; none when bad
};
Parsed parsejournal(const std::string& text, const std::string& programfolder);
// True when a path is one the program could have written: absolute, no empty, "." or ".."
// component, no control character.
bool plainpath(const std::string& host);
// Reads a file whole; a link is not followed.
bool readhost(const HostIo& io, const std::string& host, std::string& out);
// Creates or truncates a file, writes it whole and syncs it; FileError on failure.
void writesynced(const HostIo& io, const std::string& host, const std::string& bytes);
std::vector<std::string> foldersof(const std::vector<JournalEntry>& entries);
// Makes the changes of a whole journal, skipping those already made or whose folder is gone.
// With `spares`, the files it covers keep their present version as their spare; the ones that
// did are returned.
std::vector<std::string> rollforward(const HostIo& io, const std::vector<JournalEntry>& entries,
                                     const Spares* spares = nullptr);
// Removes the temporaries of a journal that is not to be made (a temporary that is a folder is
// not one of them) and syncs their folders; false when one stays or a folder cannot be synced.
bool discard(const HostIo& io, const std::vector<JournalEntry>& entries);
// Removes stray temporaries of one folder, only while no journal waits, following no link. In
// the program folder and its subfolders (`own`) the spares a sweep keeps stay (Spares::keepable)
// and their files are returned; a stray there that is a folder goes with all it holds.
std::vector<std::string> sweepfolder(const HostIo& io, const std::string& folder, bool own = false);
// The folders a commit syncs before its commit point: the program folder first.
std::vector<std::string> syncorder(const std::string& pf, const std::vector<JournalEntry>& entries);

}  // namespace vt::journal
