#pragma once
// The printer queue these tests print to: one CUPS server of the test
// process's own, started before the first test (and so before Qt's print
// support first asks CUPS, which keeps the server it found for the process),
// with CUPS_SERVER pointing at it. Every test starts with the one queue
// QueueName, the default, and no job files.
#include "support/CupsServer.h"
#include "support/ExternalTools.h"

#include "platform/Printer.h"
#include "platform/forms/QtPrinter.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace cupstest {

inline const QString QueueName = QStringLiteral("Valdran_Test");

// The process's server, or nullptr when none could be started (the reason in
// Unavailable()).
testsupport::CupsServer* Server();
QString Unavailable();

// Puts the queue back as every test expects it: added, the default, no jobs.
bool ResetQueue(QString* error);

// What pdfinfo and pdftotext read from a job file.
struct TPdfFacts {
    int Pages = 0;
    double WidthPt = 0;
    double HeightPt = 0;
    QString Title;
    QStringList PageTexts;     // pdftotext -layout, page by page
};
TPdfFacts ReadPdf(const QString& file);

// A word of a page as pdftotext -bbox places it, in points from the paper's
// top left corner.
struct TWord {
    QString Text;
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
};
std::vector<TWord> Words(const QString& file, int page);
// The first word on the page with that text, or a word with empty text.
TWord FindWord(const std::vector<TWord>& words, const QString& text);

// The program's printer over QPrinter (the one the program installs) for the
// scope; the core default comes back at the end.
class ScopedQtPrinter {
public:
    ScopedQtPrinter() { platform::SetPrinter(std::make_unique<platform::TQtPrinter>()); }
    ~ScopedQtPrinter() { platform::SetPrinter(nullptr); }
    ScopedQtPrinter(const ScopedQtPrinter&) = delete;
    ScopedQtPrinter& operator=(const ScopedQtPrinter&) = delete;
    platform::TPrinterService* operator->() const { return &platform::Printer(); }
};

// Device pixels of a printer with dpi dots per inch in points.
inline double Points(double pixels, int dpi)
{
    return pixels * 72.0 / dpi;
}

} // namespace cupstest

// Skips a test where no CUPS server can run (fails under CI, where
// ./test.sh installs cups and the tests run as root), and puts the queue in
// its starting state.
#define REQUIRE_CUPS_QUEUE()                                                               \
    do {                                                                                   \
        REQUIRE_TOOL("cupsd");                                                             \
        REQUIRE_TOOL("lpadmin");                                                           \
        REQUIRE_TOOL("pdfinfo");                                                           \
        REQUIRE_TOOL("pdftotext");                                                         \
        if (!::cupstest::Server()) {                                                       \
            if (::testsupport::runningUnderCi())                                           \
                FAIL() << "no CUPS server under CI: " << ::cupstest::Unavailable().toStdString(); \
            GTEST_SKIP() << ::cupstest::Unavailable().toStdString();                       \
        }                                                                                  \
        QString queueError_;                                                               \
        ASSERT_TRUE(::cupstest::ResetQueue(&queueError_)) << queueError_.toStdString();    \
    } while (0)
