#pragma once
#include <functional>
#include <string>
#include <vector>

#include "records/host.h"

namespace vt {

// The cashier's betting screen: bettor, odds board, bet composition, placing, paying, deleting.
class frmbet : public Form {
  public:
    explicit frmbet(Host& app);

    // Flight number of each board line (1-based, beside the shared board lines), so the
    // scroller can leave out the lines of unticked flights without comparing captions.
    std::vector<long> boardflight;

    // Colours of the blinking step prompts.
    static constexpr uint32_t white = 0xFFFFFF, red = 0xFF0000, green = 0x00FF00;

  protected:
    void Form_Load() override;

  private:
    // One bet of a click of "PLACE CURRENT BET", composed and checked before anything is written.
    struct NewBet {
        long bettor = 0, entry = 0, type = 0, flight = 0;
        Money amount;
        std::string name, wps;
    };

    void buildcontrols();
    void buildboardcontrols();
    void showdataerror();
    void setcolor(const std::string& name, uint32_t c);
    uint32_t color(const std::string& name);
    void prompts_white();

    // Round options.
    void Option_Click(int k);
    void selectroundquietly();
    // Bettor.
    void cbobettor_KeyPress(int& key);
    void cbobettor_Click();
    bool unpaid();
    void showcurrentbettor();
    void fillbettors();
    void listbettor();
    void clearlist();
    void addlistline(const std::vector<PItem>& line, long flight, const Bet& bet);
    bool eachpriorbet(const std::string& badmessage,
                      const std::function<void(long, const Bet&, const Entry&)>& fn);
    std::vector<PItem> betline(long flight, const std::string& name, Money amount,
                               const std::string& wps) const;
    // Board, scroller, sort and flight boxes.
    void lstentries_Click();
    void Timer1_Timer();
    void scrollboard();
    void blinkprompts();
    void cmdfaster_Click();
    void cmdslower_Click();
    void cmdhide_Click();
    void sort_Click(int flt, int pt, int odds);
    void Check1_Click();
    void rebuildboard();
    // Composition.
    void position_Click(const std::string& wps, long pos);
    void cmdbamount_Click(int index);
    void cmdclrpos_Click();
    void cmdreturn_Click();
    void txtbanner_DblClick();
    void cmdprint_Click();
    // Placing.
    void cmddone_Click();
    bool composebets(std::vector<NewBet>& out);
    bool checkcapacity(const std::vector<NewBet>& bets);
    bool writebets(const std::vector<NewBet>& bets);
    void recordbets(const std::vector<NewBet>& bets);
    void missing();
    // Paying and deleting.
    void cmdpay_Click();
    void printreceipt();
    void cmdclear_Click();
    bool deletebet(const Bet& bet, long flight);
    void relist();

    // The flight whose Bets pair holds the bet of each bet-list line (0 for the divider).
    std::vector<long> betflight;
    // Each bet-list line as the receipt prints it: the label and name in their fields.
    std::vector<std::vector<PItem>> betprint;

    Host& app_;
    Shared& sh_;
    bool quiet_ = false;    // set while the screen itself sets an option, so no handler runs
    bool loading_ = false;  // set during the load, which builds the board once at its end
};

}  // namespace vt
