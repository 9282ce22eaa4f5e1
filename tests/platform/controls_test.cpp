#include "testform.h"

using namespace vt;
using vt::test::ProbeForm;

namespace {

class Controls : public vt::test::AppTest {
  protected:
    Controls() { vt::test::registerprobe(*app); }
    ProbeForm& probe() { return app->formas<ProbeForm>("frmprobe"); }
    Control& c(const std::string& name, int index = -1) { return probe().control(name, index); }
    std::vector<std::string>& log() { return probe().log; }
    // The log from here on.
    void mark() { log().clear(); }
};

}  // namespace

TEST_F(Controls, TextSetInCodeFiresChangeOnlyWhenItChanges) {
    mark();
    c("txtname").settext("Smith");
    c("txtname").settext("Smith");
    c("lblnote").settext("other");
    EXPECT_EQ(log(), std::vector<std::string>{"txtname.Change"});
    EXPECT_EQ(c("txtname").text(), "Smith");
    EXPECT_EQ(c("lblnote").caption(), "other");
}

TEST_F(Controls, CheckValueFiresClickAndClickToggles) {
    mark();
    c("chkpaid").setvalue(1);
    c("chkpaid").setvalue(1);
    c("chkpaid").click();
    EXPECT_EQ(c("chkpaid").value(), 0);
    EXPECT_EQ(log(), (std::vector<std::string>{"chkpaid.Click", "chkpaid.Click"}));
    c("chkpaid").setenabled(false);
    c("chkpaid").click();
    EXPECT_EQ(c("chkpaid").value(), 0);
}

TEST_F(Controls, OptionsClearOnlyTheirOwnFrame) {
    mark();
    c("optpick", 1).setvalue(1);
    c("optpick", 3).setvalue(1);
    EXPECT_EQ(c("optpick", 1).value(), 1);
    c("optpick", 2).click();
    EXPECT_EQ(c("optpick", 1).value(), 0);
    EXPECT_EQ(c("optpick", 2).value(), 1);
    EXPECT_EQ(c("optpick", 3).value(), 1);
    c("optpick", 4).setvalue(1);
    EXPECT_EQ(c("optpick", 3).value(), 0);
    EXPECT_EQ(c("optpick", 2).value(), 1);
    // Clearing in code fires nothing.
    c("optpick", 4).setvalue(0);
    EXPECT_EQ(log(), (std::vector<std::string>{"optpick(1).Click", "optpick(3).Click",
                                               "optpick(2).Click", "optpick(4).Click"}));
}

TEST_F(Controls, SortedListKeepsItemDataAndNewIndex) {
    Control& l = c("lstnames");
    const std::vector<std::pair<std::string, long>> adds = {
        {"banana", 1}, {"Apple", 2}, {"_under", 3}, {"cherry", 4}, {"apple", 5}, {"Zebra", 6}};
    std::vector<int> where;
    for (auto& [text, data] : adds) {
        l.additem(text);
        where.push_back(l.newindex());
        l.setitemdata(l.newindex(), data);
    }
    EXPECT_EQ(where, (std::vector<int>{0, 0, 2, 2, 1, 4}));
    std::vector<std::string> texts;
    std::vector<long> datas;
    for (int i = 0; i < l.listcount(); ++i) {
        texts.push_back(l.list(i));
        datas.push_back(l.itemdata(i));
    }
    // Case folds to upper case: equal names keep the order they came in, "_" sorts after "Z".
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Apple", "apple", "banana", "cherry", "Zebra", "_under"}));
    EXPECT_EQ(datas, (std::vector<long>{2, 5, 1, 4, 6, 3}));
    EXPECT_EQ(l.findbydata(4), 3);

    // The picked row follows its item when another goes in before it or comes out.
    mark();
    l.setlistindex(2);
    l.additem("aardvark");
    EXPECT_EQ(l.listindex(), 3);
    EXPECT_EQ(l.text(), "banana");
    l.removeitem(0);
    EXPECT_EQ(l.listindex(), 2);
    EXPECT_EQ(l.itemdata(l.listindex()), 1);
    EXPECT_EQ(log(), std::vector<std::string>{"lstnames.Click"});
    EXPECT_THROW(l.setlistindex(l.listcount()), std::out_of_range);
    l.clear();
    EXPECT_EQ(l.listindex(), -1);
    EXPECT_EQ(l.listcount(), 0);
}

