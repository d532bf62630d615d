#include "base/FormPosition.h"

#include "base/IniFiler.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "support/TestSupport.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

const QRect kScreen(0, 0, 1280, 1024);

class FormPositionTest : public ::testing::Test {
protected:
    testsupport::ProgramSandbox sandbox;
};

TEST_F(FormPositionTest, KeyAndSectionNames)
{
    EXPECT_EQ(FormPositionSection("AV_HauptFormular"), "Form_AV_HauptFormular");
    EXPECT_EQ(FormPositionRegistryKey("AV_HauptFormular"), "\\Software\\FormPos\\valdran\\Form_AV_HauptFormular");
}

TEST_F(FormPositionTest, RegistryPositionSurvivesARestart)
{
    {
        TFormPositionStore store;
        store.Depot = TDepot::dpRegistry;
        store.FormName = "AV_HauptFormular";
        store.Save({10, 20, 300, 200});
    }
    // The values are where other tools expect them.
    platform::Registry reg(platform::Registry::CurrentUser);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\FormPos\\valdran\\Form_AV_HauptFormular"));
    EXPECT_EQ(reg.ReadInteger("XPos"), 10);
    EXPECT_EQ(reg.ReadInteger("YPos"), 20);
    EXPECT_EQ(reg.ReadInteger("XSize"), 300);
    EXPECT_EQ(reg.ReadInteger("YSize"), 200);

    // A new store, as after a restart.
    TFormPositionStore store;
    store.Depot = TDepot::dpRegistry;
    store.FormName = "AV_HauptFormular";
    TFormBounds target;
    ASSERT_TRUE(store.Restore({0, 0, 779, 472}, kScreen, target));
    EXPECT_EQ(target, (TFormBounds{10, 20, 300, 200}));
    EXPECT_FALSE(store.Differs(target));
    EXPECT_TRUE(store.Differs({11, 20, 300, 200}));
}

TEST_F(FormPositionTest, NothingStoredKeepsTheWindowAndCreatesNoKey)
{
    TFormPositionStore store;
    store.Depot = TDepot::dpRegistry;
    store.FormName = "Leer";
    TFormBounds target{-1, -1, -1, -1};
    EXPECT_FALSE(store.Restore({5, 6, 700, 400}, kScreen, target));
    EXPECT_EQ(target, (TFormBounds{-1, -1, -1, -1}));
    EXPECT_EQ(store.LastKnown(), (TFormBounds{5, 6, 700, 400}));
    platform::Registry reg(platform::Registry::CurrentUser);
    EXPECT_FALSE(reg.KeyExists("Software\\FormPos\\valdran\\Form_Leer"));
}

TEST_F(FormPositionTest, ZeroOrNegativeSizesCountAsNothingStored)
{
    const QString ini = sandbox.root() + "/pos.ini";
    platform::IniFile file(ini);
    file.WriteInteger("Form_A", "XPos", 100);
    file.WriteInteger("Form_A", "YPos", 100);
    file.WriteInteger("Form_A", "XSize", 0);
    file.WriteInteger("Form_A", "YSize", 300);
    file.WriteInteger("Form_B", "XSize", -5);
    file.WriteInteger("Form_B", "YSize", 300);
    file.WriteInteger("Form_C", "XSize", 400);
    file.WriteInteger("Form_C", "YSize", 0);

    for (const char* name : {"A", "B", "C"}) {
        TFormPositionStore store;
        store.IniFileName = ini;
        store.FormName = name;
        TFormBounds target;
        EXPECT_FALSE(store.Restore({1, 2, 3, 4}, kScreen, target)) << name;
        EXPECT_EQ(store.LastKnown(), (TFormBounds{1, 2, 3, 4})) << name;
    }
}

