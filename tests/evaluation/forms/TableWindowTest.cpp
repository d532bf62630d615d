// The table window shows what its model holds (offscreen).
#include "evaluation/forms/ZT_TbAus.h"

#include "platform/Hooks.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class TableWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefaultTableOutputParams(params);
        form = std::make_unique<TTabAus_Form>();
        form->InitTableWindow(params);
    }

    QList<QToolButton*> buttons() const
    {
        return {form->Vorschau_Knopf, form->DruckKnopf, form->WordExportKnopf, form->ExcelExportKnopf,
                form->InternetExportKnopf, form->Kopieren_Knopf, form->AllesMarkieren_Knopf,
                form->Diagramm_Knopf, form->SchriftKnopf};
    }

    TTableOutputParams params;
    std::unique_ptr<TTabAus_Form> form;
};

} // namespace

TEST_F(TableWindowTest, CreationSetsCaptionGlobalAndDisabledButtons)
{
    EXPECT_EQ(TabAus_Form, form.get());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tabellenausgabe "));
    EXPECT_EQ(form->StringGrid1->Model(), &form->Model().Grid());
    EXPECT_EQ(form->Sortieren_Label->text(), QStringLiteral("&Sortieren nach Spalte"));
    EXPECT_EQ(form->kStandardTitelKnopf->text(), QStringLiteral("Start"));
    EXPECT_TRUE(form->Abfrage_Label_1->isHidden());
    EXPECT_EQ(form->Abfrage_Label_2->text(), QStringLiteral("Tabellenausgabe"));
    EXPECT_EQ(form->Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
    for (QToolButton* b : buttons())
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();

    form.reset();
    EXPECT_EQ(TabAus_Form, nullptr);
}

TEST_F(TableWindowTest, InitTableWindowAppliesTheParametersFont)
{
    TTableOutputParams other;
    DefaultTableOutputParams(other);
    other.SchriftGroesse = 13;
    form->InitTableWindow(other);
    EXPECT_EQ(form->StringGrid1->GridFont().pointSize(), 13);
    EXPECT_EQ(form->Memo1->font().pointSize(), 13);
    EXPECT_EQ(form->Auswert_Label->font().pointSize(), 13);
    EXPECT_EQ(form->GrafikAuswahl_Box->font().pointSize(), 13);
}

TEST_F(TableWindowTest, MemoShowsTheTitleLinesOfTheModel)
{
    form->ClearTable(QStringLiteral("a.txt"));
    form->AddTitleLine(QStringLiteral("Kunde: Müller"));
    form->Model().AddTitleLine(QStringLiteral("Zeitraum 01.01.2005"));  // the evaluation fills the model
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("Kunde: Müller\nZeitraum 01.01.2005"));

    form->ClearTable(QStringLiteral("a.txt"));
    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
}

TEST_F(TableWindowTest, EvaluationLabelFollowsTheModel)
{
    EXPECT_TRUE(form->Auswert_Label->isHidden());
    form->Model().SetEvaluationLabel(QStringLiteral("Zählerstände 12,5 Diff."));
    EXPECT_EQ(form->Auswert_Label->text(), QStringLiteral("Zählerstände 12,5 Diff."));
    EXPECT_FALSE(form->Auswert_Label->isHidden());
    form->SetEvaluationLabel(QString());
    EXPECT_TRUE(form->Auswert_Label->isHidden());
}

TEST_F(TableWindowTest, ClearTableEnablesButtonsAndDropsTheCellPainter)
{
    form->StringGrid1->OnDrawCell = [](QPainter&, int, int, const QRect&, platform::TGridDrawState) {};
    form->ClearTable(QStringLiteral("x.csv"));
    for (QToolButton* b : buttons())
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(form->StringGrid1->OnDrawCell);
    EXPECT_EQ(params.DruckDateiName, QStringLiteral("x.csv"));
}

TEST_F(TableWindowTest, HideChartControlsAndTheNextClearShowsTheChooserAgain)
{
    const int chartLeft = form->Diagramm_Knopf->x();
    form->HideChartControls();
    EXPECT_TRUE(form->GrafikAuswahl_Box->isHidden());
    EXPECT_TRUE(form->Diagramm_Knopf->isHidden());
    EXPECT_TRUE(form->Sortieren_Label->isHidden());
    EXPECT_TRUE(form->SortSpalte_EingabeFeld->isHidden());
    EXPECT_TRUE(form->kStandardTitelKnopf->isHidden());
    EXPECT_EQ(form->GroupBox1->height(), 68);
    EXPECT_EQ(form->Splitter3->x(), chartLeft + 6);
    EXPECT_EQ(form->SchriftKnopf->x(), form->Splitter3->x() + form->Splitter3->width() + 6);

    form->ClearTable(QString());
    EXPECT_FALSE(form->GrafikAuswahl_Box->isHidden());
    EXPECT_TRUE(form->Diagramm_Knopf->isHidden());
}

