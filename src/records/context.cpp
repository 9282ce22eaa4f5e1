#include "records/context.h"

#include "records/identityfile.h"

namespace vt {

void Context::fileerrorbox(const FileError& e) {
    std::string data = idfile::describedby(e.file);
    if (data.empty()) return runtime_.fileerrorbox(e, shared_.fileop);
    FileError shown = e;
    shown.file = data;
    shown.line = 0;  // a line of the identity file means nothing in the data file
    runtime_.fileerrorbox(shown, shared_.fileop);
}

}  // namespace vt
