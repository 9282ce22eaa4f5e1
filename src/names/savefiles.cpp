#include "names/savefiles.h"

#include "records/host.h"
#include "records/records.h"
#include "records/recordsutil.h"

namespace vt {

bool saveentries(Host& app) { return static_cast<bool>(writeentries(app)); }

bool savebettors(Host& app) { return static_cast<bool>(writebettors(app)); }

void refusenotread(Host& app, const std::string& file) {
    FileKind kind = file == "Players" ? FileKind::Players : FileKind::Bettors;
    if (tellbadline(app, app.shared().datapath + file, kind)) return;
    app.msgbox("The " + file + " file was not read completely, so nothing was changed.\r\n" +
                   "Check it with Fix Files on the main menu.",
               vbOKOnly, file);
}

bool entriescomplete(Host& app) { return app.shared().entriescomplete; }
bool bettorscomplete(Host& app) { return app.shared().bettorscomplete; }

}  // namespace vt
