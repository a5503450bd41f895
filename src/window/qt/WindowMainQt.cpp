#include "window/WindowMain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdlib>
#include <string>

#include "app/Installation.h"
#include "archive/Errors.h"
#include "window/qt/QtFormWindow.h"

namespace kv::window {

namespace {
std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}
}  // namespace

bool DisplayAvailable() {
    const std::string platform = Env("QT_QPA_PLATFORM");
    if (platform.rfind("offscreen", 0) == 0 || platform.rfind("minimal", 0) == 0) return false;
    return !Env("DISPLAY").empty() || !Env("WAYLAND_DISPLAY").empty() || !platform.empty();
}

int RunWindow(int& argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVTESO"));
    // What Qt draws itself (the buttons of its dialogs, its context menus) in Italian, where the
    // translations are installed; the program's own message boxes name their buttons themselves.
    QTranslator italian;
    if (italian.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&italian);
    const QString screenshot = QString::fromStdString(Env("KVTESO_SCREENSHOT"));
    try {
        app::Installation installation;
        QtFormWindow window(installation);
        window.SetOnEnd([](int exitCode) { QCoreApplication::exit(exitCode); });
        window.form().Form_Load();
        window.show();
        bool saved = false;
        if (!screenshot.isEmpty())
            QTimer::singleShot(300, &window, [&] {
                saved = window.grab().save(screenshot, "PNG");
                window.close();
            });
        const int status = QApplication::exec();
        if (!screenshot.isEmpty() && !saved) return 1;
        return window.form().ended() ? *window.form().ended() : status;
    } catch (const ProgramEnd& end) {
        return end.exitCode;
    }
}

}  // namespace kv::window
