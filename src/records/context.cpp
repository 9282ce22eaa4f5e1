#include "records/context.h"

#include "records/identityfile.h"

namespace vt {

void Context::fileerrorbox(const FileError& e) {
    const std::string& title = e.title.empty() ? shared_.fileop : e.title;
    std::string data = idfile::describedby(e.file);
    if (data.empty()) return runtime_.fileerrorbox(e, title);
    FileError shown = e;
    shown.file = data;
    shown.line = 0;  // a line of the identity file means nothing in the data file
    runtime_.fileerrorbox(shown, title);
}

}  // namespace vt
