#pragma once
#include <array>
#include <string>
#include <vector>

#include "app/app.h"

namespace vt {

// File inspection screen: shows any data file on one grid, validates bet records, removes a bad
// record, sorts the grid and prints it.
class Frmfix : public Form {
public:
    explicit Frmfix(App& app);

    Control& grdfix;
    Control &cmdbettor, &cmdbettorb, &cmdhorses, &cmdplayerb, &cmdbets, &cmdbackup;
    Control &cmdupdate, &cmdrplayer, &cmdrbettor, &cmdprint, &cmdsorta, &cmdreturn;
    Control &frasort, &chkasc, &chkdes, &chkalp, &chknum, &txtasc, &txtdes, &txtalp, &txtnum;
    Control &fraflight, &Frame1, &fraround, &Option1, &Option2, &Option3, &Option4;
    Control &txtbanner, &lblbets, &lblcopyr;
    std::array<Control*, 16> optflight{};

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
    // One bet record as read from a Bets file, fields kept as written.
    struct RawBet {
        Field bettor, entry, type, amount;
    };

    void setupgrid(const std::vector<std::pair<std::string, int>>& columns);
    void setrow(int r, const std::vector<std::string>& cells);
    std::vector<RawBet> readrawbets(const std::string& file) const;
    void showbets(const std::vector<RawBet>& bets);
    void showbetsforchoice();
    std::string bettorname(long number, bool& found) const;
    std::string entrycell(double e) const;
    void closesortframe();
    // The file row of the record the operator picked in display d, 0 when none was picked there.
    long pickedrecord(Display d) const;
    void clearpick();
    void removegridrowfor(long rec);

    App& app_;
    Display display_ = Display::None;
    std::string displayround_;
    long displayflight_ = 0;
    long pickedrec_ = 0;            // record number (column 0) of the row clicked
    std::vector<long> removed_;     // records removed from the current display
};

}  // namespace vt
