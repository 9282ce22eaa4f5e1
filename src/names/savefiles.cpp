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

bool entriescomplete(App&) { return true; }
bool bettorscomplete(App&) { return true; }

}  // namespace vt
