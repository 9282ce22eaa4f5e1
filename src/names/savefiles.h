#pragma once
#include <string>

namespace vt {

class App;

// writeentries / writebettors, telling whether the files were written.
bool saveentries(App& app);
bool savebettors(App& app);
// Whether the table was read whole from its file, so rewriting it loses nothing.
bool entriescomplete(App& app);
bool bettorscomplete(App& app);
// The refusal shown when a file was not read whole.
std::string notreadwhole(const std::string& file);

}  // namespace vt
