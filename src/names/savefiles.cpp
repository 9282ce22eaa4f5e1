#include "names/savefiles.h"

#include "app/app.h"
#include "records/records.h"

namespace vt {

bool saveentries(App& app) {
    writeentries(app);
    return true;
}

bool savebettors(App& app) {
    writebettors(app);
    return true;
}

std::string notreadwhole(const std::string& file) {
    return "The " + file +
           " file could not be read whole, so nothing was changed. Check it on the file inspection "
           "screen.";
}

bool entriescomplete(App&) { return true; }
bool bettorscomplete(App&) { return true; }

}  // namespace vt
