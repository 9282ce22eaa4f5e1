#pragma once
#include <string>

namespace vt {

class Host;

// writeentries / writebettors, telling whether the files were written.
bool saveentries(Host& app);
bool savebettors(Host& app);
// Whether the table was read whole from its file, so rewriting it loses nothing.
bool entriescomplete(Host& app);
bool bettorscomplete(Host& app);
// The refusal shown when the Players or Bettors file was not read whole: the box of its bad
// line when one is the reason, otherwise one saying nothing was changed.
void refusenotread(Host& app, const std::string& file);

}  // namespace vt
