#include "names/savefiles.h"

#include "app/app.h"
#include "records/records.h"

namespace vt {

bool saveentries(App& app) { return static_cast<bool>(writeentries(app)); }

bool savebettors(App& app) { return static_cast<bool>(writebettors(app)); }

std::string notreadwhole(const std::string& file) {
    return "The " + file + " file was not read completely, so nothing was changed.\r\n" +
           "Check it with Fix Files on the main menu.";
}

bool entriescomplete(App& app) { return app.shared().entriescomplete; }
bool bettorscomplete(App& app) { return app.shared().bettorscomplete; }

}  // namespace vt
