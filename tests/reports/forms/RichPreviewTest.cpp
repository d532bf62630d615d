#include "reports/forms/RichPreview.h"

#include "base/IniFiler.h"
#include "platform/IniFile.h"
#include "reports/EditorText.h"
#include "reports/PageSettings.h"
#include "reports/RichPreviewLogic.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QTextDocument>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace reports;

namespace {

QPicture pageWithMark(int pageNumber)
{
    QPicture picture;
    QPainter p(&picture);
    p.fillRect(QRect(0, 0, 2100, 2970), Qt::white);
    p.fillRect(QRect(100 * pageNumber, 100, 200, 200), Qt::black);
    p.end();
    picture.setBoundingRect(QRect(0, 0, 2100, 2970));
    return picture;
}

TRichPreviewPages pages(int n)
{
    TRichPreviewPages pp;
    pp.PaperPixels = QSize(2100, 2970);
    for (int i = 0; i < n; ++i)
        pp.Pages.push_back(pageWithMark(i + 1));
    return pp;
}

} // namespace

TEST(RichPreviewLogic, FittingAndStatus)
{
    const QRect whole = FitPreviewImage(psWholePage, 800, 566, 820, false, false);
    EXPECT_EQ(whole.height(), 566);
    EXPECT_EQ(whole.width(), 400);             // 566 / 1.414
    EXPECT_EQ(whole.left(), (820 - 400) / 2);
    const QRect across = FitPreviewImage(psWholePage, 800, 400, 820, true, false);
    EXPECT_EQ(across.width(), 566);
    const QRect width = FitPreviewImage(psPageWidth, 400, 300, 420, false, false);
    EXPECT_EQ(width.width(), 384);             // 16 narrower
    EXPECT_EQ(width.height(), 566);
    EXPECT_EQ(FitPreviewImage(psPageWidth, 400, 300, 420, false, true).width(), 400);
    EXPECT_EQ(PreviewStatusText(0, 0), "Seite 1 von 1          ");
    EXPECT_EQ(PreviewPrevIndex(0, 3), 0);
    EXPECT_EQ(PreviewNextIndex(3, 3), 3);
    EXPECT_EQ(PreviewPrevIndex(7, 3), 2);
    EXPECT_TRUE(PreviewPageFile(2).endsWith("/PreviewMetafile2"));
    EXPECT_FALSE(PreviewPageFile(0).startsWith(QDir::currentPath() + "/PreviewMetafile"));
}

TEST(RichPreviewForm, OnePageShowsPage1Of1WithEveryButtonOff)
{
    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks hooks;
    TRichPreviewForm* form = ShowRichPreview(pages(1));
    ASSERT_EQ(RichPreviewForm, form);
    EXPECT_EQ(form->StatusPanel->text(), "Seite 1 von 1          ");
    EXPECT_FALSE(form->FirstPageBtn->isEnabled());
    EXPECT_FALSE(form->PrevPageBtn->isEnabled());
    EXPECT_FALSE(form->NextPageBtn->isEnabled());
    EXPECT_FALSE(form->LastPageBtn->isEnabled());
    EXPECT_TRUE(QFile::exists(PreviewPageFile(0)));
    delete form;
    EXPECT_EQ(RichPreviewForm, nullptr);
    EXPECT_FALSE(QFile::exists(PreviewPageFile(0)));
}

TEST(RichPreviewForm, PagingStopsAtBothEnds)
{
    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks hooks;
    TRichPreviewForm* form = ShowRichPreview(pages(3));
    EXPECT_EQ(form->CurrentIndex(), 0);
    form->PrevPageBtnClick();
    EXPECT_EQ(form->CurrentIndex(), 0);
    form->LastPageBtnClick();
    EXPECT_EQ(form->CurrentIndex(), 2);
    EXPECT_EQ(form->StatusPanel->text(), "Seite 3 von 3          ");
    form->NextPageBtnClick();
    EXPECT_EQ(form->CurrentIndex(), 2);
    EXPECT_TRUE(form->PrevPageBtn->isEnabled());
    EXPECT_FALSE(form->NextPageBtn->isEnabled());
    form->PrevPageBtnClick();
    EXPECT_EQ(form->CurrentIndex(), 1);
    // The page shown is the second: its mark sits at 200 of 2100 pixels.
    const QImage shown = form->ShownImage();
    ASSERT_FALSE(shown.isNull());
    const int x = int(250.0 / 2100 * shown.width());
    const int y = int(200.0 / 2970 * shown.height());
    EXPECT_LT(qGray(shown.pixel(x, y)), 100);
    delete form;
}

TEST(RichPreviewForm, SizeChoiceIsStoredOnClosingAndUsedNextTime)
{
    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks hooks;
    TRichPreviewForm* form = ShowRichPreview(pages(2));
    EXPECT_EQ(form->SizeBox->currentIndex(), psPageWidth);   // "Vorschau" defaults to 1
    form->SizeBox->setCurrentIndex(psWholePage);
    form->close();
    EXPECT_EQ(ReadProgramIniInteger(PageSection, "Vorschau", -1), 0);
    EXPECT_FALSE(QFile::exists(PreviewPageFile(1)));
    delete RichPreviewForm;
    WriteProgramIniInteger(PageSection, "Vorschau", 1);
    TRichPreviewForm* again = ShowRichPreview(pages(1));
    EXPECT_EQ(again->SizeBox->currentIndex(), psPageWidth);
    delete again;
}

TEST(RichPreviewForm, PreviewOfAPrintedDocument)
{
    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks hooks;
    TRichPrinter printer(std::make_shared<TPdfRichTarget>(sandbox.root() + "/x.pdf", 300));
    QTextDocument doc;
    AppendLine(doc, "Eine Seite", {});
    TRichPreviewForm* form = ShowRichPreview(printer.Preview(doc));
    EXPECT_EQ(form->StatusPanel->text(), "Seite 1 von 1          ");
    delete form;
    QTextDocument empty;
    form = ShowRichPreview(printer.Preview(empty));
    EXPECT_EQ(form->StatusPanel->text(), "Seite 1 von 1          ");
    // The decoration is there: something dark on the otherwise empty page.
    const QImage shown = form->ShownImage();
    EXPECT_GT(shown.width(), 300);
    int dark = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            dark += qGray(shown.pixel(x, y)) < 160;
    EXPECT_GT(dark, 0);
    delete form;
}
