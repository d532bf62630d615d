#include "evaluation/forms/ZT_TbAus.h"
#include "output/forms/ChildWindow.h"

#include "base/ZT_Meld.h"
#include "evaluation/GridSort.h"
#include "evaluation/TableCommands.h"
#include "evaluation/TableReport.h"
#include "base/ZT_Tools.h"
#include "reports/ReportFiles.h"
#include "output/GraphicsSettings.h"
#include "output/forms/ZT_Chart.h"
#include "output/forms/ZT_Vorschau.h"
#include "platform/Clipboard.h"
#include "platform/Colors.h"
#include "platform/Hooks.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdlib>

using namespace platform;

TTabAus_Form* TabAus_Form = nullptr;

namespace {

constexpr int ButtonSize = 25;
constexpr int ButtonStep = 26;
constexpr int ToolTop = 14;
constexpr int GroupBoxMargin = 8;

QToolButton* MakeToolButton(QWidget* parent, const QString& name, QStyle::StandardPixmap icon,
                            const QString& text, int x)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);                 // a flat speed button
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(text);
    button->setText(text);
    button->setGeometry(x, ToolTop, ButtonSize, ButtonSize);
    return button;
}

QFrame* MakeSplitter(QWidget* parent, const QString& name, QFrame::Shape shape)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(shape);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

} // namespace

TTabAus_Form::TTabAus_Form(QWidget* parent)
    : QWidget(parent), tabDruck_(std::make_unique<TZT_TabDruck>())
{
    setObjectName(QStringLiteral("TabAus_Form"));
    setWindowTitle(QStringLiteral("Tabellenausgabe "));
    BuildControls();
    RegisterTranslatables();

    connect(&model_, &TTableModel::TitleLinesChanged, this, &TTabAus_Form::ShowTitleLines);
    connect(&model_, &TTableModel::TitleLineAdded, this, [this](const QString& text) {
        if (Memo1)
            Memo1->appendPlainText(text);
    });
    connect(&model_, &TTableModel::EvaluationLabelChanged, this, &TTabAus_Form::ShowEvaluationLabel);
    connect(&model_, &TTableModel::ChooserChanged, this, &TTabAus_Form::ShowChooser);
    connect(&model_, &TTableModel::TableCleared, this, &TTabAus_Form::OnTableCleared);
    connect(&model_, &TTableModel::TableFinished, this, &TTabAus_Form::OnTableFinished);
    connect(&model_, &TTableModel::FontChanged, this, &TTabAus_Form::ApplyTableFont);

    // Nothing to output before the first table.
    for (QToolButton* button : ToolButtons())
        button->setEnabled(false);
    SetTableMode(false, false, 9);
    ApplyTableFont();
    ShowTitleLines();
    ShowEvaluationLabel();
    ShowChooser();
    CreateChildWindowParams(*this);
    ApplyChildWindowStyle(*this);
    TabAus_Form = this;
}

TTabAus_Form::~TTabAus_Form()
{
    // A report left open by the last export goes with the window.
    FreeReport();
    if (TabAus_Form == this)
        TabAus_Form = nullptr;
}

