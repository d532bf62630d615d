// The progress box of rich-text printing as the report editor's printer
// shows it with ShowProgress on: a window on top with the status, the title
// and the page number while the job runs, gone when it ends.
#include "reports/forms/RichPrntProgDlg.h"

#include "reports/EditorText.h"
#include "reports/forms/OLEEdit.h"
#include "reports/forms/PrtForm.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace reports;

namespace {

class RichPrntProgDlgTest : public ::testing::Test {
protected:
    RichPrntProgDlgTest() : saved(SetRichPrintProgressFactory(nullptr)) { InstallRichPrintProgressBox(); }
    ~RichPrntProgDlgTest() override { SetRichPrintProgressFactory(saved); }

    struct Seen {
        bool exists = false;
        bool visible = false;
        bool onTop = false;
        QString caption, status, title, label, page;
    };
    static Seen Look()
    {
        Seen s;
        const TRichPrntProgDlg* box = CurrentRichPrntProgDlg();
        if (box == nullptr)
            return s;
        s.exists = true;
        s.visible = box->isVisible();
        s.onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        s.caption = box->windowTitle();
        s.status = box->lblStatus->text();
        s.title = box->lblTitle->text();
        s.label = box->Label1->text();
        s.page = box->lblPageNumber->text();
        return s;
    }

    TRichPrintProgressFactory saved;
    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks hooks;
};

} // namespace

TEST_F(RichPrntProgDlgTest, ShownOnTopWithStatusTitleAndPageWhilePrintingAndFreedAfter)
{
    auto target = std::make_shared<TPdfRichTarget>(sandbox.root() + "/bericht.pdf", 150);
    TPrtForm form(nullptr, target);
    form.setWindowTitle("Monatsbericht");
    // The editor's own printer has it off; switched on here.
    ASSERT_FALSE(form.RichPrinter().ShowProgress);
    form.RichPrinter().ShowProgress = true;
    QTextDocument& doc = *form.Editor->document();
    AppendLine(doc, "Seite eins", {});
    AppendPageBreak(doc);
    AppendLine(doc, "Seite zwei", {});

    std::vector<Seen> pages;
    form.RichPrinter().OnNewPage = [&] { pages.push_back(Look()); };
    form.PrintOneCopy(3);
    ASSERT_EQ(pages.size(), 2u);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const Seen& s = pages[i];
        ASSERT_TRUE(s.exists) << "page " << i;
        EXPECT_TRUE(s.visible);
        EXPECT_TRUE(s.onTop);
        EXPECT_EQ(s.caption, "Print Progress");
        EXPECT_EQ(s.status, "Currently Printing");
        EXPECT_EQ(s.title, "Monatsbericht");
        EXPECT_EQ(s.label, "Page Number:");
        EXPECT_EQ(s.page, QString::number(3 + int(i)));
    }
    EXPECT_EQ(CurrentRichPrntProgDlg(), nullptr) << "freed after the job";
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TRichPrntProgDlg*>(w), nullptr);

    // The preview shows it too; switched off, never.
    pages.clear();
    form.RichPrinter().Preview(doc);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(pages[0].visible);
    EXPECT_EQ(pages[1].page, "2");
    EXPECT_EQ(CurrentRichPrntProgDlg(), nullptr);
    pages.clear();
    form.RichPrinter().ShowProgress = false;
    form.PrintOneCopy(1);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_FALSE(pages[0].exists);
}

TEST_F(RichPrntProgDlgTest, AnEmptyStatusKeepsTheLastOne)
{
    TRichPrntProgDlg box;
    box.Report("Preparing to Print", "Bericht", 1);
    EXPECT_TRUE(box.isVisible());
    box.Report(QString(), "Bericht", 2);
    EXPECT_EQ(box.lblStatus->text(), "Preparing to Print");
    EXPECT_EQ(box.lblPageNumber->text(), "2");
}
