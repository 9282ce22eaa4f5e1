#pragma once

namespace vt {

class App;

// writeentries / writebettors, telling whether the files were written.
bool saveentries(App& app);
bool savebettors(App& app);
// Whether the table was read whole from its file, so rewriting it loses nothing.
bool entriescomplete(App& app);
bool bettorscomplete(App& app);

}  // namespace vt
