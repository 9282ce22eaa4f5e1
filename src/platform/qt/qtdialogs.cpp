#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
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

}  // namespace

int QtDialogs::msgbox(const std::string& prompt, int style, const std::string& title) {
    ensureqtapp();
    auto buttons = buttonsof(style);
    QMessageBox box(iconof(style), qs(title), boxtext(prompt), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    for (auto& b : buttons) box.addButton(b.first);
    // The second or third button as default (256, 512).
    size_t def = static_cast<size_t>((style >> 8) & 3);
    if (def < buttons.size()) box.setDefaultButton(buttons[def].first);
    int none = dismissed(buttons);
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