void TTabAus_Form::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Title area: memo and chooser, placed by hand as the fill routines size them.
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Memo1 = new QPlainTextEdit(GroupBox1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setReadOnly(true);                   // the model owns the title lines
    Memo1->setGeometry(GroupBoxMargin, 12, 400, 40);
    GrafikAuswahl_Box = new QComboBox(GroupBox1);
    GrafikAuswahl_Box->setObjectName(QStringLiteral("GrafikAuswahl_Box"));
    GrafikAuswahl_Box->setGeometry(GroupBoxMargin, 53, 400, GrafikAuswahl_Box->sizeHint().height());
    connect(GrafikAuswahl_Box, &QComboBox::activated, this, &TTabAus_Form::GrafikAuswahl_BoxChange);
    Splitter4 = MakeSplitter(GroupBox1, QStringLiteral("Splitter4"), QFrame::VLine);
    GroupBox1->installEventFilter(this);
    layout->addWidget(GroupBox1);

    Splitter1 = MakeSplitter(this, QStringLiteral("Splitter1"), QFrame::HLine);
    layout->addWidget(Splitter1);

    StringGrid1 = new TStringGridView(&model_.Grid(), this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->SetColor(ColorRefToQColor(model_.GridColor));
    StringGrid1->SetFixedColor(ColorRefToQColor(model_.FixedColor));
    StringGrid1->OnMouseDown = [this](const TGridMouseEvent& event) { StringGrid1MouseDown(event); };
    StringGrid1->OnMouseMove = [this](const TGridMouseEvent& event) { StringGrid1MouseMove(event); };
    StringGrid1->OnMouseUp = [this](const TGridMouseEvent& event) { StringGrid1MouseUp(event); };
    StringGrid1->OnKeyDown = [this](int& key, Qt::KeyboardModifiers modifiers) {
        if (key == Qt::Key_Insert && (modifiers & Qt::ControlModifier)) {
            key = 0;
            Kopieren_KnopfClick();
        }
    };
    layout->addWidget(StringGrid1, 1);

    Auswert_Label = new QLabel(this);
    Auswert_Label->setObjectName(QStringLiteral("Auswert_Label"));
    Auswert_Label->setAlignment(Qt::AlignCenter);
    layout->addWidget(Auswert_Label);

    Splitter2 = MakeSplitter(this, QStringLiteral("Splitter2"), QFrame::HLine);
    layout->addWidget(Splitter2);

    // Tool bar.
    Bedien_Box = new QGroupBox(this);
    Bedien_Box->setObjectName(QStringLiteral("Bedien_Box"));
    Bedien_Box->setFixedHeight(ToolTop + ButtonSize + 6);
    int x = GroupBoxMargin;
    auto next = [&x] { const int at = x; x += ButtonStep; return at; };
    Vorschau_Knopf = MakeToolButton(Bedien_Box, QStringLiteral("Vorschau_Knopf"),
                                    QStyle::SP_FileDialogContentsView, QStringLiteral("Vorschau"), next());
    DruckKnopf = MakeToolButton(Bedien_Box, QStringLiteral("DruckKnopf"),
                                QStyle::SP_DialogSaveButton, QStringLiteral("Drucken"), next());
    WordExportKnopf = MakeToolButton(Bedien_Box, QStringLiteral("WordExportKnopf"),
                                     QStyle::SP_FileIcon, QStringLiteral("Textverarbeitung"), next());
    ExcelExportKnopf = MakeToolButton(Bedien_Box, QStringLiteral("ExcelExportKnopf"),
                                      QStyle::SP_FileDialogDetailedView, QStringLiteral("Tabellenkalkulation"), next());
    InternetExportKnopf = MakeToolButton(Bedien_Box, QStringLiteral("InternetExportKnopf"),
                                         QStyle::SP_DriveNetIcon, QStringLiteral("HTML"), next());
    Kopieren_Knopf = MakeToolButton(Bedien_Box, QStringLiteral("Kopieren_Knopf"),
                                    QStyle::SP_FileDialogNewFolder, QStringLiteral("Kopieren"), next());
    AllesMarkieren_Knopf = MakeToolButton(Bedien_Box, QStringLiteral("AllesMarkieren_Knopf"),
                                          QStyle::SP_DialogApplyButton, QStringLiteral("Alles markieren"), next());
    Diagramm_Knopf = MakeToolButton(Bedien_Box, QStringLiteral("Diagramm_Knopf"),
                                    QStyle::SP_ComputerIcon, QStringLiteral("Diagramm"), next());
    Splitter3 = MakeSplitter(Bedien_Box, QStringLiteral("Splitter3"), QFrame::VLine);
    Splitter3->setGeometry(x + 2, ToolTop, 3, ButtonSize);
    x += 10;
    SchriftKnopf = MakeToolButton(Bedien_Box, QStringLiteral("SchriftKnopf"),
                                  QStyle::SP_FileDialogListView, QStringLiteral("Schrift"), next());
    x += 10;
    SortSpalte_EingabeFeld = new QLineEdit(Bedien_Box);
    Sortieren_Label = new QLabel(QStringLiteral("&Sortieren nach Spalte"), Bedien_Box);
    Sortieren_Label->setObjectName(QStringLiteral("Sortieren_Label"));
    Sortieren_Label->setBuddy(SortSpalte_EingabeFeld);
    Sortieren_Label->adjustSize();
    Sortieren_Label->move(x, ToolTop + (ButtonSize - Sortieren_Label->height()) / 2);
    x += Sortieren_Label->width() + 6;
    SortSpalte_EingabeFeld->setObjectName(QStringLiteral("SortSpalte_EingabeFeld"));
    // Up to three optional digits.
    SortSpalte_EingabeFeld->setInputMask(QStringLiteral("000; "));
    SortSpalte_EingabeFeld->setText(QStringLiteral("1"));
    SortSpalte_EingabeFeld->setGeometry(x, ToolTop, 40, ButtonSize);
    x += 46;
    kStandardTitelKnopf = new QPushButton(QStringLiteral("Start"), Bedien_Box);
    kStandardTitelKnopf->setObjectName(QStringLiteral("kStandardTitelKnopf"));
    kStandardTitelKnopf->setGeometry(x, ToolTop, 60, ButtonSize);
    layout->addWidget(Bedien_Box);

    // Text carriers for translation, never shown.
    Abfrage_Label_1 = new QLabel(QStringLiteral("Diagrammausgabe"), this);
    Abfrage_Label_1->setObjectName(QStringLiteral("Abfrage_Label_1"));
    Abfrage_Label_1->hide();
    Abfrage_Label_2 = new QLabel(QStringLiteral("Tabellenausgabe"), this);
    Abfrage_Label_2->setObjectName(QStringLiteral("Abfrage_Label_2"));
    Abfrage_Label_2->hide();

    connect(Vorschau_Knopf, &QToolButton::clicked, this, &TTabAus_Form::Vorschau_KnopfClick);
    connect(DruckKnopf, &QToolButton::clicked, this, &TTabAus_Form::DruckKnopfClick);
    connect(WordExportKnopf, &QToolButton::clicked, this, &TTabAus_Form::WordExportKnopfClick);
    connect(ExcelExportKnopf, &QToolButton::clicked, this, &TTabAus_Form::ExcelExportKnopfClick);
    connect(InternetExportKnopf, &QToolButton::clicked, this, &TTabAus_Form::InternetExportKnopfClick);
    connect(Kopieren_Knopf, &QToolButton::clicked, this, &TTabAus_Form::Kopieren_KnopfClick);
    connect(AllesMarkieren_Knopf, &QToolButton::clicked, this, &TTabAus_Form::AllesMarkieren_KnopfClick);
    connect(Diagramm_Knopf, &QToolButton::clicked, this, &TTabAus_Form::Diagramm_KnopfClick);
    connect(SchriftKnopf, &QToolButton::clicked, this, &TTabAus_Form::SchriftKnopfClick);
    connect(kStandardTitelKnopf, &QPushButton::clicked, this, &TTabAus_Form::kStandardTitelKnopfClick);

    resize(640, 400);
}

void TTabAus_Form::RegisterTranslatables()
{
    using K = TTranslatableKind;
    translations_.SetFormTag(1);
    translations_.Register(Vorschau_Knopf, 2, K::SpeedButton);
    translations_.Register(DruckKnopf, 3, K::SpeedButton);
    translations_.Register(WordExportKnopf, 4, K::SpeedButton);
    translations_.Register(ExcelExportKnopf, 5, K::SpeedButton);
    translations_.Register(InternetExportKnopf, 6, K::SpeedButton);
    translations_.Register(Kopieren_Knopf, 7, K::SpeedButton);
    translations_.Register(AllesMarkieren_Knopf, 8, K::SpeedButton);
    translations_.Register(Diagramm_Knopf, 9, K::SpeedButton);
    translations_.Register(SchriftKnopf, 10, K::SpeedButton);
    translations_.Register(Sortieren_Label, 11, K::Label);
    translations_.Register(kStandardTitelKnopf, 12, K::Button);
    translations_.Register(Abfrage_Label_1, 13, K::Label);
    translations_.Register(Abfrage_Label_2, 14, K::Label);
}

QList<QToolButton*> TTabAus_Form::ToolButtons() const
{
    return {Vorschau_Knopf, DruckKnopf, SchriftKnopf, Kopieren_Knopf, AllesMarkieren_Knopf,
            Diagramm_Knopf, WordExportKnopf, ExcelExportKnopf, InternetExportKnopf};
}

// ---- Set-up ---------------------------------------------------------------------

void TTabAus_Form::InitTableWindow(TTableOutputParams& params,
                                   std::function<void(uint8_t)> onChooserChange,
                                   std::function<void(const QString&)> onFileChosen,
                                   std::function<void()> onPageDrawn)
{
    model_.InitTableWindow(params, std::move(onChooserChange), std::move(onFileChosen),
                           std::move(onPageDrawn));
}

void TTabAus_Form::SetTableMode(bool decimalComma, bool numbersFormatted, uint8_t width)
{
    model_.SetTableMode(decimalComma, numbersFormatted, width);
}

void TTabAus_Form::HideChartControls()
{
    model_.SetChooserVisible(false);
    if (GroupBox1)
        GroupBox1->setFixedHeight(68);
    if (Diagramm_Knopf) {
        Diagramm_Knopf->hide();
        if (Splitter3)
            Splitter3->move(Diagramm_Knopf->x() + 6, Splitter3->y());
    }
    if (Splitter3 && SchriftKnopf)
        SchriftKnopf->move(Splitter3->x() + Splitter3->width() + 6, SchriftKnopf->y());
    if (Sortieren_Label)
        Sortieren_Label->hide();
    if (SortSpalte_EingabeFeld)
        SortSpalte_EingabeFeld->hide();
    if (kStandardTitelKnopf)
        kStandardTitelKnopf->hide();
}

void TTabAus_Form::ApplyTableFont()
{
    const QFont& font = model_.TableFont();
    if (StringGrid1)
        StringGrid1->SetGridFont(font);
    if (Memo1)
        Memo1->setFont(font);
    if (GrafikAuswahl_Box)
        GrafikAuswahl_Box->setFont(font);
    if (Auswert_Label)
        Auswert_Label->setFont(font);
    // The title memo shown follows the font's line height (a hidden one is
    // laid out when the next table is finished), and the grid its new row
    // heights and column widths.
    if (Memo1 && !Memo1->isHidden())
        LayoutTitleArea();
    if (StringGrid1)
        StringGrid1->UpdateFromModel();
}

// ---- Showing the model -----------------------------------------------------------

void TTabAus_Form::ShowTitleLines()
{
    if (Memo1)
        Memo1->setPlainText(model_.TitleLines().join(QLatin1Char('\n')));
}

void TTabAus_Form::ShowEvaluationLabel()
{
    if (!Auswert_Label)
        return;
    Auswert_Label->setText(model_.EvaluationLabel());
    Auswert_Label->setVisible(model_.EvaluationLabelVisible());
}

void TTabAus_Form::ShowChooser()
{
    if (!GrafikAuswahl_Box)
        return;
    // A programmatic refill must not look like the user's choice.
    const QSignalBlocker blocker(GrafikAuswahl_Box);
    QStringList shown;
    for (int i = 0; i < GrafikAuswahl_Box->count(); ++i)
        shown.append(GrafikAuswahl_Box->itemText(i));
    if (shown != model_.ChooserItems()) {
        GrafikAuswahl_Box->clear();
        GrafikAuswahl_Box->addItems(model_.ChooserItems());
    }
    GrafikAuswahl_Box->setCurrentIndex(model_.ChooserItemIndex());
    GrafikAuswahl_Box->setVisible(model_.ChooserVisible());
}

void TTabAus_Form::OnTableCleared()
{
    // An open preview of the old table would show pages that no longer
    // exist: it closes, and the next one opens on the first page.
    if (PreviewShowsThisTable())
        ZT_Vorschau->close();
    previewPage_ = 1;
    if (GroupBox1 && GrafikAuswahl_Box)
        GroupBox1->setFixedHeight(GrafikAuswahl_Box->y() + GrafikAuswahl_Box->height() + GroupBoxMargin);
    if (StringGrid1) {
        StringGrid1->SetScrollBarsVisible(false);
        // The main window installs its own cell painter after each clear.
        StringGrid1->OnDrawCell = nullptr;
    }
    for (QToolButton* button : ToolButtons())
        if (button)
            button->setEnabled(true);
}

void TTabAus_Form::OnTableFinished()
{
    LayoutTitleArea();
    if (StringGrid1) {
        StringGrid1->SetScrollBarsVisible(true);
        StringGrid1->UpdateFromModel();
    }
}

void TTabAus_Form::LayoutTitleArea()
{
    if (!Memo1)
        return;
    const int lineHeight = std::abs(QFontMetrics(Memo1->font()).height());
    Memo1->setFixedHeight((int(model_.TitleLines().size()) + 1) * lineHeight);
    Memo1->ensureCursorVisible();
    if (!GroupBox1 || Memo1->parentWidget() != GroupBox1)
        return;
    const int memoBottom = Memo1->y() + Memo1->height();
    if (GrafikAuswahl_Box && GrafikAuswahl_Box->parentWidget() == GroupBox1 && !GrafikAuswahl_Box->isHidden()) {
        GrafikAuswahl_Box->move(GrafikAuswahl_Box->x(), memoBottom + 1);
        GroupBox1->setFixedHeight(GrafikAuswahl_Box->y() + GrafikAuswahl_Box->height() + GroupBoxMargin);
    } else {
        GroupBox1->setFixedHeight(memoBottom + GroupBoxMargin);
    }
}

void TTabAus_Form::LayoutGroupBox()
{
    if (!GroupBox1)
        return;
    const int width = GroupBox1->width();
    if (Splitter4)
        Splitter4->setGeometry(width - 10, 8, 3, std::max(0, GroupBox1->height() - 12));
    if (Memo1 && Memo1->parentWidget() == GroupBox1) {
        const int memoWidth = std::max(0, width - (Memo1->x() + 9));
        Memo1->resize(memoWidth, Memo1->height());
        if (GrafikAuswahl_Box && GrafikAuswahl_Box->parentWidget() == GroupBox1)
            GrafikAuswahl_Box->resize(memoWidth, GrafikAuswahl_Box->height());
    }
}

bool TTabAus_Form::eventFilter(QObject* watched, QEvent* event)
{
    // The event type first: a group box being destroyed still sends events
    // through this filter, and reading the QPointer then would cast an object
    // that is no longer a QGroupBox.
    if (event->type() == QEvent::Resize && watched == GroupBox1)
        LayoutGroupBox();
    return QWidget::eventFilter(watched, event);
}

// ---- Cell painting ----------------------------------------------------------------

void TTabAus_Form::DrawSortHeader(QPainter& painter, const QRect& cellRect, int row, int col,
                                  TColor color, TGridDrawState state, TFontStyles style)
{
    const TCellLook look = model_.DrawSortHeader(row, col, color, state, style, cellRect);
    painter.save();
    painter.fillRect(look.Rect, ColorRefToQColor(look.Brush));
    QFont font = StringGrid1 ? StringGrid1->GridFont() : model_.TableFont();
    font.setBold(look.Style & fsBold);
    font.setItalic(look.Style & fsItalic);
    font.setUnderline(look.Style & fsUnderline);
    font.setStrikeOut(look.Style & fsStrikeOut);
    painter.setFont(font);
    painter.setPen(ColorRefToQColor(look.TextColor));
    painter.setClipRect(look.Rect);
    const QFontMetrics metrics(font);
    painter.drawText(QPoint(look.TextPos.x(), look.TextPos.y() + metrics.ascent()), look.Text);
    painter.restore();
}

void TTabAus_Form::DrawSortHeader(int row, int col, TColor color, TGridDrawState state, TFontStyles style)
{
    if (!StringGrid1)
        return;
    const QRect rect = StringGrid1->CellRect(col, row);
    if (QPainter* canvas = StringGrid1->Canvas(); canvas && !rect.isEmpty())
        DrawSortHeader(*canvas, rect, row, col, color, state, style);
    else
        StringGrid1->InvalidateCell(col, row);
}

// ---- Commands ---------------------------------------------------------------------

void TTabAus_Form::GrafikAuswahl_BoxChange()
{
    if (GrafikAuswahl_Box)
        model_.ChooserSelected(GrafikAuswahl_Box->currentIndex() + 1);
}

void TTabAus_Form::SchriftKnopfClick()
{
    QFont font = StringGrid1 ? StringGrid1->GridFont() : model_.TableFont();
    const auto& dialog = Hooks().FontDialog;
    if (dialog && dialog(font))
        model_.ApplyChosenFont(font);
}

// Printing and the preview: ZT_TbAusDruck.cpp.

// ---- Table commands ------------------------------------------------------------------

namespace {

// The hourglass for the time of a command.
class TWaitCursor {
public:
    TWaitCursor()
    {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TWaitCursor()
    {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            QApplication::restoreOverrideCursor();
    }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

} // namespace

void TTabAus_Form::Kopieren_KnopfClick()
{
    CopyToClipboard();
}

void TTabAus_Form::CopyToClipboard()
{
    QString text;
    switch (BuildCopyText(model_.Grid(), GraphicsSettings.CopyWithHeaders, text)) {
    case TCopyResult::NotUsable:
        ShowMessageNr(QString(), 75);
        return;
    case TCopyResult::NoMemory:
        ShowMessageNr(QString(), 122);
        return;
    case TCopyResult::Ok:
        break;
    }
    if (SetClipboardText(text))
        Beep();
}

void TTabAus_Form::kStandardTitelKnopfClick()
{
    SortByColumn();
}

void TTabAus_Form::SortByColumn()
{
    const QString columnText = SortSpalte_EingabeFeld ? SortSpalte_EingabeFeld->text() : QString();
    const QString timeCaption = TimeLabel ? TimeLabel->text() : QString();
    const TSortOutcome outcome = SortTableByColumn(model_, columnText, timeCaption);
    if (!outcome.Sorted) {
        ShowMessageNr(QString(), 67);
        return;
    }
    const platform::TStringGridModel& grid = model_.Grid();
    if (outcome.PreviousColumn >= 0 && outcome.PreviousColumn < grid.ColCount())
        for (int r = 0; r < grid.FixedRows(); ++r)
            DrawSortHeader(r, outcome.PreviousColumn, model_.GridColor, TGridDrawState{}, 0);
    for (int r = 0; r < grid.FixedRows(); ++r)
        DrawSortHeader(r, outcome.Column, model_.GridColor, TGridDrawState{}, fsBold);
    if (StringGrid1)
        StringGrid1->InvalidateGrid();
}

namespace {

// The right border of column 0 inside the header rows, where it can be
// dragged wider; x is in the grid's cell-area pixels.
bool InColumnBorderZone(const platform::TStringGridModel& grid, int x, int y)
{
    const int width = grid.ColWidth(0);
    return x >= width - 1 && x <= width + 1 && y >= 0 && y < grid.RowHeight(0) * grid.FixedRows();
}

} // namespace

void TTabAus_Form::StringGrid1MouseDown(const TGridMouseEvent& event)
{
    if (model_.ColumnDrag) {
        model_.ColumnDrag = false;
        return;
    }
    const platform::TStringGridModel& grid = model_.Grid();
    if (InColumnBorderZone(grid, event.X, event.Y))
        model_.ColumnDrag = true;
    if (!StringGrid1)
        return;
    int col = -1, row = -1;
    StringGrid1->MouseToCell(event.X, event.Y, col, row);
    if (col >= 0 && row >= 0 && row < grid.FixedRows()) {
        if (SortSpalte_EingabeFeld)
            SortSpalte_EingabeFeld->setText(QString::number(col + 1));
        model_.HeaderClick = true;
    }
}

void TTabAus_Form::StringGrid1MouseMove(const TGridMouseEvent& event)
{
    platform::TStringGridModel& grid = model_.Grid();
    if (model_.ColumnDrag && event.X >= 0 && grid.ColWidth(0) != event.X) {
        grid.SetColWidth(0, event.X);
        if (StringGrid1)
            StringGrid1->UpdateFromModel();
    }
    // The border follows the mouse while dragged, so the split cursor stays.
    if (StringGrid1) {
        if (model_.ColumnDrag || InColumnBorderZone(grid, event.X, event.Y))
            StringGrid1->viewport()->setCursor(Qt::SplitHCursor);
        else
            StringGrid1->viewport()->unsetCursor();
    }
}

void TTabAus_Form::StringGrid1MouseUp(const TGridMouseEvent& /*event*/)
{
    if (model_.HeaderClick && !model_.ColumnDrag) {
        model_.HeaderClick = false;
        SortByColumn();
    }
    model_.HeaderClick = false;
    int top = 0, left = 0, bottom = 0, right = 0;
    const platform::TStringGridModel& grid = model_.Grid();
    if (ZT_Chart && TZT_Chart::GetGridSelection(grid, top, left, bottom, right) && right >= grid.FixedCols())
        Diagramm_KnopfClick();
    if (StringGrid1)
        StringGrid1->viewport()->unsetCursor();
    model_.ColumnDrag = false;
}

void TTabAus_Form::Diagramm_KnopfClick()
{
    if (!ZT_Chart)
        return;
    ZT_Chart->SetTitleMemo(Memo1);
    ZT_Chart->SetChartTitle(model_.ChooserItems().isEmpty() ? QString() : model_.ChooserText());
    ZT_Chart->ShowChartForGrid(model_.Grid());
    if (ZT_Chart->isVisible() && ZT_Chart->isMinimized())
        ZT_Chart->showMaximized();
}

void TTabAus_Form::AllesMarkieren_KnopfClick()
{
    GridSelectAll(model_.Grid());
    if (StringGrid1)
        StringGrid1->UpdateFromModel();
    if (Bedien_Box && Bedien_Box->isHidden() && ZT_Chart)
        Diagramm_KnopfClick();
}

void TTabAus_Form::InternetExportKnopfClick()
{
    const TTableOutputParams* params = model_.Params();
    const QString printFile = params ? params->DruckDateiName : QString();
    const QString fileName = HtmlFileNameFor(printFile);
    if (fileName.isEmpty()) {
        // No report folder to write into: the file cannot be written.
        const QString stem = FileStemPart(printFile);
        ShowMessageNr((stem.isEmpty() ? QStringLiteral("STANDARD") : stem) + QStringLiteral(".HTM"), 49);
        return;
    }
    ExportHtml(fileName, true);
}

void TTabAus_Form::ExportHtml(const QString& fileName, bool open)
{
    THtmlExportInput input;
    input.MemoFontName = (Memo1 ? Memo1->font() : model_.TableFont()).family();
    input.GridFontName = (StringGrid1 ? StringGrid1->GridFont() : model_.TableFont()).family();
    input.TitleLines = model_.TitleLines();
    input.ChooserHasItems = !model_.ChooserItems().isEmpty();
    input.ChooserText = model_.ChooserText();
    input.EvaluationLabel = model_.EvaluationLabel();
    input.Grid = &model_.Grid();
    THtmlWriteResult result;
    {
        const TWaitCursor wait;
        result = WriteHtmlFile(fileName, input);
    }
    if (result != THtmlWriteResult::Ok) {
        ShowMessageNr(fileName, 49);
        return;
    }
    if (!open)
        return;
    // When no program opens it, the user is told where the file is.
    reports::PresentReportFile(fileName);
}

// ---- Report export -------------------------------------------------------------------

void TTabAus_Form::WordExportKnopfClick()
{
    ExportToReport(ReportKindWordProcessor);
}

void TTabAus_Form::ExcelExportKnopfClick()
{
    ExportToReport(ReportKindSpreadsheet);
}

void TTabAus_Form::FreeReport()
{
    FreeTableReport(Ber_Intf, model_.ReportOpen);
}

void TTabAus_Form::ExportToReport(uint8_t kind)
{
    TReportExportInput input;
    input.Title = windowTitle();
    input.MemoFont = Memo1 ? Memo1->font() : model_.TableFont();
    input.TitleLines = model_.TitleLines();
    input.ChooserHasItems = !model_.ChooserItems().isEmpty();
    input.ChooserText = model_.ChooserText();
    input.EvaluationLabel = model_.EvaluationLabel();
    input.Grid = &model_.Grid();
    input.GridFont = StringGrid1 ? StringGrid1->GridFont() : model_.TableFont();
    input.ChartWanted = [this] {
        if (!Diagramm_Knopf || !Diagramm_Knopf->isEnabled() || Diagramm_Knopf->isHidden())
            return false;
        if (!ZT_Chart || !ZT_Chart->ChartHasSeries() || !ZT_Chart->Diagramm)
            return false;
        const QWidget* panel = ZT_Chart->Diagramm->parentWidget();
        return panel != nullptr && !panel->isHidden();
    };
    input.CopyChart = [] { return ZT_Chart && ZT_Chart->CopyChartForReport(); };
    TReportExportResult result;
    {
        const TWaitCursor wait;
        result = ExportTableToReport(Ber_Intf, kind, input, model_.ReportOpen);
    }
    if (result != TReportExportResult::Shown)
        ShowMessageNr(QString(), 120);
}
