#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vt {

class Form;
class Runtime;

enum class Kind {
    CommandButton,
    Label,
    TextBox,
    ListBox,
    ComboBox,
    OptionButton,
    CheckBox,
    Frame,
    PictureBox,
    Timer,
    DriveListBox,
    DirListBox,
    FileListBox,
    Grid
};

// Key codes handed to KeyPress handlers.
enum Key { vbKeyBack = 8, vbKeyTab = 9, vbKeyReturn = 13, vbKeyEscape = 27 };

struct ListItem {
    std::string text;
    long data = 0;
    bool selected = false;  // list boxes allowing several selections
};

// A grid cell and the grid's state (fixed rows/columns, widths in twips, sort settings).
struct GridState {
    int rows = 2, cols = 2, fixedrows = 1, fixedcols = 1;
    int row = 1, col = 1, rowsel = 1, colsel = 1;
    std::vector<std::vector<std::string>> cells;       // [row][col]
    std::vector<std::vector<bool>> bold;               // [row][col]
    std::vector<int> colwidth;                         // twips; 15 twips a pixel
    std::vector<int> colalignment;                     // 0 left-top .. 9 general
    std::map<std::pair<int, int>, int> cellalignment;  // (row, col) set in code; else the column's
    void resize(int r, int c);

    // Revisions for the view: each row keeps the value of `rev` when it last changed; `shaperev`
    // moves when rows or columns come or go. A view that saw `rev` mirrors only the rows above it.
    std::vector<uint64_t> rowrev;
    uint64_t rev = 1, shaperev = 1;
    void touchrow(int r) { rowrev[r] = ++rev; }
    void touchrows(int from, int to);
};

// Grid sort settings as the old grid numbered them.
enum GridSort {
    flexSortNone = 0,
    flexSortGenericAscending = 1,
    flexSortGenericDescending = 2,
    flexSortNumericAscending = 3,
    flexSortNumericDescending = 4
};

// One control of a form. State lives here; the Qt view mirrors it. Setting text, list index,
// option value or check value in code fires the same event a user action would.
class Control {
  public:
    Control(Form& form, Kind kind, std::string name, int index);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Form& form() const { return form_; }
    Kind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; }

    // Events; handlers are set by the form.
    std::function<void()> Click, DblClick, Change, GotFocus, LostFocus, Timer;
    std::function<void(int&)> KeyPress;

    // --- common properties
    std::string caption() const { return text_; }
    std::string text() const;
    void setcaption(const std::string& s);
    void settext(const std::string& s);  // fires Change for text and combo boxes
    bool visible() const { return visible_; }
    void setvisible(bool v) {
        visible_ = v;
        touch();
    }
    bool enabled() const { return enabled_; }
    void setenabled(bool e) {
        enabled_ = e;
        touch();
    }

    // Revisions for the view, which mirrors a control only when its revision moved (or one of
    // its plain fields such as position or font changed), and a list's items only when the list
    // revision moved. Every change made through a method moves them; touch() asks for the
    // control to be mirrored again (the view calls it when the user acted on the widget).
    uint64_t revision() const { return rev_; }
    uint64_t listrevision() const { return listrev_; }
    void touch() { ++rev_; }
    int left = 0, top = 0, width = 80, height = 24;
    void move(int l, int t, int w, int h) {
        left = l;
        top = t;
        width = w;
        height = h;
    }
    std::string fontname = "MS Sans Serif";
    int fontsize = 8;
    bool fontbold = false;
    uint32_t forecolor = 0x000000, backcolor = 0xFFFFFF;  // 0xRRGGBB
    bool backcolorset = false;
    std::string tooltip;
    int tabindex = 0;
    bool tabstop = true;  // false: Tab and a screen's opening focus pass the control by
    bool multiline = false;
    bool locked = false;
    // A box that only shows something (the event banner where a screen does not save it): it
    // cannot be typed into, and neither Tab nor a screen's opening focus lands on it.
    void showonly() {
        locked = true;
        tabstop = false;
    }
    // Tab stops here. A locked text or combo box only shows its text: Tab passes it by, and a
    // click still puts the caret there (to select and copy).
    bool takestab() const;
    int maxlength = 0;
    int alignment = 0;  // 0 left, 1 right, 2 centre
    void setfocus();
    bool hasfocus() const;

    // --- option button, check box: value 0/1 (true/false); command button value = click
    int value() const { return value_; }
    void setvalue(int v);

    // --- list and combo boxes
    bool sorted = false;
    bool droplist = false;  // combo style 2: text only from the list
    int listcount() const { return static_cast<int>(items_.size()); }
    std::string list(int i) const;
    long itemdata(int i) const;
    void setitemdata(int i, long d);
    void setlist(int i, const std::string& s);
    void additem(const std::string& s);
    void additem(const std::string& s, int at);
    void removeitem(int i);
    void clear();
    int newindex() const { return newindex_; }
    int listindex() const { return listindex_; }
    void setlistindex(int i);  // fires Click
    int topindex = 0;
    // List boxes allowing several selections: each item's selected state.
    bool multiselect = false;
    bool selected(int i) const;
    void setselected(int i, bool s);
    const std::vector<ListItem>& items() const { return items_; }
    // Index of the first item with that item data, -1 when none.
    int findbydata(long d) const;

    // --- text box caret
    int selstart = 0, sellength = 0;
    // Moves the caret to the end of the text (the old "send {END}").
    void movecaretend();

    // --- timer
    int interval = 0;
    // Runs the Timer event once when enabled (the Qt view ticks it; tests tick it by hand).
    void tick();

    // --- label titling the columns of a list drawn in a fixed-pitch font: the caption's words
    // (split at runs of blanks) stand over these character columns of the list's lines.
    Control* columnsof = nullptr;
    std::vector<int> captioncolumns;

    // --- picture box: lines printed into it
    std::vector<std::string> picturelines;

    // --- drive / dir / file list boxes: logical paths
    std::string drive;  // "c:"
    std::string path;   // "C:\Vantrope"
    std::string pattern = "*.*";
    std::string filename;                 // file list: the selected file's name
    void setdrive(const std::string& d);  // fires Change
    void setpath(const std::string& p);   // fires Change
    void refresh();                       // rebuilds the list from the folder

    // --- grid
    GridState grid;
    int rows() const { return grid.rows; }
    int cols() const { return grid.cols; }
    void setrows(int r) {
        grid.resize(r, grid.cols);
        touch();
    }
    void setcols(int c) {
        grid.resize(grid.rows, c);
        touch();
    }
    std::string textmatrix(int r, int c) const;
    void settextmatrix(int r, int c, const std::string& s);
    void setcolwidth(int c, int twips);
    int colwidth(int c) const;
    void setcellbold(int r, int c, bool b);
    bool cellbold(int r, int c) const;
    void setcolalignment(int c, int a);
    // Alignment of one cell (as colalignment numbers); the column's when none was set.
    void setcellalignment(int r, int c, int a);
    int cellalignment(int r, int c) const;
    // Sorts the non-fixed rows between row and rowsel by column col..colsel (settings 1-4).
    void setsort(int setting);
    void clearcells();
    void removegridrow(int r);
    void addgridrow(const std::string& tabbed);

    // --- automation: what a user does
    void click();  // a button press, option pick, check toggle, or list pick (as is)
    void dblclick();
    void keypress(int code);  // through KeyPress; the key, if kept, edits the text at the caret
    void deletekey();  // the Delete key: no KeyPress; removes the selection or the next character
    void clickcell(int r, int c);
    // Fires an event through the runtime (deferred unload, view refresh).
    void fire(const std::function<void()>& handler);

  private:
    // Puts s in place of the selection (or at the caret) and the caret after it; fires Change.
    void replaceselection(const std::string& s);
    Form& form_;
    Kind kind_;
    std::string name_;
    int index_;
    std::string text_;
    bool visible_ = true, enabled_ = true;
    int value_ = 0;
    std::vector<ListItem> items_;
    int listindex_ = -1, newindex_ = -1;
    uint64_t rev_ = 1, listrev_ = 1;
    void touchlist() {
        ++listrev_;
        ++rev_;
    }
};

