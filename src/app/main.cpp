#include <QApplication>
#include <QDir>

#include "app/app.h"
#include "platform/qt/qtview.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QString home = qEnvironmentVariable("VANTROPE_HOME", QDir::homePath() + "/Vantrope");
    QDir().mkpath(home);
    vt::QtDialogs dialogs;
    vt::QtPrintSink sink(home.toStdString());
    vt::App app(vt::AppEnvironment{home.toStdString(), &dialogs, &sink});
    vt::QtView view(app);
    app.onend = [] { QApplication::quit(); };
    app.start();
    if (app.ended()) return 0;
    return qapp.exec();
}
