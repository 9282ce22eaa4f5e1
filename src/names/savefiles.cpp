#include "names/savefiles.h"

#include "app/app.h"
#include "records/records.h"

namespace vt {

bool saveentries(App& app) {
    writeentries(app);
    return app.shared().fileok;
}

bool savebettors(App& app) {
    writebettors(app);
    return app.shared().fileok;
}

std::string notreadwhole(const std::string& file) {
    return "The " + file + " file was not read completely, so nothing was changed.\r\n" +
           "Check it with Fix Files on the main menu.";
}

bool entriescomplete(App& app) { return app.shared().entriescomplete; }
bool bettorscomplete(App& app) { return app.shared().bettorscomplete; }

}  // namespace vt
