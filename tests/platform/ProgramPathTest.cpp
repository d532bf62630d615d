#include "platform/ProgramPath.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(ProgramPath, SandboxMovesTheProgramDirectory)
{
    testsupport::ProgramSandbox box;
    EXPECT_EQ(ExecutablePath(), box.programDir() + QStringLiteral("valdran"));
    EXPECT_EQ(ProgramDirectory(), box.programDir());
}

TEST(ProgramPath, DataFilesAreFoundWithoutRegardToCase)
{
    testsupport::ProgramSandbox box;
    ASSERT_TRUE(testsupport::writeFile(box.programDir() + QStringLiteral("av_valev.txt"), "x"));
    ASSERT_TRUE(testsupport::writeFile(box.programDir() + QStringLiteral("spr/AV_fra.dll"), "y"));
    EXPECT_EQ(ProgramDataFile(QStringLiteral("AV_ValEv.TXT")), box.programDir() + QStringLiteral("av_valev.txt"));
    EXPECT_EQ(ProgramDataFile(QStringLiteral("SPR/AV_FRA.DLL")), box.programDir() + QStringLiteral("spr/AV_fra.dll"));
    // A missing file answers the exact name, so callers report what they looked for.
    EXPECT_EQ(ProgramDataFile(QStringLiteral("EvCd_DEU.TXT")), box.programDir() + QStringLiteral("EvCd_DEU.TXT"));
}

TEST(ProgramPath, AnExactMatchWinsOverOtherCases)
{
    testsupport::ProgramSandbox box;
    ASSERT_TRUE(testsupport::writeFile(box.programDir() + QStringLiteral("AV_HD_DEU.TXT"), "a"));
    ASSERT_TRUE(testsupport::writeFile(box.programDir() + QStringLiteral("av_hd_deu.txt"), "b"));
    EXPECT_EQ(ProgramDataFile(QStringLiteral("AV_HD_DEU.TXT")), box.programDir() + QStringLiteral("AV_HD_DEU.TXT"));
}
