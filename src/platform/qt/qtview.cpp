#include "platform/qt/qtview.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/controls.h"
#include "platform/qt/qtwidgets.h"

namespace vt {

using qtv::qs;
using qtv::Win;

namespace {
// Which view mirrors which runtime.
std::map<Runtime*, QtView*>& views() {
    static std::map<Runtime*, QtView*> all;
    return all;
}
}  // namespace

struct QtView::Impl {
    explicit Impl(Runtime& r) : rt(r) {}
    Runtime& rt;
    std::vector<std::unique_ptr<Win>> wins;
    bool syncing = false;

    Win* find(const std::string& name) {
        for (auto& w : wins)
            if (w->name == name) return w.get();
        return nullptr;
    }

    // A form that is gone: its window disappears now and is deleted once Qt is done with it
    // (the user's click that unloaded it may still be on the stack).
    static void drop(Win& w) {
        *w.alive = false;
        for (auto& [c, t] : w.timers) t->stop();
        if (w.window) {
            w.window->onclose = nullptr;
            w.window->hide();
            w.window->deleteLater();
        }
    }

    Win& make(Form& f) {
        auto w = std::make_unique<Win>();
        w->form = &f;
        w->name = f.name();
        w->window = new qtv::FormWindow;
        w->window->setAttribute(Qt::WA_QuitOnClose, false);
        w->window->move(f.left, f.top);
        Runtime* r = &rt;
        std::string name = f.name();
        auto alive = w->alive;
        w->window->onclose = [r, name, alive] {
            if (!*alive) return;
            for (Form* lf : r->loadedforms())
                if (lf->name() == name) {
                    qtv::guarded(*r, [lf] { lf->closerequest(); });
                    return;
                }
        };
        wins.push_back(std::move(w));
        return *wins.back();
    }

    void synctimer(Win& w, Control& c) {
        QTimer*& t = w.timers[&c];
        if (!t) {
            t = new QTimer(w.window);
            Control* p = &c;
            Runtime* r = &rt;
            auto alive = w.alive;
            QObject::connect(t, &QTimer::timeout, t, [p, r, alive] {
                // Timers wait while a box is open or another event is running.
                if (!*alive || QApplication::activeModalWidget() || r->depth() > 0) return;
                qtv::guarded(*r, [p] { p->tick(); });
            });
        }
        bool run = c.enabled() && c.interval > 0;
        if (run && (t->interval() != c.interval || !t->isActive())) t->start(c.interval);
        if (!run && t->isActive()) t->stop();
    }

    // Tab moves through the controls in the order of their tab index.
    static void synctaborder(Win& w) {
        std::vector<Control*> order(w.form->controls());
        std::stable_sort(order.begin(), order.end(),
                         [](Control* a, Control* b) { return a->tabindex < b->tabindex; });
        std::vector<QWidget*> chain;
        for (Control* c : order) {
            auto it = w.widgets.find(c);
            if (it != w.widgets.end() && it->second && (it->second->focusPolicy() & Qt::TabFocus))
                chain.push_back(it->second);
        }
        if (chain == w.taborder) return;
        w.taborder = chain;
        for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
    }

    void syncform(Win& w) {
        Form& f = *w.form;
        QWidget* win = w.window;
        if (win->windowTitle() != qs(f.caption)) win->setWindowTitle(qs(f.caption));
        w.window->setformsize(QSize(f.width, f.height));
        QPalette pal = QApplication::palette(win);
        pal.setColor(QPalette::Window, QColor((f.backcolor >> 16) & 0xFF, (f.backcolor >> 8) & 0xFF,
                                              f.backcolor & 0xFF));
        if (win->palette() != pal) win->setPalette(pal);
        win->setAutoFillBackground(true);
        for (Control* c : f.controls()) {
            if (c->kind() == Kind::Timer) {
                synctimer(w, *c);
                continue;
            }
            qtv::syncwidget(w, *c, qtv::widgetfor(w, *c));
        }
        for (QWidget* gone : std::exchange(w.hiding, {})) gone->hide();
        synctaborder(w);
        if (f.visible() && win->isHidden()) {
            win->show();
            if (QGuiApplication::platformName() != "offscreen") {
                win->raise();
                win->activateWindow();
            }
        } else if (!f.visible() && !win->isHidden()) {
            win->hide();
        }
        syncfocus(w);
    }

