#include "names/savefiles.h"

#include "records/host.h"
#include "records/records.h"

namespace vt {

bool saveentries(Host& app) { return static_cast<bool>(writeentries(app)); }

bool savebettors(Host& app) { return static_cast<bool>(writebettors(app)); }

std::string notreadwhole(const std::string& file) {
    return "The " + file + " file was not read completely, so nothing was changed.\r\n" +
           "Check it with Fix Files on the main menu.";
}

bool entriescomplete(Host& app) { return app.shared().entriescomplete; }
bool bettorscomplete(Host& app) { return app.shared().bettorscomplete; }

}  // namespace vt
