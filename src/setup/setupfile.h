#pragma once
// The setup file: one record of 33 fields in the program folder, holding the banners, the data
// folder, printing and rounding choices, the current round, the bet buttons, the capacities and
// the flight names.
#include <optional>
#include <string>

#include "platform/fileerror.h"
#include "records/shared.h"

namespace vt {

class Host;
class Context;

inline const char* const kSetupFile = "C:\\Vantrope\\Init";
inline const char* const kProgramFolder = "C:\\Vantrope\\";

// The fixed tables every load fills: printer font sizes, rounding steps, bet-button amounts.
void fillsetuptables(Shared& sh);
// The first-run values of every setup field.
void setupdefaults(Shared& sh);
// Capacities in force whatever the file says; the tables sized from them.
void fixcapacities(Shared& sh);
// The banner of a round key ("" for none).
std::string& roundbanner(Shared& sh, const std::string& key);

// The record as written: 33 fields, one line. FileError 5 when a text holds a double quote or a
// line end.
std::string setuprecord(const Shared& sh);
// Reads the 33 fields of a record into the setup variables. A value out of its range takes its
// first-run value. FileError 62 when the record is short. keeppath: the data folder is not taken.
void parsesetup(Shared& sh, const std::string& bytes, bool keeppath = false);
// Reads the setup file into the setup variables (FileError when it cannot be read whole).
void readsetup(Host& app, bool keeppath = false);
// Replaces the setup file with the current values, as one transaction titled with the label the
// last file operation left; false after the file-error box when it cannot be written (`failed`,
// when given, is told the error first).
bool writesetup(Host& app, std::optional<FileError>* failed = nullptr);

}  // namespace vt

namespace vt {
// The setup screen's own file work (clearing, transfer, name import) is done in the program
// folder, the one data folder of the working screens, whatever folder was chosen; the data
// folder is put back afterwards.
class InProgramFolder {
  public:
    explicit InProgramFolder(Shared& sh) : sh_(sh), path_(sh.datapath) {
        sh.datapath = kProgramFolder;
    }
    ~InProgramFolder() { sh_.datapath = path_; }
    InProgramFolder(const InProgramFolder&) = delete;
    InProgramFolder& operator=(const InProgramFolder&) = delete;

  private:
    Shared& sh_;
    std::string path_;
};

// Stages a Bettors file holding only bettor 1, "AnyBettor", into the caller's transaction
// (FileError on failure).
void writeanybettor(Host& app, const std::string& path);
}  // namespace vt