    // A control the program gave the focus gets the real keyboard focus (at once when its
    // window is active, else when the window is activated again, as after a box closes).
    static void syncfocus(Win& w) {
        Form& f = *w.form;
        if (f.focusmoves == w.focusmoves) return;
        w.focusmoves = f.focusmoves;
        auto it = w.widgets.find(f.focused);
        if (it == w.widgets.end() || !it->second) return;
        QWidget* target = it->second;
        if (!target->isVisibleTo(w.window) || !target->isEnabled() ||
            target->focusPolicy() == Qt::NoFocus)
            return;
        QWidget* now = w.window->focusWidget();
        if (now == target || (now && target->isAncestorOf(now))) return;
        target->setFocus(Qt::OtherFocusReason);
        w.window->reveal(target);
    }
};

QtView::QtView(Runtime& rt) : impl_(std::make_unique<Impl>(rt)) {
    ensureqtapp();
    views()[&rt] = this;
    // The model lays out for the real screen; tests keep 1024 x 768.
    if (QGuiApplication::platformName() != "offscreen" && QGuiApplication::primaryScreen()) {
        QRect screen = QGuiApplication::primaryScreen()->geometry();
        rt.screenwidth = screen.width();
        rt.screenheight = screen.height();
    }
    rt.onchanged = [this] { sync(); };
    rt.beforemodal = [this] { sync(); };
    // While a document is produced the pointer shows the program is working.
    rt.onbusy = [](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    sync();
}

QtView::~QtView() {
    Runtime& rt = impl_->rt;
    if (views()[&rt] == this) views().erase(&rt);
    // The runtime may be ending: touch no form, only the windows.
    rt.onchanged = nullptr;
    rt.beforemodal = nullptr;
    rt.onbusy = nullptr;
    for (auto& w : impl_->wins) {
        *w->alive = false;
        delete w->window;
    }
}

QtView& QtView::of(Runtime& rt) {
    auto it = views().find(&rt);
    if (it != views().end()) return *it->second;
    auto view = std::make_shared<QtView>(rt);
    rt.attachedview = view;
    return *view;
}

void QtView::sync() {
    Impl& m = *impl_;
    if (m.syncing) return;
    m.syncing = true;
    auto forms = m.rt.loadedforms();
    bool hadvisible = false;
    for (auto& w : m.wins)
        if (w->window && w->window->isVisible()) hadvisible = true;
    // Windows of forms no longer loaded go first.
    auto gone = std::remove_if(m.wins.begin(), m.wins.end(), [&](const std::unique_ptr<Win>& w) {
        bool loaded = std::any_of(forms.begin(), forms.end(),
                                  [&](Form* f) { return f == w->form && f->name() == w->name; });
        if (!loaded) Impl::drop(*w);
        return !loaded;
    });
    m.wins.erase(gone, m.wins.end());
    bool anyvisible = false;
    for (Form* f : forms) {
        Win* w = m.find(f->name());
        if (!w) w = &m.make(*f);
        m.syncform(*w);
        anyvisible = anyvisible || f->visible();
    }
    m.syncing = false;
    // Only at the end of an event: a handler may hide every window for a moment to show a box.
    if (hadvisible && !anyvisible && m.rt.depth() == 0 && onnowindows) onnowindows();
}

QWidget* QtView::window(const std::string& formname) {
    Win* w = impl_->find(formname);
    return w ? w->window : nullptr;
}

void QtView::note(const std::string& text) {
    auto* top = dynamic_cast<qtv::FormWindow*>(QApplication::activeWindow());
    if (!top) {
        for (auto& w : impl_->wins)
            if (w->window->isVisible()) top = w->window;
    }
    if (top) top->note(qs(text));
}

void ensureqtapp() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "vantrope";
    static char* argv[] = {name, nullptr};
    // Kept for the life of the process: tests make many views, one application serves them all.
    auto* app = new QApplication(argc, argv);
    app->setStyle(QStyleFactory::create("Fusion"));
    app->setQuitOnLastWindowClosed(false);
}

void endeventloop() { QCoreApplication::exit(0); }

bool renderformpng(Runtime& rt, Form& form, const std::string& path) {
    ensureqtapp();
    QtView& view = QtView::of(rt);
    view.sync();
    QWidget* w = view.window(form.name());
    if (!w) return false;
    QString file = QString::fromStdString(path);
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) return false;
    // The whole form, also where the window shows part of it.
    auto* fw = dynamic_cast<qtv::FormWindow*>(w);
    return (fw ? fw->canvas() : w)->grab().save(file, "PNG");
}

}  // namespace vt
