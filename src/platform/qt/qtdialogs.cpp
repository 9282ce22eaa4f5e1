#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/qt/qtview.h"
#include "platform/qt/qtwidgets.h"

namespace vt {

using qtv::ArrowWhileOpen;
using qtv::qs;

qtv::ArrowWhileOpen::ArrowWhileOpen()
    : busy_(QApplication::overrideCursor() != nullptr), before_(QApplication::activeWindow()) {
    if (busy_) QApplication::setOverrideCursor(Qt::ArrowCursor);
}

qtv::ArrowWhileOpen::~ArrowWhileOpen() {
    if (busy_) QApplication::restoreOverrideCursor();
    if (before_ && before_->isVisible() && !QApplication::activeModalWidget())
        before_->activateWindow();
}

namespace {

std::vector<std::pair<QMessageBox::StandardButton, int>> buttonsof(int style) {
    switch (style & 7) {
        case vbOKCancel:
            return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
        case vbAbortRetryIgnore:
            return {{QMessageBox::Abort, vbAbort},
                    {QMessageBox::Retry, vbRetry},
                    {QMessageBox::Ignore, vbIgnore}};
        case vbYesNoCancel:
            return {{QMessageBox::Yes, vbYes},
                    {QMessageBox::No, vbNo},
                    {QMessageBox::Cancel, vbCancel}};
        case vbYesNo:
            return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
        case vbRetryCancel:
            return {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
        default:
            return {{QMessageBox::Ok, vbOK}};
    }
}

QMessageBox::Icon iconof(int style) {
    switch (style & 0x70) {
        case vbCritical:
            return QMessageBox::Critical;
        case vbQuestion:
            return QMessageBox::Question;
        case vbExclamation:
            return QMessageBox::Warning;
        case vbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// What closing the box without a button means: Cancel where there is one, else No, else the
// only button there is.
int dismissed(const std::vector<std::pair<QMessageBox::StandardButton, int>>& buttons) {
    for (int want : {vbCancel, vbNo, vbIgnore})
        for (auto& b : buttons)
            if (b.second == want) return want;
    return buttons.front().second;
}

QString boxtext(const std::string& s) { return qs(s).replace("\r\n", "\n").replace('\r', '\n'); }

// The room a box may take: most of the screen it opens on.
QRect boxroom() {
    QWidget* over = QApplication::activeWindow();
    QScreen* screen = over && over->screen() ? over->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// True when a text's lines would make a box taller than the screen leaves room for (an import
// that names many bets to check).
bool toolong(const QString& text) {
    QFontMetrics metrics(QApplication::font("QMessageBox"));
    return (text.count('\n') + 1) * metrics.lineSpacing() > boxroom().height() * 3 / 5;
}

// A box whose text is too long for the screen: the text scrolls in a pane that fits the screen,
// above the same buttons, with the same default and the same meaning of closing it.
int scrolledbox(const QString& title, const QString& text,
                const std::vector<std::pair<QMessageBox::StandardButton, int>>& buttons, size_t def,
                int none) {
    QDialog box(QApplication::activeWindow());
    box.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&box);
    auto* pane = new QPlainTextEdit(text, &box);
    pane->setReadOnly(true);
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(pane);
    auto* row = new QDialogButtonBox(&box);
    layout->addWidget(row);
    int answer = none;
    for (size_t i = 0; i < buttons.size(); ++i) {
        QPushButton* b = row->addButton(
            static_cast<QDialogButtonBox::StandardButton>(static_cast<int>(buttons[i].first)));
        int value = buttons[i].second;
        QObject::connect(b, &QPushButton::clicked, &box, [&box, &answer, value] {
            answer = value;
            box.accept();
        });
        if (i == def) {
            b->setDefault(true);
            b->setFocus();
        }
    }
    QRect room = boxroom();
    QFontMetrics metrics(pane->font());
    int width = 0;
    for (const QString& line : text.split('\n'))
        width = std::max(width, metrics.horizontalAdvance(line));
    box.resize(std::min(width + 80, room.width() * 9 / 10), room.height() * 7 / 10);
    ArrowWhileOpen arrow;
    box.exec();
    return answer;
}

}  // namespace

int QtDialogs::msgbox(const std::string& prompt, int style, const std::string& title) {
    ensureqtapp();
    auto buttons = buttonsof(style);
    size_t def = static_cast<size_t>((style >> 8) & 3);  // the second or third button (256, 512)
    int none = dismissed(buttons);
    if (toolong(boxtext(prompt)))
        return scrolledbox(qs(title), boxtext(prompt), buttons, def < buttons.size() ? def : 0,
                           none);
    QMessageBox box(iconof(style), qs(title), boxtext(prompt), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    for (auto& b : buttons) box.addButton(b.first);
    if (def < buttons.size()) box.setDefaultButton(buttons[def].first);
    for (auto& b : buttons)
        if (b.second == none) box.setEscapeButton(b.first);
    {
        ArrowWhileOpen open;
        box.exec();
    }
    auto* clicked = box.clickedButton();
    for (auto& b : buttons)
        if (clicked && clicked == box.button(b.first)) return b.second;
    return none;
}

std::string QtDialogs::inputbox(const std::string& prompt, const std::string& title,
                                const std::string& defaulttext) {
    ensureqtapp();
    QInputDialog dlg(QApplication::activeWindow());
    dlg.setWindowTitle(qs(title));
    dlg.setLabelText(boxtext(prompt));
    dlg.setTextValue(qs(defaulttext));
    ArrowWhileOpen open;
    if (dlg.exec() != QDialog::Accepted) return "";
    return qtv::ss(dlg.textValue());
}

}  // namespace vt
