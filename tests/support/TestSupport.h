#pragma once
// Helpers shared by the test executables.
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// Path of a checked-in fixture file below tests/fixtures/.
QString fixturePath(const QString& relative);

// Writes bytes to a file, creating parent directories; returns false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);

// Reads a whole file; empty when it cannot be read.
QByteArray readFile(const QString& path);

// Sets an environment variable for the lifetime of the object.
class EnvGuard {
public:
    EnvGuard(const char* name, const QString& value);
    ~EnvGuard();
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;
private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// Points the program directory, the registry stand-in and the Windows-directory
// stand-in at folders below a temporary directory for the lifetime of the object,
// so no test touches the user's real configuration.
class ProgramSandbox {
public:
    ProgramSandbox();
    ~ProgramSandbox();
    QString root() const { return dir_.path(); }
    QString programDir() const;   // ends in '/'
    QString registryDir() const;  // ends in '/'
    QString windowsDir() const;   // ends in '/'
private:
    QTemporaryDir dir_;
    QByteArray oldProgramDir_, oldRegistryDir_, oldWindowsDir_, oldConfigHome_;
    bool hadProgramDir_, hadRegistryDir_, hadWindowsDir_, hadConfigHome_;
};

} // namespace testsupport
