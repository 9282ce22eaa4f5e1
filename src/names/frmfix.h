#pragma once
#include <array>
#include <map>
#include <string>
#include <vector>

#include "records/filelines.h"
#include "records/host.h"

namespace vt {

// File inspection screen: shows any data file on one grid, validates bet records, removes a bad
// record, sorts the grid and prints it.
class frmfix : public Form {
  public:
    explicit frmfix(Host& app);

    Control& grdfix;
    Control &cmdbettor, &cmdbettorb, &cmdhorses, &cmdplayerb, &cmdbets, &cmdbackup;
    Control &cmdupdate, &cmdrplayer, &cmdrbettor, &cmdprint, &cmdsorta, &cmdreturn;
    Control &frasort, &chkasc, &chkdes, &chkalp, &chknum, &txtasc, &txtdes, &txtalp, &txtnum;
    Control &fraflight, &Frame1, &fraround, &Option1, &Option2, &Option3, &Option4;
    Control &txtbanner, &lblbets, &lblcopyr;
    std::array<Control*, nflights + 1> optflight{};

    void cmdbettor_Click();
    void cmdbettorb_Click();
    void cmdhorses_Click();
    void cmdplayerb_Click();
    void cmdbets_Click();
    void cmdbackup_Click();
    void cmdupdate_Click();
    void cmdrplayer_Click();
    void cmdrbettor_Click();
    void cmdprint_Click();
    void grdfix_Click();
    void chkasc_Click();
    void chkdes_Click();
    void chkalp_Click();
    void chknum_Click();
    void optflight_Click(int index);
    void roundoption_Click(int n);
    void cmdreturn_Click();

    long fixflight = 1;
    std::string fixflightname;
    std::string saveround, savebanner;
    std::string sortdir = " ";

  protected:
    void Form_Load() override;

  private:
    // Which display the grid shows; a removal works only on its own primary display.
    enum class Display { None, Bettors, BettorsBackup, Players, PlayersBackup, Bets, BetsBackup };
    // Entry numbers with their flight and name, and bettor numbers with their name, taken from
    // the good records of a Players and the Bettors file: the bet displays look names up here.
    struct Names {
        std::map<long long, std::pair<long, std::string>> entries;
        std::map<long long, std::string> bettors;
        bool operator==(const Names&) const = default;
    };

    void setupgrid(const std::vector<std::pair<std::string, int>>& columns);
    // Writes a grid row (the grid grows to hold it); `left` left-aligns each cell written, as
    // the bet displays do.
    void setrow(int r, const std::vector<std::string>& cells, bool leftaligned = false);
    // Reads the file the display shows into shown_, up to the capacity of its table (one box
    // says when it holds more); false after the box (a missing file reads as empty when
    // `missingempty`).
    bool readshown(const std::string& file, FileKind kind, bool missingempty);
    // Takes in the bytes of the shown file: its lines up to the capacity, and what identifies
    // the bytes. With `before`, the bytes its lines were read from, only what changed is read.
    void takeshown(const std::string& bytes, bool tell, const std::string* before = nullptr);
    void tellemptied(const std::string& file, const std::string* bytes);
    Names names(const std::string& playersfile);
    void showbettorfile(Display d, const std::string& file);
    void showplayerfile(Display d, const std::string& file);
    void showbetsforchoice();
    void closesortframe();
    // The line of the shown file the operator picked in display d (1-based), 0 when none was
    // picked there.
    long pickedrecord(Display d) const;
    void clearpick();
    void removegridrowfor(long rec);
    // After line k of the shown Bets file was removed: takes its row out of the bet display when
    // the grid is as that display left it and every other row would be built again unchanged;
    // false when the display must be built again.
    bool dropbetrow(long k);
    // Removes line k of the shown file, keeping every other byte, from the files it is written
    // to (the first is the one shown); false, with a message, when refused or not written.
    bool removeline(long k, const std::vector<std::pair<std::string, std::string>>& files);

    // The file on the grid and its lines as displayed, up to the capacity. The bytes are not
    // kept (a file may be far larger than the table): their size and hash tell that a removal
    // still works on the same file.
    struct Shown {
        std::string file;
        FileKind kind = FileKind::Bets;
        bool missing = false;
        size_t size = 0, hash = 0;
        std::vector<FileLine> lines;
        bool more = false;  // the file holds lines past the capacity
    };
    Shown shown_;
    // What the bet display was built from, and the grid's revisions when it was done.
    struct BetsGrid {
        bool valid = false;
        uint64_t rev = 0, shaperev = 0;
        Names names;
        std::array<std::string, nflights + 1> flightnames;
        long maxplayers = 0;
    };
    BetsGrid betsgrid_;
    Host& app_;
    Display display_ = Display::None;
    std::string displayround_;
    long displayflight_ = 0;
    long pickedrec_ = 0;         // line number (column 0) of the row clicked
    std::vector<long> removed_;  // lines removed from the current display
};

}  // namespace vt
