#pragma once
// Running the programs people open our files with (LibreOffice, wmf2svg,
// unrtf, pdfinfo, pdftotext, unzip) from tests.
//
// REQUIRE_TOOL("wmf2svg") skips the test on a developer's machine without the
// program, with a message naming the package that brings it; under CI (the
// environment variable CI set) a missing program fails the test instead,
// because ./test.sh installs every one of them there.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace testsupport {

// Full path of a program on the search path, empty when there is none.
QString findTool(const QString& program);

// The Debian package that brings a program, for the skip message.
QString packageOfTool(const QString& program);

// True under CI, where no read-back test may skip.
bool runningUnderCi();

struct ToolResult {
    int exitCode = -1;         // -1: could not start, -2: timed out
    QByteArray out;
    QByteArray err;
};

// Runs a program with arguments in a working directory (empty: the current
// one) and waits at most timeoutMs.
ToolResult runTool(const QString& program, const QStringList& args,
                   const QString& workingDir = QString(), int timeoutMs = 120000);

// Converts a file with LibreOffice in headless mode (soffice --headless
// --convert-to <filter> --outdir <outDir> <file>), using a private user
// profile below outDir so runs in parallel do not share one; answers the
// path of the converted file, empty on failure (the reason in *error).
QString convertWithLibreOffice(const QString& file, const QString& filter,
                               const QString& outDir, QString* error = nullptr);

} // namespace testsupport

#define REQUIRE_TOOL(program)                                                          \
    do {                                                                               \
        if (::testsupport::findTool(program).isEmpty()) {                              \
            if (::testsupport::runningUnderCi())                                       \
                FAIL() << "'" << (program) << "' is missing under CI; ./test.sh installs " \
                       << ::testsupport::packageOfTool(program).toStdString();         \
            GTEST_SKIP() << "'" << (program) << "' is not installed: apt-get install " \
                         << ::testsupport::packageOfTool(program).toStdString()        \
                         << " (./test.sh does it)";                                    \
        }                                                                              \
    } while (0)
