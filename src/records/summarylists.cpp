#include "records/summarylists.h"

#include <algorithm>

#include "platform/text.h"
#include "records/host.h"
#include "records/moneytext.h"
#include "records/records.h"

namespace vt {

namespace {

// disptab and sorttab have 1000 rows whatever the capacity says.
long tablerows(const Shared& sh, const std::vector<std::array<std::string, 7>>& table) {
    return std::min<long>(sh.maxplayers, static_cast<long>(table.size()) - 1);
}

void cleardisprow(std::array<std::string, 7>& row) { row = {"", "zzz", "0", "0", "0", "0", ""}; }

// A collected row as the text columns of the working tables.
std::array<std::string, 7> tabletext(const SummaryRow& r) {
    return {
        "",    r.key, r.win.tostring(), r.place.tostring(), r.show.tostring(), r.total.tostring(),
        r.odds};
}

// Character-code order: plain byte comparison, upper case before lower case.
int comparecodes(const std::string& a, const std::string& b) {
    int c = std::string_view(a).compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace

std::vector<SummaryRow> collectsummaryrows(Shared& sh, bool loose) {
    std::vector<SummaryRow> rows;
    long last = std::min<long>(sh.maxplayers, static_cast<long>(sh.entries.size()));
    for (long i = 1; i <= last; ++i) {
        const Entry& e = sh.entries(i);
        if (!loose && (i >= sh.nextentryrow || e.name.empty())) break;
        if (!isflight(e.flight)) continue;
        if (!loose && e.name == "zzz") continue;
        const std::string& label = sh.flightnames[e.flight];
        if (loose ? !equalsnocase(label, sh.curflight) : label != sh.curflight) continue;
        SummaryRow r;
        r.key = label + e.name;
        if (e.number >= 1 && e.number <= static_cast<long>(sh.summ.size())) {
            const SummRow& s = sh.summ(e.number);
            r.win = s.win;
            r.place = s.place;
            r.show = s.show;
            r.total = s.total;
            r.odds = s.oddswin;
        }
        rows.push_back(r);
    }
    // The working table keeps the collected rows for anyone looking at it.
    long n = tablerows(sh, sh.sorttab);
    for (long i = 1; i <= n; ++i) {
        auto& t = sh.sorttab[i];
        if (i <= static_cast<long>(rows.size())) {
            t = tabletext(rows[i - 1]);
        } else {
            t = {"", "", "0", "0", "0", "0", ""};
        }
    }
    return rows;
}

std::vector<SummaryRow> ordersummaryrows(std::vector<SummaryRow> rows, SummaryOrder order) {
    switch (order) {
        case SummaryOrder::NameNoCase:
            std::stable_sort(rows.begin(), rows.end(),
                             [](const SummaryRow& a, const SummaryRow& b) {
                                 return comparenocase(a.key, b.key) < 0;
                             });
            return rows;
        case SummaryOrder::NameCodes:
            std::stable_sort(rows.begin(), rows.end(),
                             [](const SummaryRow& a, const SummaryRow& b) {
                                 return comparecodes(a.key, b.key) < 0;
                             });
            return rows;
        case SummaryOrder::WinMoney: {
            // Each pick starts from the first collected row and takes a larger WIN amount only,
            // so the entries with WIN money come largest first, then the first row when it has
            // none; the other entries without WIN money are left out. At most 35 lines.
            std::vector<SummaryRow> out;
            for (const auto& r : rows)
                if (r.win > Money{}) out.push_back(r);
            std::stable_sort(out.begin(), out.end(), [](const SummaryRow& a, const SummaryRow& b) {
                return a.win > b.win;
            });
            if (!rows.empty() && !(rows.front().win > Money{})) out.push_back(rows.front());
            if (out.size() > static_cast<size_t>(kSortLines)) out.resize(kSortLines);
            return out;
        }
    }
    return rows;
}

void writedisptab(Shared& sh, const std::vector<SummaryRow>& rows) {
    long n = tablerows(sh, sh.disptab);
    for (long i = 1; i <= n; ++i) {
        auto& d = sh.disptab[i];
        if (i <= static_cast<long>(rows.size())) {
            d = tabletext(rows[i - 1]);
        } else {
            cleardisprow(d);
        }
    }
    // A full table has no room for the end row; its readers stop at the last row instead.
}

bool disptabend(const Shared& sh, long r) {
    return r < 1 || r > tablerows(sh, sh.disptab) || sh.disptab[r][1] == "zzz";
}

SummaryRow disptabrow(const Shared& sh, long r) {
    const auto& d = sh.disptab.at(r);
    SummaryRow row;
    row.key = d[1];
    row.win = shownamount(d[2]);
    row.place = shownamount(d[3]);
    row.show = shownamount(d[4]);
    row.total = shownamount(d[5]);
    row.odds = d[6];
    return row;
}

void clearsummarylists(Form& f) {
    for (const char* name : {"lstentries", "lstwin", "lstplace", "lstshow", "lsttotal", "lstodds"})
        f.control(name).clear();
}

void addsummaryline(Form& f, const SummaryRow& row) {
    f.control("lstentries").additem(row.key);
    f.control("lstwin").additem(Format(row.win, "#,##0.00"));
    f.control("lstplace").additem(Format(row.place, "#,##0.00"));
    f.control("lstshow").additem(Format(row.show, "#,##0.00"));
    f.control("lsttotal").additem(Format(row.total, "#,##0.00"));
    f.control("lstodds").additem(row.odds);
}

void showsummarytotals(Shared& sh, Form& f) {
    const SummRow& t = sh.summ(sh.maxplayers + 1);
    f.control("txtwintot").settext(Format(t.win, "#,##0.00"));
    f.control("txtplacetot").settext(Format(t.place, "#,##0.00"));
    f.control("txtshowtot").settext(Format(t.show, "#,##0.00"));
    f.control("txttotaltot").settext(Format(t.total, "#,##0.00"));
}

void fillsummarylists(Host& app) {
    Shared& sh = app.shared();
    // The first touch loads the summary screen unseen; its own loading runs first.
    Form& f = app.form("frmsummary");
    try {
        readentries(app);
        clearsummarylists(f);
        std::vector<SummaryRow> rows = collectsummaryrows(sh, true);
        // A flight without entries still shows one empty line with zero amounts.
        if (rows.empty()) rows.push_back(SummaryRow{});
        rows = ordersummaryrows(std::move(rows), SummaryOrder::NameNoCase);
        writedisptab(sh, rows);
        for (size_t n = 0; n < rows.size() && n < static_cast<size_t>(kSummaryPage); ++n)
            addsummaryline(f, rows[n]);
        showsummarytotals(sh, f);
    } catch (const FileError& e) {
        app.fileerrorbox(e);
    }
}

}  // namespace vt