TEST_F(Controls, ComboListIndexSetsTextAndFiresClick) {
    Control& cmb = c("cmbpos", 0);
    cmb.additem("1");
    cmb.additem("2");
    mark();
    cmb.setlistindex(1);
    EXPECT_EQ(cmb.text(), "2");
    EXPECT_EQ(log(), std::vector<std::string>{"cmbpos.Click"});
    cmb.settext("7");
    EXPECT_EQ(log().back(), "cmbpos.Change");
    EXPECT_EQ(cmb.listcount(), 2);
}

TEST_F(Controls, KeyPressGetsTheKeyByReference) {
    Control& t = c("txtname");
    t.KeyPress = [](int& k) {
        if (k >= 'a' && k <= 'z') k -= 32;  // typed upper case
        if (k == '"') k = 0;                // swallowed
    };
    for (char ch : std::string("ab\"c")) t.keypress(ch);
    EXPECT_EQ(t.text(), "ABC");
    EXPECT_EQ(t.selstart, 3);
    t.keypress(vbKeyBack);
    EXPECT_EQ(t.text(), "AB");
    t.maxlength = 2;
    t.keypress('x');
    EXPECT_EQ(t.text(), "AB");
    t.locked = true;
    t.maxlength = 0;
    t.keypress('x');
    EXPECT_EQ(t.text(), "AB");
}

TEST_F(Controls, TimerTicksOnlyWhenEnabledWithAnInterval) {
    Control& tmr = c("tmrclock");
    int ticks = 0;
    tmr.Timer = [&] { ++ticks; };
    tmr.tick();
    tmr.interval = 1000;
    tmr.tick();
    tmr.setenabled(false);
    tmr.tick();
    EXPECT_EQ(ticks, 1);
}

TEST_F(Controls, GridCellsAndSort) {
    auto& g = c("grdbets");
    g.setrows(5);
    g.setcols(2);
    const char* names[] = {"", "b", "a", "B", "c"};
    const char* nums[] = {"", "10", "9", "100", "9"};
    for (int r = 1; r < 5; ++r) {
        g.settextmatrix(r, 0, names[r]);
        g.settextmatrix(r, 1, nums[r]);
    }
    g.grid.col = g.grid.colsel = 1;
    g.setsort(flexSortNumericAscending);
    EXPECT_EQ(g.textmatrix(1, 0) + g.textmatrix(2, 0) + g.textmatrix(3, 0) + g.textmatrix(4, 0),
              "acbB");
    g.grid.col = g.grid.colsel = 0;
    g.setsort(flexSortGenericDescending);
    EXPECT_EQ(g.textmatrix(1, 0) + g.textmatrix(2, 0) + g.textmatrix(3, 0) + g.textmatrix(4, 0),
              "cbBa");
    EXPECT_THROW(g.textmatrix(5, 0), std::out_of_range);
}

// A sort moves each row's own cell alignments with its texts; the title row keeps its own.
TEST_F(Controls, SortedRowsTakeTheirCellAlignments) {
    auto& g = c("grdbets");
    g.setrows(5);
    g.setcols(2);
    const char* names[] = {"Name", "d", "", "b", "a"};
    for (int r = 0; r < 5; ++r) {
        g.settextmatrix(r, 0, names[r]);
        if (r != 2) g.setcellalignment(r, 1, r == 0 ? 4 : r);  // row 2 keeps its column's
    }
    g.grid.col = g.grid.colsel = 0;
    g.setsort(flexSortGenericAscending);
    std::string order, aligned;
    for (int r = 0; r < 5; ++r) {
        order += g.textmatrix(r, 0) + "|";
        aligned += std::to_string(g.cellalignment(r, 1)) + "|";
    }
    EXPECT_EQ(order, "Name||a|b|d|");
    EXPECT_EQ(aligned, "4|9|4|3|1|");
    EXPECT_EQ(g.grid.cellalignment.size(), 4u);
}

