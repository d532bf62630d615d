#include "base/forms/FormPosition.h"

#include "platform/Registry.h"
#include "support/TestSupport.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

const QRect kScreen(0, 0, 1280, 1024);

TFormBounds Stored(const QString& form)
{
    return ReadStoredFormBounds(TDepot::dpRegistry, QString(), form);
}

// A window whose own close handling can refuse, as a busy main window does.
class RefusingWidget : public QWidget {
public:
    bool refuse = false;
protected:
    void closeEvent(QCloseEvent* e) override
    {
        if (refuse)
            e->ignore();
        else
            e->accept();
    }
};

// A window class of our own, named as the program's windows are.
class TSonde_Form : public QWidget {
    Q_OBJECT
};

class FormPositionFormTest : public ::testing::Test {
protected:
    TFormPosition* attach(QWidget* w, const QString& name)
    {
        w->setObjectName(name);
        auto* fp = new TFormPosition(w);
        fp->SetDepot(TDepot::dpRegistry);
        fp->SetScreenArea(kScreen);
        return fp;
    }
    static void settle() { QCoreApplication::processEvents(); }

    testsupport::ProgramSandbox sandbox;
};

TEST_F(FormPositionFormTest, RestoresOnFirstShowAndSavesOnClose)
{
    WriteStoredFormBounds(TDepot::dpRegistry, QString(), "Haupt", {100, 120, 400, 300});
    RefusingWidget w;
    w.resize(200, 100);
    int restores = 0;
    TFormPosition* fp = attach(&w, "Haupt");
    fp->OnRestore = [&](QObject* sender) {
        EXPECT_EQ(sender, fp);
        ++restores;
    };
    w.show();
    settle();
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(w.geometry().topLeft(), QPoint(100, 120));
    EXPECT_EQ(w.size(), QSize(400, 300));

    w.setGeometry(200, 220, w.width(), w.height());
    w.resize(500, 320);
    settle();
    EXPECT_TRUE(w.close());
    EXPECT_EQ(Stored("Haupt"), (TFormBounds{200, 220, 500, 320}));

    // Shown again (as after being minimised): nothing is restored.
    WriteStoredFormBounds(TDepot::dpRegistry, QString(), "Haupt", {10, 10, 300, 300});
    w.show();
    settle();
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(w.geometry().topLeft(), QPoint(200, 220));
    w.hide();
}

TEST_F(FormPositionFormTest, StoredPositionBeyondTheScreenIsPulledBack)
{
    WriteStoredFormBounds(TDepot::dpRegistry, QString(), "Weit", {1900, 10, 800, 600});
    QWidget w;
    attach(&w, "Weit");
    w.show();
    settle();
    EXPECT_EQ(w.geometry().topLeft(), QPoint(480, 10));
    w.hide();
}

TEST_F(FormPositionFormTest, RefusedCloseSavesNothing)
{
    WriteStoredFormBounds(TDepot::dpRegistry, QString(), "Busy", {50, 60, 300, 200});
    RefusingWidget w;
    TFormPosition* fp = attach(&w, "Busy");
    w.show();
    settle();
    w.setGeometry(300, 310, w.width(), w.height());
    settle();
    w.refuse = true;
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(Stored("Busy"), (TFormBounds{50, 60, 300, 200}));

    // An inactive component saves nothing either, but the window's own
    // handling still runs and decides.
    w.refuse = false;
    fp->SetActive(false);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(Stored("Busy"), (TFormBounds{50, 60, 300, 200}));
}

TEST_F(FormPositionFormTest, DestroyWithoutCloseStoresTheNewPosition)
{
    WriteStoredFormBounds(TDepot::dpRegistry, QString(), "Weg", {50, 60, 300, 200});
    auto* w = new QWidget;
    attach(w, "Weg");
    w->show();
    settle();
    w->setGeometry(70, 80, w->width(), w->height());
    settle();
    delete w;
    EXPECT_EQ(Stored("Weg"), (TFormBounds{70, 80, 300, 200}));
}

TEST_F(FormPositionFormTest, NeverShownWindowOverwritesNothing)
{
    WriteStoredFormBounds(TDepot::dpRegistry, QString(), "Nie", {50, 60, 300, 200});
    auto* w = new QWidget;
    attach(w, "Nie");
    w->resize(640, 480);
    delete w;
    EXPECT_EQ(Stored("Nie"), (TFormBounds{50, 60, 300, 200}));
}

TEST_F(FormPositionFormTest, FirstStartStoresOnlyWhatChanged)
{
    QWidget w;
    w.resize(320, 240);
    int saves = 0;
    TFormPosition* fp = attach(&w, "Neu");
    fp->OnSave = [&](QObject*) { ++saves; };
    w.show();
    settle();
    // Nothing stored: the window keeps its bounds, and closing unchanged
    // writes nothing.
    EXPECT_EQ(w.size(), QSize(320, 240));
    w.close();
    EXPECT_EQ(saves, 0);
    platform::Registry reg;
    EXPECT_FALSE(reg.KeyExists("Software\\FormPos\\valdran\\Form_Neu"));
    // Moved later, it is stored at the next close.
    w.show();
    settle();
    w.setGeometry(40, 50, w.width(), w.height());
    settle();
    w.close();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(Stored("Neu"), (TFormBounds{40, 50, 320, 240}));
}

TEST_F(FormPositionFormTest, FormNameFallsBackToTheClassName)
{
    QWidget w;
    TFormPosition fp(&w);
    EXPECT_EQ(fp.FormName(), "QWidget");
    w.setObjectName("TabAus_Form");
    EXPECT_EQ(fp.FormName(), "TabAus_Form");
}

TEST_F(FormPositionFormTest, DestroyedWindowIsStoredUnderItsOwnClassName)
{
    // At destruction the window's class is already gone to its base; the name
    // taken while it was whole is the one used.
    auto* w = new TSonde_Form;
    auto* fp = new TFormPosition(w);
    fp->SetDepot(TDepot::dpRegistry);
    fp->SetScreenArea(kScreen);
    w->show();
    settle();
    w->setGeometry(33, 44, w->width(), w->height());
    settle();
    delete w;
    EXPECT_EQ(Stored("Sonde_Form").Left, 33);
    EXPECT_EQ(Stored("Sonde_Form").Top, 44);
    EXPECT_EQ(Stored("QWidget"), TFormBounds{});
}

} // namespace

#include "FormPositionFormTest.moc"
