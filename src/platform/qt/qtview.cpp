#include "platform/qt/qtview.h"

#include <QWidget>

namespace vt {

struct QtView::Impl {};
int QtDialogs::msgbox(const std::string&, int, const std::string&) { return vbOK; }
std::string QtDialogs::inputbox(const std::string&, const std::string&, const std::string&) { return ""; }
void QtPrintSink::print(const PrintDoc&) {}
QtView::QtView(Runtime&) : impl_(std::make_unique<Impl>()) {}
QtView::~QtView() = default;
void QtView::sync() {}
QWidget* QtView::window(const std::string&) { return nullptr; }

}  // namespace vt
