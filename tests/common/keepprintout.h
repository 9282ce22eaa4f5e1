#pragma once
// For the tests that link the Qt view: a captured document printed through the real sink.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/qt/qtview.h"

namespace vt::test {

// Prints doc as the program would with no printer configured (a PDF under the program folder's
// Printouts/), keeps a copy as build/screens/<name> for a person to look at, and returns where the
// sink put it ("" after a failure, which fails the test).
inline std::string keepprintout(const std::string& programfolder, const PrintDoc& doc,
                                const std::string& name) {
    QtPrintSink pdf(programfolder);
    pdf.pdfonly = true;
    try {
        pdf.print(doc);
    } catch (...) {
        ADD_FAILURE() << name << " could not be printed";
        return "";
    }
    std::filesystem::copy_file(pdf.lastoutput, std::string(VANTROPE_SCREENS_DIR) + "/" + name,
                               std::filesystem::copy_options::overwrite_existing);
    return pdf.lastoutput;
}

}  // namespace vt::test
