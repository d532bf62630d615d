// The main window's stored position under a real X server with a window
// manager: a framed window must come back where it was, start after start.
// The test starts its own Xvfb on a free display and openbox on it, and runs
// the program on the xcb platform with "AUTO" and a directory without
// archives, so each run shows its window and closes itself after half a
// second, storing its position as a user's close would.
#include "evaluation/forms/AV_Haupt.h"
#include "platform/IniFile.h"
#include "support/ExternalTools.h"
#include "support/X11Session.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString PositionSection = QStringLiteral("Software\\FormPos\\valdran\\Form_AV_HauptFormular");

struct TBounds {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const TBounds&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TBounds& b)
{
    return os << b.x << "/" << b.y << " " << b.w << "x" << b.h;
}

class WindowPositionX11Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_TOOL("Xvfb");
        REQUIRE_TOOL("openbox");
        ASSERT_TRUE(dir.isValid());
        for (const char* sub : {"prog", "reg", "empty", "config", "home"})
            ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromLatin1(sub)));
        if (x11.Start())
            display = x11.Display();
    }

    QString RegistryFile() const { return dir.filePath(QStringLiteral("reg/HKEY_CURRENT_USER.ini")); }

    void Store(const TBounds& b)
    {
        platform::IniFile ini(RegistryFile());
        ASSERT_TRUE(ini.WriteInteger(PositionSection, QStringLiteral("XPos"), b.x));
        ASSERT_TRUE(ini.WriteInteger(PositionSection, QStringLiteral("YPos"), b.y));
        ASSERT_TRUE(ini.WriteInteger(PositionSection, QStringLiteral("XSize"), b.w));
        ASSERT_TRUE(ini.WriteInteger(PositionSection, QStringLiteral("YSize"), b.h));
    }

    TBounds Stored() const
    {
        const platform::IniFile ini(RegistryFile());
        return {ini.ReadInteger(PositionSection, QStringLiteral("XPos"), -1),
                ini.ReadInteger(PositionSection, QStringLiteral("YPos"), -1),
                ini.ReadInteger(PositionSection, QStringLiteral("XSize"), -1),
                ini.ReadInteger(PositionSection, QStringLiteral("YSize"), -1)};
    }

    // One start of the program: it shows its window, finds no archive and
    // closes itself.
    void RunProgram()
    {
        QProcess program;
        QProcessEnvironment env = x11.Environment();
        env.insert(QStringLiteral("VALDRAN_PROGRAM_DIR"), dir.filePath(QStringLiteral("prog")));
        env.insert(QStringLiteral("VALDRAN_REGISTRY_DIR"), dir.filePath(QStringLiteral("reg")));
        env.insert(QStringLiteral("VALDRAN_WINDOWS_DIR"), dir.filePath(QStringLiteral("prog")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(VALDRAN_PROGRAM_BINARY),
                      {QStringLiteral("AUTO"), dir.filePath(QStringLiteral("empty")) + QStringLiteral("/*.AGR")});
        ASSERT_TRUE(program.waitForStarted());
        const bool ended = program.waitForFinished(60000);
        if (!ended) {
            program.kill();
            program.waitForFinished(5000);
        }
        ASSERT_TRUE(ended) << "the AUTO run did not close itself: " << program.readAll().toStdString();
    }

    QTemporaryDir dir;
    testsupport::X11Session x11;
    QString display;
};

} // namespace

TEST_F(WindowPositionX11Test, AStoredPositionHoldsToThePixelOverThreeStarts)
{
    ASSERT_FALSE(display.isEmpty());
    // In the middle of the screen, and at its top left corner, where a
    // window that creeps loses its title bar first.
    for (const TBounds& placed : {TBounds{100, 60, 700, 500}, TBounds{0, 0, 800, 600}}) {
        Store(placed);
        for (int start = 1; start <= 3; ++start) {
            RunProgram();
            EXPECT_EQ(Stored(), placed) << "after start " << start;
        }
    }
}