TEST_F(TableWindowTest, FinishTableSizesTheTitleAreaAndTheGridShowsTheTable)
{
    form->ClearTable(QString());
    form->AddTitleLine(QStringLiteral("1"));
    form->AddTitleLine(QStringLiteral("2"));
    form->SetHeaderCell(QStringLiteral("Zeit"), 1, 1);
    form->Model().Grid().SetRowCount(3);
    form->SetCell(QStringLiteral("01.01.2005"), 2, 1);
    form->SetCell(QStringLiteral("02.01.2005"), 3, 1);
    form->FinishTable(1, false);

    const int lineHeight = QFontMetrics(form->Memo1->font()).height();
    EXPECT_EQ(form->Memo1->height(), 3 * lineHeight);
    EXPECT_EQ(form->GrafikAuswahl_Box->y(), form->Memo1->y() + form->Memo1->height() + 1);
    EXPECT_EQ(form->GroupBox1->height(),
              form->GrafikAuswahl_Box->y() + form->GrafikAuswahl_Box->height() + 8);
    EXPECT_EQ(form->FindRowOfText(1, QStringLiteral("02.01.2005")), 3);

    // The view paints the finished table through the main window's painter.
    form->resize(500, 400);
    form->show();
    std::vector<QString> painted;
    form->StringGrid1->OnDrawCell = [&](QPainter& painter, int col, int row, const QRect& rect,
                                        platform::TGridDrawState state) {
        painted.push_back(form->Model().Grid().Cell(col, row));
        form->DrawSortHeader(painter, rect, row, col, form->Model().GridColor, state, 0);
    };
    form->StringGrid1->grab();
    EXPECT_FALSE(form->StringGrid1->CellRect(1, 2).isEmpty());
    EXPECT_NE(std::find(painted.begin(), painted.end(), QStringLiteral("02.01.2005")), painted.end());
    form->hide();
}

TEST_F(TableWindowTest, ChooserShowsModelItemsAndReportsTheUsersChoice)
{
    std::vector<int> reported;
    form->InitTableWindow(params, [&](uint8_t index) { reported.push_back(index); });
    form->ClearTable(QString());
    form->Model().SetChooserItems({QStringLiteral("Alle Werte"), QStringLiteral("Tageswerte")});
    form->FinishTable(1, false);
    ASSERT_EQ(form->GrafikAuswahl_Box->count(), 2);
    EXPECT_EQ(form->GrafikAuswahl_Box->currentIndex(), 0);
    EXPECT_TRUE(reported.empty());            // showing the model is no choice

    form->GrafikAuswahl_Box->setCurrentIndex(1);
    form->GrafikAuswahl_BoxChange();
    EXPECT_EQ(reported, std::vector<int>{2});
    EXPECT_EQ(form->Model().ChooserText(), QStringLiteral("Tageswerte"));
}

TEST_F(TableWindowTest, FontButtonTakesTheDialogsFont)
{
    platform::ScopedHooks scoped;
    QFont offered;
    platform::Hooks().FontDialog = [&](QFont& font) {
        offered = font;
        font.setPointSize(15);
        return true;
    };
    form->SchriftKnopfClick();
    EXPECT_EQ(offered.pointSize(), 9);
    EXPECT_EQ(params.SchriftGroesse, 15);
    EXPECT_EQ(form->StringGrid1->GridFont().pointSize(), 15);
    EXPECT_EQ(form->Memo1->font().pointSize(), 15);

    platform::Hooks().FontDialog = [](QFont&) { return false; };
    form->SchriftKnopfClick();
    EXPECT_EQ(params.SchriftGroesse, 15);
}

TEST_F(TableWindowTest, DrawSortHeaderPaintsTheCellLook)
{
    form->ClearTable(QString());
    form->SetHeaderCell(QStringLiteral("Kopf"), 1, 1);
    form->Model().Grid().SetRowCount(2);
    form->SetCell(QStringLiteral("Wert"), 2, 1);
    form->FinishTable(1, false);

    QImage image(80, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        form->DrawSortHeader(painter, QRect(0, 0, 80, 20), 1, 1, 0x00FFFF, platform::TGridDrawState{}, 0);
    }
    // Yellow background; the text is drawn in the font colour somewhere inside.
    EXPECT_EQ(image.pixelColor(79, 19), QColor(255, 255, 0));
    bool dark = false;
    for (int x = 0; x < 40 && !dark; ++x)
        for (int y = 0; y < 20 && !dark; ++y)
            dark = image.pixelColor(x, y).lightness() < 100;
    EXPECT_TRUE(dark);
}

// A font chosen with the font button lays the table out again at once: the
// title memo is as high as its lines in the new font (no scroll bar), and
// no cell is clipped.
TEST_F(TableWindowTest, AChosenFontLaysTheTitleAndTheCellsOutAtOnce)
{
    platform::ScopedHooks scope;
    TTableModel& m = form->Model();
    m.ClearTable(QString());
    m.AddTitleLine(QStringLiteral("Kunde 123"));
    m.AddTitleLine(QStringLiteral("Zeitraum 01.09.2026 - 01.12.2026"));
    m.SetHeaderCell(QStringLiteral("Zeit"), 1, 1);
    m.Grid().SetRowCount(3);
    m.SetCell(QStringLiteral("01.09.2026 00:00:00"), 2, 1);
    m.SetCell(QStringLiteral("01.09.2026 00:15:00"), 3, 1);
    m.FinishTable(1, false);
    form->show();
    const int smallMemo = form->Memo1->height();

    QFont big(QStringLiteral("DejaVu Sans Mono"));
    big.setPointSize(14);
    platform::Hooks().FontDialog = [big](QFont& font) {
        font = big;
        return true;
    };
    form->SchriftKnopfClick();

    const QFontMetrics metrics(form->Memo1->font());
    EXPECT_EQ(form->Memo1->font().pointSize(), 14);
    EXPECT_EQ(form->Memo1->height(), 3 * metrics.height());
    EXPECT_GT(form->Memo1->height(), smallMemo);
    const QFontMetrics cells(form->StringGrid1->GridFont());
    EXPECT_GE(m.Grid().ColWidth(1), cells.horizontalAdvance(QStringLiteral("01.09.2026 00:00:00")));
    EXPECT_GE(m.Grid().DefaultRowHeight(), cells.height());
}
