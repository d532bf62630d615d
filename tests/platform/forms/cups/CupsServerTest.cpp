// The CUPS server of the tests: it lives in its own folder, takes jobs on its
// queue as PDF files, and leaves neither a process nor a file behind.
#include "CupsQueue.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

TEST(CupsServerFixture, DeliversAJobAndLeavesNothingBehind)
{
    REQUIRE_CUPS_QUEUE();
    REQUIRE_TOOL("lp");
    QString folder;
    qint64 pid = 0;
    {
        // A second server beside the one of the test process.
        testsupport::CupsServer cups;
        QString error;
        ASSERT_TRUE(cups.Start(&error)) << error.toStdString();
        folder = cups.Folder();
        pid = cups.Pid();
        ASSERT_GT(pid, 0);
        EXPECT_TRUE(cups.Socket().startsWith(folder + QLatin1Char('/')));
        EXPECT_NE(cups.Socket(), cupstest::Server()->Socket());
        ASSERT_TRUE(cups.AddQueue(QStringLiteral("Zweite"), true, &error)) << error.toStdString();

        // A job of two pages, as a program would send it.
        const QString sample = QDir(folder).filePath(QStringLiteral("sample.pdf"));
        {
            QPdfWriter writer(sample);
            QPainter painter(&writer);
            painter.drawText(100, 100, QStringLiteral("eins"));
            writer.newPage();
            painter.drawText(100, 100, QStringLiteral("zwei"));
        }
        const auto lp = testsupport::runTool(testsupport::findTool(QStringLiteral("lp")),
                                             {QStringLiteral("-h"), cups.Socket(), QStringLiteral("-d"),
                                              QStringLiteral("Zweite"), sample});
        ASSERT_EQ(lp.exitCode, 0) << lp.err.toStdString();
        const QStringList jobs = cups.WaitForJobs(1);
        ASSERT_EQ(jobs.size(), 1) << cups.ErrorLog().toStdString();
        EXPECT_TRUE(jobs.front().startsWith(cups.JobFolder()));
        EXPECT_EQ(testsupport::readFile(jobs.front()), testsupport::readFile(sample));   // PDF as it came
        EXPECT_EQ(cupstest::ReadPdf(jobs.front()).Pages, 2);
        // The other server knows nothing of this queue.
        const auto other =
            testsupport::runTool(testsupport::findTool(QStringLiteral("lpstat")),
                                 {QStringLiteral("-h"), cupstest::Server()->Socket(), QStringLiteral("-p")});
        EXPECT_FALSE(other.out.contains("Zweite"));
    }
    EXPECT_FALSE(QDir(folder).exists());
    // The process is gone (not merely a zombie of ours: QProcess reaped it).
    EXPECT_EQ(::kill(pid_t(pid), 0), -1);
    EXPECT_EQ(errno, ESRCH);
}
