#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testsupport {

QString fixturePath(const QString& relative)
{
    return QStringLiteral(VALDRAN_FIXTURES_DIR) + QLatin1Char('/') + relative;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

EnvGuard::EnvGuard(const char* name, const QString& value)
    : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
{
    qputenv(name, value.toLocal8Bit());
}

EnvGuard::~EnvGuard()
{
    if (had_)
        qputenv(name_, old_);
    else
        qunsetenv(name_);
}

namespace {
void remember(const char* name, QByteArray& old, bool& had)
{
    had = qEnvironmentVariableIsSet(name);
    old = qgetenv(name);
}
void restore(const char* name, const QByteArray& old, bool had)
{
    if (had)
        qputenv(name, old);
    else
        qunsetenv(name);
}
} // namespace

ProgramSandbox::ProgramSandbox()
{
    remember("VALDRAN_PROGRAM_DIR", oldProgramDir_, hadProgramDir_);
    remember("VALDRAN_REGISTRY_DIR", oldRegistryDir_, hadRegistryDir_);
    remember("VALDRAN_WINDOWS_DIR", oldWindowsDir_, hadWindowsDir_);
    remember("XDG_CONFIG_HOME", oldConfigHome_, hadConfigHome_);
    QDir d(dir_.path());
    d.mkpath(QStringLiteral("bin"));
    d.mkpath(QStringLiteral("registry"));
    d.mkpath(QStringLiteral("windows"));
    d.mkpath(QStringLiteral("config"));
    qputenv("VALDRAN_PROGRAM_DIR", programDir().toLocal8Bit());
    qputenv("VALDRAN_REGISTRY_DIR", registryDir().toLocal8Bit());
    qputenv("VALDRAN_WINDOWS_DIR", windowsDir().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (dir_.path() + QStringLiteral("/config")).toLocal8Bit());
}

ProgramSandbox::~ProgramSandbox()
{
    restore("VALDRAN_PROGRAM_DIR", oldProgramDir_, hadProgramDir_);
    restore("VALDRAN_REGISTRY_DIR", oldRegistryDir_, hadRegistryDir_);
    restore("VALDRAN_WINDOWS_DIR", oldWindowsDir_, hadWindowsDir_);
    restore("XDG_CONFIG_HOME", oldConfigHome_, hadConfigHome_);
}

QString ProgramSandbox::programDir() const { return dir_.path() + QStringLiteral("/bin/"); }
QString ProgramSandbox::registryDir() const { return dir_.path() + QStringLiteral("/registry/"); }
QString ProgramSandbox::windowsDir() const { return dir_.path() + QStringLiteral("/windows/"); }

} // namespace testsupport
