#pragma once
#include <functional>

#include "platform/fileerror.h"

namespace vt::test {

// The number of the FileError f throws, 0 when it throws none.
inline int errorof(const std::function<void()>& f) {
    try {
        f();
    } catch (const FileError& e) {
        return e.number;
    }
    return 0;
}

}  // namespace vt::test
