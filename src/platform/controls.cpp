#include "platform/controls.h"

#include <algorithm>
#include <stdexcept>

#include "platform/drives.h"
#include "platform/runtime.h"
#include "platform/text.h"

namespace vt {

// ---------------------------------------------------------------- grid

void GridState::resize(int r, int c) {
    if (r < 0) r = 0;
    if (c < 0) c = 0;
    if (r != rows || c != cols || static_cast<int>(cells.size()) != r) ++shaperev;
    // Rows that stay keep their cells unless the columns changed: growing a grid row by row
    // costs each new row, not every row again.
    size_t keep = c == cols ? std::min(cells.size(), static_cast<size_t>(r)) : 0;
    bool narrower = c < cols;
    rows = r;
    cols = c;
    cells.resize(r);
    bold.resize(r);
    rowrev.resize(r, 0);
    for (size_t i = keep; i < cells.size(); ++i) {
        cells[i].resize(c);
        bold[i].resize(c);
        rowrev[i] = ++rev;
    }
    colwidth.resize(c, 960);
    colalignment.resize(c, 9);
    // Cells that go take their alignment with them: a cell made again starts with its column's.
    // The rows that go are the end of the map; only a narrower grid looks at every cell.
    cellalignment.erase(cellalignment.lower_bound({r, 0}), cellalignment.end());
    if (narrower) std::erase_if(cellalignment, [&](const auto& e) { return e.first.second >= c; });
    if (row >= rows) row = rows - 1;
    if (col >= cols) col = cols - 1;
}

void GridState::touchrows(int from, int to) {
    ++rev;
    for (int r = std::max(from, 0); r < to && r < static_cast<int>(rowrev.size()); ++r)
        rowrev[r] = rev;
}

// ---------------------------------------------------------------- control

Control::Control(Form& form, Kind kind, std::string name, int index)
    : form_(form), kind_(kind), name_(std::move(name)), index_(index) {
    if (kind_ == Kind::Grid) grid.resize(2, 2);
    if (kind_ == Kind::Timer) visible_ = false;
}

std::string Control::text() const {
    if ((kind_ == Kind::ListBox || kind_ == Kind::FileListBox || kind_ == Kind::DirListBox) &&
        listindex_ >= 0 && listindex_ < listcount())
        return items_[listindex_].text;
    return text_;
}

void Control::setcaption(const std::string& s) {
    text_ = s;
    touch();
}

void Control::settext(const std::string& s) {
    if (kind_ == Kind::ListBox) {
        for (int i = 0; i < listcount(); ++i)
            if (items_[i].text == s) {
                setlistindex(i);
                return;
            }
        return;
    }
    bool changed = text_ != s;
    text_ = s;
    touch();
    // Text set in code leaves the caret at its end, so typing goes on after it.
    if (changed) movecaretend();
    if (changed && (kind_ == Kind::TextBox || kind_ == Kind::ComboBox) && Change) fire(Change);
}

void Control::replaceselection(const std::string& s) {
    int size = static_cast<int>(text_.size());
    int start = std::clamp(selstart, 0, size);
    int len = std::clamp(sellength, 0, size - start);
    std::string next = text_.substr(0, start) + s + text_.substr(start + len);
    bool changed = next != text_;
    text_ = std::move(next);
    touch();
    selstart = start + static_cast<int>(s.size());
    sellength = 0;
    if (changed && Change) fire(Change);
}

void Control::setfocus() {
    form_.focused = this;
    ++form_.focusmoves;
}
bool Control::hasfocus() const { return form_.focused == this; }

void Control::setvalue(int v) {
    touch();
    if (kind_ == Kind::CommandButton) {
        if (v && Click) fire(Click);
        return;
    }
    if (kind_ == Kind::OptionButton) {
        value_ = v ? 1 : 0;
        if (v) {
            // Clear the other options of the same container.
            Control* mine = form_.container.count(this) ? form_.container.at(this) : nullptr;
            for (Control* c : form_.controls()) {
                if (c == this || c->kind_ != Kind::OptionButton) continue;
                Control* theirs = form_.container.count(c) ? form_.container.at(c) : nullptr;
                if (theirs == mine && c->value_) {
                    c->value_ = 0;
                    c->touch();
                }
            }
            if (Click) fire(Click);
        }
        return;
    }
    bool changed = value_ != v;
    value_ = v;
    if (kind_ == Kind::CheckBox && changed && Click) fire(Click);
}

std::string Control::list(int i) const {
    if (i < 0 || i >= listcount()) return "";
    return items_[i].text;
}

bool Control::selected(int i) const { return i >= 0 && i < listcount() && items_[i].selected; }

void Control::setselected(int i, bool s) {
    if (i < 0 || i >= listcount()) throw std::out_of_range("selected index");
    items_[i].selected = s;
    touchlist();
}

long Control::itemdata(int i) const {
    if (i < 0 || i >= listcount()) throw std::out_of_range("itemdata index");
    return items_[i].data;
}

void Control::setitemdata(int i, long d) {
    if (i < 0 || i >= listcount()) throw std::out_of_range("itemdata index");
    items_[i].data = d;
}

void Control::setlist(int i, const std::string& s) {
    if (i < 0 || i >= listcount()) return;
    items_[i].text = s;
    touchlist();
}

void Control::additem(const std::string& s) {
    touchlist();
    if (sorted) {
        // After the last item that sorts equal or before (case-insensitive).
        auto it = std::upper_bound(
            items_.begin(), items_.end(), s,
            [](const std::string& v, const ListItem& e) { return comparenocase(v, e.text) < 0; });
        int at = static_cast<int>(it - items_.begin());
        items_.insert(it, ListItem{s, 0});
        newindex_ = at;
        if (listindex_ >= at) ++listindex_;
    } else {
        items_.push_back(ListItem{s, 0});
        newindex_ = listcount() - 1;
    }
}

void Control::additem(const std::string& s, int at) {
    touchlist();
    if (at < 0 || at > listcount()) at = listcount();
    items_.insert(items_.begin() + at, ListItem{s, 0});
    newindex_ = at;
    if (listindex_ >= at) ++listindex_;
}

void Control::removeitem(int i) {
    if (i < 0 || i >= listcount()) return;
    touchlist();
    items_.erase(items_.begin() + i);
    if (listindex_ == i)
        listindex_ = -1;
    else if (listindex_ > i)
        --listindex_;
}

void Control::clear() {
    touchlist();
    items_.clear();
    listindex_ = -1;
    newindex_ = -1;
    topindex = 0;
    if (kind_ == Kind::ComboBox) text_.clear();
}

void Control::setlistindex(int i) {
    if (i < -1 || i >= listcount()) throw std::out_of_range("listindex");
    listindex_ = i;
    touch();
    if (kind_ == Kind::ComboBox) text_ = i >= 0 ? items_[i].text : std::string();
    if (kind_ == Kind::FileListBox) filename = i >= 0 ? items_[i].text : std::string();
    if (kind_ == Kind::DirListBox && i >= 0)
        return;  // a pick moves the highlight; a double click opens
    if (Click) fire(Click);
}

int Control::findbydata(long d) const {
    for (int i = 0; i < listcount(); ++i)
        if (items_[i].data == d) return i;
    return -1;
}

void Control::movecaretend() {
    selstart = static_cast<int>(text_.size());
    sellength = 0;
}

void Control::tick() {
    if (enabled_ && interval > 0 && Timer) fire(Timer);
}

// ---------------------------------------------------------------- drive, folder, file lists

void Control::setdrive(const std::string& d) {
    drive = lcase(Left(d, 2));
    touch();
    if (Change) fire(Change);
}

void Control::setpath(const std::string& p) {
    path = p;
    refresh();
    if (Change) fire(Change);
}

namespace {

// C:\Vantrope\Round1 -> C:\, C:\Vantrope, C:\Vantrope\Round1 (either separator).
std::vector<std::string> folderchain(const std::string& path) {
    std::vector<std::string> out;
    if (path.size() < 2 || path[1] != ':') return out;
    std::string at = path.substr(0, 2) + "\\";
    out.push_back(at);
    size_t start = 2;
    while (start < path.size()) {
        size_t e = path.find_first_of("\\/", start);
        std::string part =
            path.substr(start, e == std::string::npos ? std::string::npos : e - start);
        if (!part.empty()) {
            at += (at.back() == '\\' ? "" : "\\") + part;
            out.push_back(at);
        }
        if (e == std::string::npos) break;
        start = e + 1;
    }
    return out;
}

}  // namespace

void Control::refresh() {
    touchlist();
    Files& files = form_.runtime().files();
    if (kind_ == Kind::DriveListBox) {
        items_.clear();
        for (char c : driveletters()) items_.push_back({std::string(1, c) + ":", 0});
        return;
    }
    if (kind_ != Kind::DirListBox && kind_ != Kind::FileListBox) return;
    items_.clear();
    listindex_ = -1;
    std::string base = path;
    if (!base.empty() && base.back() != '\\') base += '\\';
    // A folder list shows the way up first: the drive's root, each folder down to the open
    // one, then the open folder's subfolders.
    if (kind_ == Kind::DirListBox)
        for (const std::string& up : folderchain(path)) items_.push_back({up, 0});
    try {
        auto names =
            kind_ == Kind::DirListBox ? files.listfolders(base) : files.listfiles(base, pattern);
        for (auto& n : names) items_.push_back({kind_ == Kind::DirListBox ? base + n : n, 0});
    } catch (const FileError&) {
        // An unreadable folder lists nothing.
    }
}

// ---------------------------------------------------------------- grid cells

std::string Control::textmatrix(int r, int c) const {
    if (r < 0 || r >= grid.rows || c < 0 || c >= grid.cols) throw std::out_of_range("grid cell");
    return grid.cells[r][c];
}

void Control::settextmatrix(int r, int c, const std::string& s) {
    if (r < 0 || r >= grid.rows || c < 0 || c >= grid.cols) throw std::out_of_range("grid cell");
    if (grid.cells[r][c] == s) return;
    grid.cells[r][c] = s;
    grid.touchrow(r);
    touch();
}

void Control::setcolwidth(int c, int twips) {
    if (c < 0 || c >= grid.cols) throw std::out_of_range("grid column");
    grid.colwidth[c] = twips;
    touch();
}

int Control::colwidth(int c) const {
    if (c < 0 || c >= grid.cols) throw std::out_of_range("grid column");
    return grid.colwidth[c];
}

void Control::setcellbold(int r, int c, bool b) {
    if (r < 0 || r >= grid.rows || c < 0 || c >= grid.cols) throw std::out_of_range("grid cell");
    if (grid.bold[r][c] == b) return;
    grid.bold[r][c] = b;
    grid.touchrow(r);
    touch();
}

bool Control::cellbold(int r, int c) const {
    if (r < 0 || r >= grid.rows || c < 0 || c >= grid.cols) throw std::out_of_range("grid cell");
    return grid.bold[r][c];
}

void Control::setcolalignment(int c, int a) {
    if (c < 0 || c >= grid.cols) throw std::out_of_range("grid column");
    grid.colalignment[c] = a;
    grid.touchrows(0, grid.rows);
    touch();
}

void Control::setsort(int setting) {
    if (setting < 1 || setting > 4) return;
    int from = std::max(grid.fixedrows, 0);
    int c1 = std::min(grid.col, grid.colsel), c2 = std::max(grid.col, grid.colsel);
    if (c1 < 0 || c2 >= grid.cols || from >= grid.rows) return;
    std::vector<int> order(grid.rows - from);
    for (size_t i = 0; i < order.size(); ++i) order[i] = from + static_cast<int>(i);
    bool numeric = setting >= 3, descending = setting == 2 || setting == 4;
    auto key_less = [&](int a, int b) {
        for (int c = c1; c <= c2; ++c) {
            const std::string& x = grid.cells[a][c];
            const std::string& y = grid.cells[b][c];
            int cmp;
            if (numeric) {
                double vx = Val(x), vy = Val(y);
                cmp = vx < vy ? -1 : (vx > vy ? 1 : 0);
            } else {
                double vx, vy;
                // Generic sort: numbers compare as numbers, text as text.
                if (parsenumber(x, vx) && parsenumber(y, vy))
                    cmp = vx < vy ? -1 : (vx > vy ? 1 : 0);
                else
                    cmp = comparenocase(x, y);
            }
            if (cmp != 0) return descending ? cmp > 0 : cmp < 0;
        }
        return false;
    };
    std::stable_sort(order.begin(), order.end(), key_less);
    auto cells = grid.cells;
    auto bold = grid.bold;
    std::vector<int> moved(grid.rows);  // the row each sorted row goes to
    for (size_t i = 0; i < order.size(); ++i) {
        grid.cells[from + i] = cells[order[i]];
        grid.bold[from + i] = bold[order[i]];
        moved[order[i]] = from + static_cast<int>(i);
    }
    // A cell's own alignment goes with its row, as its text and weight do.
    auto& all = grid.cellalignment;
    std::map<std::pair<int, int>, int> aligned(all.begin(), all.lower_bound({from, 0}));
    for (auto it = all.lower_bound({from, 0}); it != all.end(); ++it)
        aligned.emplace(std::make_pair(moved[it->first.first], it->first.second), it->second);
    all = std::move(aligned);
    grid.touchrows(from, grid.rows);
    touch();
}

void Control::setcellalignment(int r, int c, int a) {
    if (r < 0 || r >= grid.rows || c < 0 || c >= grid.cols) throw std::out_of_range("grid cell");
    // Screens set alignments row by row: a key after the last one goes in at the end directly.
    auto& all = grid.cellalignment;
    std::pair<int, int> key{r, c};
    if (all.empty() || all.rbegin()->first < key)
        all.emplace_hint(all.end(), key, a);
    else
        all[key] = a;
    grid.touchrow(r);
    touch();
}

int Control::cellalignment(int r, int c) const {
    auto it = grid.cellalignment.find({r, c});
    if (it != grid.cellalignment.end()) return it->second;
    return c >= 0 && c < grid.cols ? grid.colalignment[c] : 9;
}

void Control::clearcells() {
    for (auto& row : grid.cells)
        for (auto& c : row) c.clear();
    for (auto& row : grid.bold) std::fill(row.begin(), row.end(), false);
    grid.touchrows(0, grid.rows);
    touch();
}

void Control::removegridrow(int r) {
    if (r < 0 || r >= grid.rows) throw std::out_of_range("grid row");
    grid.cells.erase(grid.cells.begin() + r);
    grid.bold.erase(grid.bold.begin() + r);
    grid.rowrev.erase(grid.rowrev.begin() + r);
    // The rows below move up with the alignments set for their cells.
    auto& all = grid.cellalignment;
    auto below = all.erase(all.lower_bound({r, 0}), all.lower_bound({r + 1, 0}));
    while (below != all.end()) {
        auto node = all.extract(below++);
        --node.key().first;
        all.insert(below, std::move(node));  // keys keep their order: it goes just before `below`
    }
    --grid.rows;
    ++grid.shaperev;
    touch();
    if (grid.row >= grid.rows) grid.row = grid.rows - 1;
}

void Control::addgridrow(const std::string& tabbed) {
    grid.resize(grid.rows + 1, grid.cols);
    touch();
    size_t start = 0;
    for (int c = 0; c < grid.cols; ++c) {
        size_t tab = tabbed.find('\t', start);
        grid.cells[grid.rows - 1][c] =
            tabbed.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
}

// ---------------------------------------------------------------- user actions

void Control::fire(const std::function<void()>& handler) {
    touch();
    form_.runtime().dispatch(handler);
}

void Control::click() {
    if (!enabled_ || !visible_) return;
    switch (kind_) {
        case Kind::OptionButton:
            setvalue(1);
            break;
        case Kind::CheckBox:
            setvalue(value_ ? 0 : 1);
            break;
        case Kind::ListBox:
        case Kind::ComboBox:
        case Kind::FileListBox:
        case Kind::DirListBox:
            if (listindex_ >= 0)
                setlistindex(listindex_);
            else if (Click)
                fire(Click);
            break;
        default:
            if (kind_ != Kind::Label && kind_ != Kind::Frame) setfocus();  // they take no focus
            if (Click) fire(Click);
            break;
    }
}

void Control::dblclick() {
    if (!enabled_ || !visible_) return;
    if (kind_ == Kind::DirListBox && listindex_ >= 0) {
        setpath(items_[listindex_].text);
        return;
    }
    if (DblClick) fire(DblClick);
}

void Control::keypress(int code) {
    if (!enabled_ || !visible_) return;
    // The handler and the edit are one event: a handler that unloads the form leaves this
    // control alive until the key is done.
    fire([this, code] {
        setfocus();
        int k = code;
        if (KeyPress) KeyPress(k);
        if (k == 0 || locked) return;
        if (kind_ != Kind::TextBox && kind_ != Kind::ComboBox) return;
        // The key edits at the caret, over the selection when there is one.
        if (k == vbKeyBack) {
            if (sellength <= 0 && selstart > 0) {
                --selstart;
                sellength = 1;
            }
            if (sellength > 0) replaceselection("");
        } else if (k == vbKeyReturn && multiline) {
            replaceselection("\r\n");
        } else if (k >= 32 && k < 256) {
            int kept = static_cast<int>(text_.size()) -
                       std::clamp(sellength, 0, static_cast<int>(text_.size()));
            if (maxlength > 0 && kept >= maxlength) return;
            replaceselection(std::string(1, static_cast<char>(k)));
        }
    });
}

void Control::deletekey() {
    if (!enabled_ || !visible_ || locked) return;
    if (kind_ != Kind::TextBox && kind_ != Kind::ComboBox) return;
    fire([this] {
        setfocus();
        if (sellength <= 0) {
            if (selstart >= static_cast<int>(text_.size())) return;
            sellength = 1;
        }
        replaceselection("");
    });
}

void Control::clickcell(int r, int c) {
    if (r < 0 || r >= grid.rows || c < 0 || c >= grid.cols) throw std::out_of_range("grid cell");
    touch();
    grid.row = grid.rowsel = r;
    grid.col = grid.colsel = c;
    if (Click) fire(Click);
}

// ---------------------------------------------------------------- form

Form::Form(Runtime& rt, std::string name) : rt_(rt), name_(std::move(name)) {}
Form::~Form() = default;

void Form::load() {
    if (loaded_) return;
    loaded_ = true;
    Form_Load();
}

void Form::show() {
    load();
    if (!loaded_) return;  // unloaded itself while loading
    // Unless its loading put the focus somewhere, a screen opens ready for typing.
    if (!visible_ && !focused)
        if (Control* c = firsttypedbox()) c->setfocus();
    visible_ = true;
    rt_.formshown(*this);
}

void Form::hide() { visible_ = false; }

void Form::unload() {
    if (!loaded_) return;
    Form_Unload();
    loaded_ = false;
    visible_ = false;
    rt_.formunloaded(*this);
}

bool Control::takestab() const {
    return tabstop && !(locked && (kind_ == Kind::TextBox || kind_ == Kind::ComboBox));
}

Control* Form::firsttypedbox() const {
    std::vector<Control*> order(order_);
    std::stable_sort(order.begin(), order.end(),
                     [](Control* a, Control* b) { return a->tabindex < b->tabindex; });
    for (Control* c : order) {
        bool typed =
            (c->kind() == Kind::TextBox || (c->kind() == Kind::ComboBox && !c->droplist)) &&
            !c->locked && c->tabstop;
        if (!typed || !c->visible() || !c->enabled()) continue;
        auto frame = container.find(c);
        if (frame != container.end() && frame->second && !frame->second->visible()) continue;
        return c;
    }
    return nullptr;
}

void Form::closerequest() {
    rt_.dispatch([this] { unload(); });
}

Control& Form::control(const std::string& name, int index) {
    auto it = controls_.find({name, index});
    if (it == controls_.end())
        throw std::out_of_range(name_ + " has no control " + name + "(" + std::to_string(index) +
                                ")");
    return *it->second;
}

bool Form::hascontrol(const std::string& name, int index) const {
    return controls_.count({name, index}) != 0;
}

Control& Form::add(Kind kind, const std::string& name, int index, const std::string& text, int l,
                   int t, int w, int h) {
    auto c = std::make_unique<Control>(*this, kind, name, index);
    Control& ref = *c;
    ref.setcaption(text);
    ref.move(l, t, w, h);
    ref.tabindex = static_cast<int>(order_.size());
    if (kind == Kind::ComboBox) ref.sorted = false;
    controls_[{name, index}] = std::move(c);
    order_.push_back(&ref);
    return ref;
}

}  // namespace vt
