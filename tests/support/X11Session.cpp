#include "support/X11Session.h"

#include "support/ExternalTools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>

namespace testsupport {

namespace {

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace

X11Session::~X11Session()
{
    for (QProcess* p : {&wm_, &server_}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(5000)) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }
}

QProcessEnvironment X11Session::Environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("HOME"), dir_.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
    // Under AddressSanitizer: libxkbcommon-x11 strndup()s keymap names out of
    // the server's reply, which holds no NUL after them. That is valid C, but
    // the strict string check reads on to a NUL and reports an overflow in
    // the library at the xcb platform's start.
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    if (!asan.isEmpty())
        env.insert(QStringLiteral("ASAN_OPTIONS"), asan + QStringLiteral(":strict_string_checks=0"));
    return env;
}

bool X11Session::Start()
{
    if (!dir_.isValid()) {
        ADD_FAILURE() << "no temporary directory";
        return false;
    }
    for (const char* sub : {"home", "config"})
        QDir(dir_.path()).mkpath(QString::fromLatin1(sub));
    // Xvfb on the first display number that is free.
    const QString xvfb = findTool(QStringLiteral("Xvfb"));
    for (int n = 121; n < 250 && display_.isEmpty(); ++n) {
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
        if (QFileInfo::exists(socket) || QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        server_.setProcessChannelMode(QProcess::MergedChannels);
        server_.start(xvfb, {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"), QStringLiteral("0"),
                             QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!server_.waitForStarted())
            continue;
        const bool up = WaitFor([&] { return QFileInfo::exists(socket) || server_.state() == QProcess::NotRunning; },
                                20000);
        if (up && server_.state() == QProcess::Running)
            display_ = QStringLiteral(":%1").arg(n);
        else
            server_.waitForFinished(2000);   // taken meanwhile: the next number
    }
    if (display_.isEmpty()) {
        ADD_FAILURE() << "no free display for Xvfb";
        return false;
    }
    // The window manager, and a file it writes once it runs.
    const QString ready = dir_.filePath(QStringLiteral("openbox-ready"));
    wm_.setProcessEnvironment(Environment());
    wm_.setProcessChannelMode(QProcess::MergedChannels);
    wm_.start(findTool(QStringLiteral("openbox")), {QStringLiteral("--startup"), QStringLiteral("touch ") + ready});
    if (!wm_.waitForStarted() || !WaitFor([&] { return QFileInfo::exists(ready); }, 20000)) {
        ADD_FAILURE() << "openbox did not start: " << wm_.readAll().toStdString();
        return false;
    }
    // Give openbox the moment after its start-up command to manage the screen.
    QThread::msleep(300);
    return true;
}

} // namespace testsupport