// A form: a window with its controls. It exists while loaded; App creates it on first touch.
class Form {
  public:
    Form(Runtime& rt, std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }
    std::string caption;
    int left = 0, top = 0, width = 1024, height = 768;
    uint32_t backcolor = 0xC0C0C0;
    bool visible() const { return visible_; }
    bool loaded() const { return loaded_; }
    Runtime& runtime() const { return rt_; }

    // Runs Form_Load once.
    void load();
    void show();
    void hide();
    // Runs Form_Unload; the runtime drops the form after the current event.
    void unload();
    // The window manager asked to close the window: by default the form unloads (as an event).
    // Screens whose return button does more override this to do what that button does.
    virtual void closerequest();

    // Control by name and array index (-1 for a single control); throws when absent.
    Control& control(const std::string& name, int index = -1);
    bool hascontrol(const std::string& name, int index = -1) const;
    const std::vector<Control*>& controls() const { return order_; }
    Control* focused = nullptr;
    // Counts the times the program gave a control the focus: the view then moves the real
    // keyboard focus there, also when the user's clicks had taken it elsewhere meanwhile.
    int focusmoves = 0;
    // The control a screen opens with the focus on: its first box that takes typed text.
    Control* firsttypedbox() const;
    // The frame a control sits in (option buttons of one frame form a group). Positions stay in
    // form coordinates also for controls inside a frame.
    std::map<Control*, Control*> container;

  protected:
    // A control with its caption and its place (left, top, width, height).
    Control& add(Kind kind, const std::string& name, int index, const std::string& text, int l,
                 int t, int w, int h);
    Control& add(Kind kind, const std::string& name, const std::string& text, int l, int t, int w,
                 int h) {
        return add(kind, name, -1, text, l, t, w, h);
    }
    virtual void Form_Load() {}
    virtual void Form_Unload() {}

  private:
    Runtime& rt_;
    std::string name_;
    bool visible_ = false, loaded_ = false;
    std::map<std::pair<std::string, int>, std::unique_ptr<Control>> controls_;
    std::vector<Control*> order_;
};

}  // namespace vt
