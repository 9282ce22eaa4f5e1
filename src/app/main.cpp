#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <clocale>

#include "app/app.h"
#include "platform/qt/qtview.h"

int main(int argc, char** argv) {
    vt::processsettings();
    QApplication qapp(argc, argv);
    // Qt has set the C library's locale from the environment; numbers keep the point whatever the
    // language, so no library call can write or read "2,5".
    std::setlocale(LC_NUMERIC, "C");
    qapp.setStyle(QStyleFactory::create("Fusion"));
    // The program ends through its own exit, or when no window is left.
    qapp.setQuitOnLastWindowClosed(false);
    QString home = qEnvironmentVariable("VANTROPE_HOME", QDir::homePath() + "/Vantrope");
    QDir().mkpath(home);
    vt::QtDialogs dialogs;
    vt::QtPrintSink sink(home.toStdString());
    vt::App app(vt::AppEnvironment{home.toStdString(), &dialogs, &sink});
    vt::QtView view(app);
    sink.onprinted = [&view](const std::string& where) { view.note("Printed to " + where); };
    view.onnowindows = [&app] { app.endprogram(); };
    app.onend = [] { vt::endeventloop(); };
    try {
        app.start();
    } catch (const std::exception& e) {
        dialogs.msgbox(e.what(), vt::vbCritical, vt::kProgramTitle);
        return 1;
    }
    if (app.ended()) return 0;
    return qapp.exec();
}