TEST_F(Controls, RevisionsMoveWithEveryChangeAndGridRowsTellWhichChanged) {
    auto& t = c("txtname");
    uint64_t before = t.revision();
    t.settext("A");
    EXPECT_GT(t.revision(), before);
    auto& l = c("lstnames");
    uint64_t items = l.listrevision();
    l.additem("x");
    EXPECT_GT(l.listrevision(), items);
    items = l.listrevision();
    l.setlistindex(0);  // a pick is not a change of the items
    EXPECT_EQ(l.listrevision(), items);
    // Picking one option clears the others of its frame, and they are mirrored too.
    c("optpick", 1).setvalue(1);
    uint64_t other = c("optpick", 1).revision();
    c("optpick", 2).setvalue(1);
    EXPECT_GT(c("optpick", 1).revision(), other);

    auto& g = c("grdbets");
    g.setcols(3);
    g.setrows(4);
    uint64_t seen = g.grid.rev;
    g.settextmatrix(2, 1, "x");
    g.settextmatrix(2, 1, "x");  // the same text again changes nothing
    for (int r = 0; r < 4; ++r) EXPECT_EQ(g.grid.rowrev[r] > seen, r == 2) << r;
    seen = g.grid.rev;
    g.setcellbold(3, 0, true);
    EXPECT_GT(g.grid.rowrev[3], seen);
    EXPECT_LE(g.grid.rowrev[2], seen);
    // Rows coming or going change the shape.
    uint64_t shape = g.grid.shaperev;
    g.removegridrow(1);
    EXPECT_GT(g.grid.shaperev, shape);
    EXPECT_EQ(g.grid.rowrev.size(), 3u);
}

TEST_F(Controls, RemovedGridRowTakesItsCellAlignmentsAndTheRowsBelowKeepTheirs) {
    auto& g = c("grdbets");
    g.setcols(3);
    g.setrows(5);
    for (int r = 1; r < 5; ++r) g.setcellalignment(r, r % 3, r);
    g.removegridrow(2);
    ASSERT_EQ(g.rows(), 4);
    EXPECT_EQ(g.cellalignment(1, 1), 1);
    EXPECT_EQ(g.cellalignment(2, 0), 3);  // the rows below moved up with theirs
    EXPECT_EQ(g.cellalignment(3, 1), 4);
    EXPECT_EQ(g.cellalignment(2, 2), g.cellalignment(0, 2));  // row 2's own went with it
    EXPECT_EQ(g.grid.cellalignment.size(), 3u);
}

TEST_F(Controls, GridGrownRowByRowKeepsItsCellsAndAlignments) {
    auto& g = c("grdbets");
    g.setcols(2);
    g.setrows(1);
    for (int r = 1; r <= 3000; ++r) {
        g.setrows(r + 1);
        g.settextmatrix(r, 0, std::to_string(r));
        g.setcellalignment(r, 1, 7);
        g.setcellbold(r, 1, r % 2 == 0);
    }
    EXPECT_EQ(g.rows(), 3001);
    EXPECT_EQ(g.textmatrix(1, 0), "1");
    EXPECT_EQ(g.textmatrix(3000, 0), "3000");
    EXPECT_TRUE(g.cellbold(2, 1));
    EXPECT_FALSE(g.cellbold(3, 1));
    EXPECT_EQ(g.cellalignment(1500, 1), 7);
    // Set out of order, an alignment still lands on its own cell.
    g.setcellalignment(10, 0, 4);
    g.setcellalignment(10, 1, 2);
    EXPECT_EQ(g.cellalignment(10, 0), 4);
    EXPECT_EQ(g.cellalignment(10, 1), 2);
    EXPECT_EQ(g.cellalignment(11, 1), 7);
    // Fewer columns, then more: the cells of the columns that went are empty again.
    g.setcols(1);
    g.setcols(2);
    EXPECT_EQ(g.textmatrix(2, 1), "");
    EXPECT_EQ(g.textmatrix(2, 0), "2");
}