TEST_F(FormPositionTest, IniDepotUsesTheFormSectionAndTheProgramIniByDefault)
{
    TFormPositionStore store;
    EXPECT_EQ(store.GetIniFileName(), TIniFiler::DefaultIniName());
    store.FormName = "Optionen_Form";
    store.Save({30, 40, 500, 350});
    const platform::IniFile file(TIniFiler::DefaultIniName());
    EXPECT_EQ(file.ReadString("Form_Optionen_Form", "XPos", ""), "30");
    EXPECT_EQ(file.ReadString("Form_Optionen_Form", "YSize", ""), "350");

    TFormPositionStore again;
    again.FormName = "Optionen_Form";
    TFormBounds target;
    ASSERT_TRUE(again.Restore({}, kScreen, target));
    EXPECT_EQ(target, (TFormBounds{30, 40, 500, 350}));
}

TEST_F(FormPositionTest, InactiveStoreRestoresNothingAndFiresNothing)
{
    TFormPositionStore writer;
    writer.FormName = "F";
    writer.Save({1, 1, 200, 200});

    TFormPositionStore store;
    store.FormName = "F";
    store.Active = false;
    int restores = 0;
    store.OnRestore = [&] { ++restores; };
    TFormBounds target;
    EXPECT_FALSE(store.Restore({}, kScreen, target));
    EXPECT_EQ(restores, 0);
}

TEST_F(FormPositionTest, EventsFireAtEveryRestoreAndSave)
{
    TFormPositionStore store;
    store.FormName = "F";
    int restores = 0, saves = 0;
    store.OnRestore = [&] { ++restores; };
    store.OnSave = [&] { ++saves; };
    TFormBounds target;
    store.Restore({}, kScreen, target);
    store.Save({1, 2, 3, 4});
    store.Save({1, 2, 3, 4});
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(saves, 2);
}

TEST(KeepFormOnScreen, LeftEdgeBeyondTheScreenIsPulledBack)
{
    // The documented case: left 1900 on a screen 1280 wide.
    EXPECT_EQ(KeepFormOnScreen({1900, 10, 800, 600}, kScreen).Left, 480);
    // A form wider than the screen goes to the left edge.
    EXPECT_EQ(KeepFormOnScreen({1900, 10, 1400, 600}, kScreen).Left, 0);
    EXPECT_EQ(KeepFormOnScreen({1900, 10, 1280, 600}, kScreen).Left, 0);
    // Within 20 pixels of the right end counts as off the screen.
    EXPECT_EQ(KeepFormOnScreen({1260, 10, 800, 600}, kScreen).Left, 480);
    EXPECT_EQ(KeepFormOnScreen({1259, 10, 800, 600}, kScreen).Left, 1259);
}

TEST(KeepFormOnScreen, TopEdgeUsesFiftyPixels)
{
    EXPECT_EQ(KeepFormOnScreen({10, 974, 800, 600}, kScreen).Top, 424);
    EXPECT_EQ(KeepFormOnScreen({10, 973, 800, 600}, kScreen).Top, 973);
    EXPECT_EQ(KeepFormOnScreen({10, 5000, 800, 2000}, kScreen).Top, 0);
}

TEST(KeepFormOnScreen, NegativePositionsStayAndSizesAreKept)
{
    const TFormBounds b = KeepFormOnScreen({-300, -40, 800, 600}, kScreen);
    EXPECT_EQ(b, (TFormBounds{-300, -40, 800, 600}));
}

TEST(KeepFormOnScreen, ScreenAreaNotAtTheOrigin)
{
    // Two screens side by side; the area spans both.
    const QRect area(0, 30, 3840, 1050);
    EXPECT_EQ(KeepFormOnScreen({2500, 100, 800, 600}, area).Left, 2500);
    EXPECT_EQ(KeepFormOnScreen({4000, 100, 800, 600}, area).Left, 3040);
    const QRect shifted(100, 0, 1000, 800);
    EXPECT_EQ(KeepFormOnScreen({2000, 0, 2000, 600}, shifted).Left, 100);
}

TEST(KeepFormOnScreen, ExtremeStoredValuesDoNotOverflow)
{
    const TFormBounds b = KeepFormOnScreen({INT_MAX, INT_MAX, 800, 600}, kScreen);
    EXPECT_EQ(b.Left, 480);
    EXPECT_EQ(b.Top, 424);
}

} // namespace
