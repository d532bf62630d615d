#pragma once
// A real X server (Xvfb) on a free display with the openbox window manager
// running on it, for tests that must see what a window manager does with our
// windows. Callers check REQUIRE_TOOL("Xvfb") and REQUIRE_TOOL("openbox")
// first; Start fails the test (ADD_FAILURE) when either does not come up.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class X11Session {
public:
    X11Session() = default;
    ~X11Session();
    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;

    // Starts the server and the window manager; false when either failed.
    bool Start();
    // ":n" once started.
    const QString& Display() const { return display_; }
    // The system environment with DISPLAY set and QT_QPA_PLATFORM=xcb, and
    // HOME and XDG_CONFIG_HOME in a private directory.
    QProcessEnvironment Environment() const;

private:
    QTemporaryDir dir_;
    QProcess server_;
    QProcess wm_;
    QString display_;
};

} // namespace testsupport
