#include "reports/forms/PrtForm.h"

#include "base/ZT_Meld.h"
#include "base/ZT_Tools.h"
#include "platform/Hooks.h"
#include "platform/Printer.h"
#include "platform/ProgramPath.h"
#include "reports/Converters.h"
#include "reports/EditorLayout.h"
#include "reports/EditorText.h"
#include "reports/PageSettings.h"
#include "reports/RtfExport.h"
#include "reports/RtfReader.h"
#include "reports/forms/OLEEdit.h"
#include "reports/forms/RichPreview.h"
#include "reports/forms/anlRuler.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextDocumentFragment>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString ReportFilter = QStringLiteral("Reportdateien (*.rtf)|*.rtf");
const QString NoName = QStringLiteral("OHNENAME.RTF");

// Twips per unit of the printer's measure.
double twipsPerUnit(reports::TMeasureUnit unit)
{
    return unit == reports::muMillimeters ? 1440.0 / 25.4 : 1440.0;
}

} // namespace

TPrtForm::TPrtForm(QWidget* parent, std::shared_ptr<reports::TRichPrintTarget> printer)
    : QMainWindow(parent), richPrinter_(std::make_unique<reports::TRichPrinter>(std::move(printer)))
{
    reports::EnsureTerminalFont();
    setWindowTitle(QStringLiteral("Report"));
    setFont(QFont(QStringLiteral("Arial")));
    // The printer component's settings of this window.
    reports::TRichPrinter& rp = *richPrinter_;
    rp.Header = QStringLiteral("{$TITLE}");
    rp.HeaderFormat = QStringLiteral(">100");
    rp.Footer = QStringLiteral("Page {$PAGE}");
    rp.FooterFormat = QStringLiteral(">105");
    rp.ShowProgress = false;
    rp.Font_HeaderFooter = QFont(QStringLiteral("Courier New"), 10);
    rp.Options_Dialog = reports::poMargins;
    buildControls();

    // FormCreate.
    const reports::TPageMargins stored{
        reports::ReadProgramIniInteger(reports::PageSection, QStringLiteral("LeftMargin"), 200),
        reports::ReadProgramIniInteger(reports::PageSection, QStringLiteral("TopMargin"), 200),
        reports::ReadProgramIniInteger(reports::PageSection, QStringLiteral("RightMargin"), 200),
        reports::ReadProgramIniInteger(reports::PageSection, QStringLiteral("BottomMargin"), 200)};
    {
        // Quietly: stored values that do not fit keep what the printer has.
        platform::ScopedHooks quiet;
        platform::Hooks().KindMessageBox = [](const platform::TKindMessageRequest&) {
            return platform::TMessageAnswer::Ok;
        };
        rp.SetMargins(stored.Left / 10.0, stored.Top / 10.0, stored.Right / 10.0, stored.Bottom / 10.0);
    }
    FontSize->setFixedWidth(40 + 20);
    setStatus(0, QStringLiteral("1:1"));
    setStatus(1, QStringLiteral("Einf"));
    QStringList families = QFontDatabase::families();
    families.sort();
    FontName->addItems(families);
    FontName->setCurrentText(QStringLiteral("Arial"));
    modified_ = 0;
    scrollSuppress_ = 0;
    lastScrollPos_ = 0;
    VScrollBar->setMaximum(std::max(0, reports::LineCount(*Editor->document()) - 1));
    UpdatePageWidth();
    EditorChange();
}

TPrtForm::~TPrtForm() = default;

void TPrtForm::buildControls()
{
    auto addButton = [](QToolBar* bar, const QString& hint, QStyle::StandardPixmap icon, bool checkable,
                        const QString& text = QString()) {
        auto* b = new QToolButton(bar);
        b->setToolTip(hint);
        if (text.isEmpty())
            b->setIcon(bar->style()->standardIcon(icon));
        else
            b->setText(text);
        b->setCheckable(checkable);
        bar->addWidget(b);
        return b;
    };

    ToolBar2 = new QToolBar(this);
    ToolBar2->setMovable(false);
    addToolBar(Qt::TopToolBarArea, ToolBar2);
    ToolButton14 = addButton(ToolBar2, QStringLiteral("Neu"), QStyle::SP_FileIcon, false);
    ToolBar2->addSeparator();
    ToolButton17 = addButton(ToolBar2, QStringLiteral("Importieren"), QStyle::SP_DialogOpenButton, false);
    ToolButton19 = addButton(ToolBar2, QStringLiteral("Exportieren"), QStyle::SP_DialogSaveButton, false);
    ToolBar2->addSeparator();
    ToolButton23 = addButton(ToolBar2, QStringLiteral("Vorschau"), QStyle::SP_FileDialogContentsView, false);
    ToolButton25 = addButton(ToolBar2, QStringLiteral("Drucken"), QStyle::SP_DialogApplyButton, false);
    ToolButton2 = addButton(ToolBar2, QStringLiteral("Seite einrichten"), QStyle::SP_FileDialogDetailedView, false,
                            QStringLiteral("ExportWord"));
    addToolBarBreak();

    ToolBar = new QToolBar(this);
    ToolBar->setMovable(false);
    addToolBar(Qt::TopToolBarArea, ToolBar);
    FontName = new QComboBox(ToolBar);
    FontName->setToolTip(QStringLiteral("Schriftart"));
    FontName->setEditable(true);
    FontName->setInsertPolicy(QComboBox::NoInsert);
    FontName->setMinimumContentsLength(18);
    ToolBar->addWidget(FontName);
    FontSize = new QSpinBox(ToolBar);
    FontSize->setToolTip(QStringLiteral("Schriftgröße"));
    FontSize->setRange(1, 1638);
    FontSize->setValue(10);
    ToolBar->addWidget(FontSize);
    ToolBar->addSeparator();
    BoldButton = addButton(ToolBar, QStringLiteral("Fett"), QStyle::SP_CustomBase, true, QStringLiteral("F"));
    ItalicButton = addButton(ToolBar, QStringLiteral("Kursiv"), QStyle::SP_CustomBase, true, QStringLiteral("K"));
    UnderlineButton = addButton(ToolBar, QStringLiteral("Unterstrichen"), QStyle::SP_CustomBase, true, QStringLiteral("U"));
    ToolBar->addSeparator();
    LeftAlign = addButton(ToolBar, QStringLiteral("Linksbündig"), QStyle::SP_CustomBase, true, QStringLiteral("L"));
    CenterAlign = addButton(ToolBar, QStringLiteral("Zentriert"), QStyle::SP_CustomBase, true, QStringLiteral("Z"));
    RightAlign = addButton(ToolBar, QStringLiteral("Rechtsbündig"), QStyle::SP_CustomBase, true, QStringLiteral("R"));
    LeftAlign->setProperty("Tag", 0);
    CenterAlign->setProperty("Tag", 2);
    RightAlign->setProperty("Tag", 1);
    ToolBar->addSeparator();
    BulletsButton = addButton(ToolBar, QStringLiteral("Aufzählungszeichen"), QStyle::SP_CustomBase, true,
                              QStringLiteral("•"));

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    Panel1 = new QFrame(central);
    Panel1->setFixedHeight(2);
    outer->addWidget(Panel1);
    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    Panel2 = new QFrame(central);
    Panel2->setFixedWidth(2);
    middle->addWidget(Panel2);
    ScrollBox = new QScrollArea(central);
    ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox->setWidgetResizable(false);
    host_ = new QWidget;
    Ruler = new TanlRuler(host_);
    Editor = new TOLEEdit(host_);
    ScrollBox->setWidget(host_);
    middle->addWidget(ScrollBox, 1);
    Panel4 = new QFrame(central);
    auto* right = new QVBoxLayout(Panel4);
    right->setContentsMargins(0, 0, 0, 0);
    VScrollBar = new QScrollBar(Qt::Vertical, Panel4);
    VScrollBar->setPageStep(5);
    right->addWidget(VScrollBar);
    middle->addWidget(Panel4);
    outer->addLayout(middle, 1);
    Panel3 = new QFrame(central);
    Panel3->setFixedHeight(2);
    outer->addWidget(Panel3);
    setCentralWidget(central);

    StatusBar = new QStatusBar(this);
    setStatusBar(StatusBar);
    const int widths[4] = {80, 50, 80, 0};
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = new QLabel(StatusBar);
        if (widths[i] > 0)
            StatusPanels[i]->setMinimumWidth(widths[i]);
        StatusBar->addWidget(StatusPanels[i], widths[i] > 0 ? 0 : 1);
    }
    StatusPanels[2]->setText(QStringLiteral("Geändert"));

    // The ruler of this window.
    Ruler->SetRichedit(Editor);
    Ruler->SetRulerTab(1);
    Ruler->SetTabDist(8);
    Ruler->SetBorderLeft(0);
    Ruler->SetBorderRight(0);
    Ruler->SetMarginLeft(20);
    Ruler->PlaceIndents(20, 20, 250);
    Ruler->setFixedHeight(25);

    Editor->setFont(reports::TerminalFont(10));
    Editor->document()->setDefaultFont(reports::TerminalFont(10));
    QPalette pal = Editor->palette();
    pal.setColor(QPalette::Base, Qt::white);
    Editor->setPalette(pal);
    Editor->setTabChangesFocus(false);
    Editor->setFrameShape(QFrame::NoFrame);
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Editor->installEventFilter(this);

    // A chosen entry or a name typed and confirmed; not every keystroke.
    connect(FontName, &QComboBox::textActivated, this, [this] { FontNameChange(); });
    connect(FontSize, &QSpinBox::valueChanged, this, [this] { FontSizeChange(); });
    connect(BoldButton, &QToolButton::clicked, this, [this] { BoldButtonClick(); });
    connect(ItalicButton, &QToolButton::clicked, this, [this] { ItalicButtonClick(); });
    connect(UnderlineButton, &QToolButton::clicked, this, [this] { UnderlineButtonClick(); });
    for (QToolButton* b : {LeftAlign.data(), CenterAlign.data(), RightAlign.data()})
        connect(b, &QToolButton::clicked, this, [this, b] { AlignButtonClick(b->property("Tag").toInt()); });
    connect(BulletsButton, &QToolButton::clicked, this, [this] { BulletsButtonClick(); });
    connect(ToolButton14, &QToolButton::clicked, this, [this] { ToolButton14Click(); });
    connect(ToolButton17, &QToolButton::clicked, this, [this] { ToolButton17Click(); });
    connect(ToolButton19, &QToolButton::clicked, this, [this] { ToolButton19Click(); });
    connect(ToolButton23, &QToolButton::clicked, this, [this] { ToolButton23Click(); });
    connect(ToolButton25, &QToolButton::clicked, this, [this] { ToolButton25Click(); });
    connect(ToolButton2, &QToolButton::clicked, this, [this] { ToolButton2Click(); });
    connect(Ruler, &TanlRuler::OnIndentChange, this, [this](TanlRuler*, int id) { RulerIndentChange(id); });
    connect(VScrollBar, &QScrollBar::valueChanged, this, [this](int v) { VScrollBarChange(v); });
    connect(Editor, &QTextEdit::textChanged, this, [this] { EditorChange(); });
    connect(Editor, &QTextEdit::cursorPositionChanged, this, [this] { EditorSelectionChange(); });
}

QString TPrtForm::StatusText(int panel) const
{
    return panel >= 0 && panel < 4 && StatusPanels[panel] ? StatusPanels[panel]->text() : QString();
}

void TPrtForm::setStatus(int panel, const QString& text)
{
    if (panel >= 0 && panel < 4 && StatusPanels[panel])
        StatusPanels[panel]->setText(text);
}

// ---- Geometry ---------------------------------------------------------------------

void TPrtForm::UpdatePageWidth()
{
    const reports::TRichPrinter& rp = *richPrinter_;
    landscape_ = rp.Orientation() == reports::poLandscape ? 1 : 0;
    margins_[0] = int32_t(std::lround(rp.MarginLeft()));
    margins_[1] = int32_t(std::lround(rp.MarginTop()));
    margins_[2] = int32_t(std::lround(rp.MarginRight()));
    margins_[3] = int32_t(std::lround(rp.MarginBottom()));
    editorWidth_ = std::max(50, reports::EditorPageWidth(margins_[0], margins_[2], landscape_ != 0));
    layoutEditor();
}

void TPrtForm::layoutEditor()
{
    if (!ScrollBox || !host_)
        return;
    const int boxW = ScrollBox->viewport()->width();
    const int boxH = ScrollBox->viewport()->height();
    const int rulerH = Ruler->height();
    int left = 5;
    int hostW = boxW;
    int editorH = boxH - rulerH;
    if (boxW > editorWidth_ + 5) {
        left = int(std::nearbyint((boxW - editorWidth_) / 2.0));
    } else {
        hostW = editorWidth_ + 10;
        editorH = boxH - rulerH - 16;
    }
    host_->resize(hostW, std::max(rulerH + 20, boxH));
    Ruler->setGeometry(0, 0, hostW, rulerH);
    Editor->setGeometry(left, rulerH, editorWidth_, std::max(20, editorH));
    // The shaded ruler margins are the room beside the editor.
    Ruler->SetMarginRight(0);
    Ruler->SetMarginLeft(left);
    Ruler->SetMarginRight(std::max(0, hostW - left - editorWidth_));
    VScrollBar->setFixedHeight(std::max(20, Editor->height()));
    const QTextBlockFormat block = Editor->textCursor().blockFormat();
    const reports::TRulerIndents r = reports::RulerIndentsOf(reports::IndentsOfBlock(block), Ruler->MarginLeft(),
                                                             Ruler->MarginRight(), Ruler->width());
    Ruler->PlaceIndents(r.First, r.Left, r.Right);
}

void TPrtForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    layoutEditor();
}

void TPrtForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    FormShow();
}

void TPrtForm::FormShow()
{
    // At the left screen edge, 50 pixels narrower than the main window
    // (unless shown maximised, as the back end does).
    if (!isMaximized()) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w != this && w->isVisible() && qobject_cast<QMainWindow*>(w)) {
                move(screen() ? screen()->availableGeometry().left() : 0, y());
                resize(std::max(200, w->width() - 50), height());
                break;
            }
        }
    }
    // Shown, the editor is a wide sheet, so that the rows of a table drawn
    // in box characters do not wrap; a page setup narrows it to the page.
    editorWidth_ = ShownEditorWidth;
    layoutEditor();
    EditorSelectionChange();
}

// ---- Selection, editing, keys -------------------------------------------------------

void TPrtForm::updateScrollBar()
{
    const QSignalBlocker block(VScrollBar);
    scrollSuppress_ = 1;
    VScrollBar->setMaximum(reports::LineCount(*Editor->document()));
    VScrollBar->setValue(Editor->textCursor().blockNumber());
    lastScrollPos_ = VScrollBar->value();
    scrollSuppress_ = 0;
}

void TPrtForm::EditorSelectionChange()
{
    updateScrollBar();
    updating_ = 1;
    const QTextCursor cursor = Editor->textCursor();
    const reports::TRulerIndents r = reports::RulerIndentsOf(reports::IndentsOfBlock(cursor.blockFormat()),
                                                             Ruler->MarginLeft(), Ruler->MarginRight(),
                                                             Ruler->width());
    Ruler->PlaceIndents(r.First, r.Left, r.Right);
    const QTextCharFormat cf = Editor->currentCharFormat();
    BoldButton->setChecked(cf.fontWeight() >= QFont::Bold);
    ItalicButton->setChecked(cf.fontItalic());
    UnderlineButton->setChecked(cf.fontUnderline());
    BulletsButton->setChecked(cursor.currentList() != nullptr);
    const double size = cf.fontPointSize() > 0 ? cf.fontPointSize() : Editor->document()->defaultFont().pointSizeF();
    FontSize->setValue(int(std::lround(size)));
    const QStringList families = cf.fontFamilies().toStringList();
    FontName->setCurrentText(families.isEmpty() ? Editor->document()->defaultFont().family() : families.first());
    const Qt::Alignment a = cursor.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    RightAlign->setChecked(a & Qt::AlignRight);
    CenterAlign->setChecked(a & Qt::AlignHCenter);
    LeftAlign->setChecked(!(a & (Qt::AlignRight | Qt::AlignHCenter)));
    updating_ = 0;
}

void TPrtForm::EditorChange()
{
    modified_ = 1;
    setStatus(2, QStringLiteral("Geändert"));
    const QSignalBlocker block(VScrollBar);
    VScrollBar->setMaximum(reports::LineCount(*Editor->document()));
}

void TPrtForm::ResetEditorChange()
{
    modified_ = 0;
    setStatus(2, QString());
}

bool TPrtForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Editor) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Insert) {
            const bool insert = StatusText(1).isEmpty();
            setStatus(1, insert ? QStringLiteral("Einf") : QString());
            Editor->setOverwriteMode(!insert);
            return true;
        }
        if (event->type() == QEvent::KeyRelease) {
            updateScrollBar();
            const QTextCursor c = Editor->textCursor();
            setStatus(0, QStringLiteral("%1:%2").arg(c.blockNumber() + 1).arg(c.positionInBlock() + 1));
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TPrtForm::VScrollBarChange(int position)
{
    if (scrollSuppress_) {
        scrollSuppress_ = 0;
        return;
    }
    QScrollBar* bar = Editor->verticalScrollBar();
    const int lineHeight = std::max(1, Editor->fontMetrics().lineSpacing());
    bar->setValue(bar->value() + (position - lastScrollPos_) * lineHeight);
    Editor->viewport()->update();
    lastScrollPos_ = position;
}

// ---- Formatting --------------------------------------------------------------------

void TPrtForm::FontNameChange()
{
    if (updating_)
        return;
    QTextCharFormat f;
    f.setFontFamilies({FontName->currentText()});
    Editor->mergeCurrentCharFormat(f);
}

void TPrtForm::FontSizeChange()
{
    if (updating_)
        return;
    QTextCharFormat f;
    f.setFontPointSize(FontSize->value());
    Editor->mergeCurrentCharFormat(f);
}

void TPrtForm::BoldButtonClick()
{
    if (updating_)
        return;
    QTextCharFormat f;
    f.setFontWeight(BoldButton->isChecked() ? QFont::Bold : QFont::Normal);
    Editor->mergeCurrentCharFormat(f);
}

void TPrtForm::ItalicButtonClick()
{
    if (updating_)
        return;
    QTextCharFormat f;
    f.setFontItalic(ItalicButton->isChecked());
    Editor->mergeCurrentCharFormat(f);
}

void TPrtForm::UnderlineButtonClick()
{
    if (updating_)
        return;
    QTextCharFormat f;
    f.setFontUnderline(UnderlineButton->isChecked());
    Editor->mergeCurrentCharFormat(f);
}

void TPrtForm::AlignButtonClick(int tag)
{
    if (updating_)
        return;
    const Qt::Alignment a = tag == 1 ? Qt::AlignRight : tag == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    Editor->setAlignment(a | Qt::AlignAbsolute);
    const QSignalBlocker b0(LeftAlign), b1(CenterAlign), b2(RightAlign);
    LeftAlign->setChecked(tag == 0);
    RightAlign->setChecked(tag == 1);
    CenterAlign->setChecked(tag == 2);
}

void TPrtForm::BulletsButtonClick()
{
    if (updating_)
        return;
    QTextCursor cursor = Editor->textCursor();
    if (BulletsButton->isChecked()) {
        if (!cursor.currentList())
            cursor.createList(QTextListFormat::ListDisc);
    } else if (QTextList* list = cursor.currentList()) {
        const QTextBlock block = cursor.block();
        list->remove(block);
        QTextBlockFormat f = block.blockFormat();
        f.setIndent(0);
        cursor.setBlockFormat(f);
    }
}

void TPrtForm::RulerIndentChange(int indentID)
{
    QTextCursor cursor = Editor->textCursor();
    const reports::TParagraphIndents current = reports::IndentsOfBlock(cursor.blockFormat());
    const reports::TRulerIndents r{Ruler->IndentFirst(), Ruler->IndentLeft(), Ruler->IndentRight()};
    const reports::TParagraphIndents next =
        reports::IndentsFromRuler(indentID, r, current, Ruler->MarginLeft(), Ruler->MarginRight(), Ruler->width());
    QTextBlockFormat f;
    reports::ApplyIndents(f, next);
    cursor.mergeBlockFormat(f);
    Editor->setTextCursor(cursor);
    update();
}

void TPrtForm::ToolButton14Click()
{
    Editor->Clear();
}

// ---- Files --------------------------------------------------------------------------

void TPrtForm::ReadLayoutLines(const QString& sourceName)
{
    reports::TLayoutSettings s;
    const int bad = reports::ConsumeLayoutLines(*Editor->document(), s);
    if (bad > 0)
        ShowMessageNr(sourceName, 10);
    if (s.MarginsSet) {
        margins_[0] = s.Left;
        margins_[1] = s.Top;
        margins_[2] = s.Right;
        margins_[3] = s.Bottom;
        richPrinter_->SetMargins(s.Left, s.Top, s.Right, s.Bottom);
    }
    if (s.OrientationSet) {
        landscape_ = s.Landscape ? 1 : 0;
        richPrinter_->SetOrientation(s.Landscape ? reports::poLandscape : reports::poPortrait);
    }
    if (s.MarginsSet || s.OrientationSet)
        UpdatePageWidth();
}

bool TPrtForm::LoadFromFile(const QString& fileName)
{
    rtf::TRtfReadInfo info;
    QFile file(fileName);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!rtf::LooksLikeRtf(bytes)) {
        setStatus(3, QStringLiteral("Laden fehlgeschlagen : ") + fileName);
        return false;
    }
    // Emptied first, so the pictures of the old text go with it.
    Editor->Clear();
    if (!rtf::ReadRtf(bytes, Editor->document(), &info) && !info.Refusal.isEmpty()) {
        // Too large to be shown: said at once, instead of a window that lays
        // the text out for minutes.
        setStatus(3, QStringLiteral("Laden fehlgeschlagen : ") + fileName);
        platform::ShowMessageBox(info.Refusal + QStringLiteral("\n") + fileName, QStringLiteral("Fehler"),
                                 platform::mb::Ok | platform::mb::IconStop);
        ResetEditorChange();
        return false;
    }
    if (info.HasPageSettings) {
        const double f = twipsPerUnit(richPrinter_->MeasureUnit());
        richPrinter_->SetOrientation(info.Settings.Landscape ? reports::poLandscape : reports::poPortrait);
        richPrinter_->SetMargins(info.Settings.MarginLeft / f, info.Settings.MarginTop / f,
                                 info.Settings.MarginRight / f, info.Settings.MarginBottom / f);
        UpdatePageWidth();
    }
    ReadLayoutLines(fileName);
    fileName_ = fileName;
    ResetEditorChange();
    EditorSelectionChange();
    return true;
}

bool TPrtForm::SaveProtokoll(const QString& fileName)
{
    const reports::TRichPrinter& rp = *richPrinter_;
    const double f = twipsPerUnit(rp.MeasureUnit());
    rtf::TRtfDocumentSettings settings;
    settings.PaperWidth = int(std::lround(rp.PaperWidth() * f));
    settings.PaperHeight = int(std::lround(rp.PaperLength() * f));
    if (rp.Orientation() == reports::poLandscape)
        std::swap(settings.PaperWidth, settings.PaperHeight);   // the writer takes the paper upright
    settings.MarginLeft = int(std::lround(rp.MarginLeft() * f));
    settings.MarginTop = int(std::lround(rp.MarginTop() * f));
    settings.MarginRight = int(std::lround(rp.MarginRight() * f));
    settings.MarginBottom = int(std::lround(rp.MarginBottom() * f));
    settings.Landscape = rp.Orientation() == reports::poLandscape;
    if (!rtf::SaveRtfFile(*Editor->document(), fileName, settings)) {
        setStatus(3, QStringLiteral("Speichern fehlgeschlagen : ") + fileName);
        return false;
    }
    fileName_ = fileName;
    ResetEditorChange();
    return true;
}

void TPrtForm::ToolButton19Click()
{
    platform::TFileDialogRequest request;
    request.Title = QStringLiteral("Report sichern unter ...");
    request.Filter = converters::BuildConverterFilter(converters::cdExport);
    request.FilterIndex = 1;
    request.DefaultExt = QStringLiteral("rtf");
    request.InitialDir = fileName_.isEmpty() ? platform::ProgramDirectory() : QFileInfo(fileName_).path();
    const auto& hook = platform::Hooks().SaveFileDialog;
    const platform::TFileDialogAnswer answer = hook ? hook(request) : platform::TFileDialogAnswer{};
    if (!answer.Accepted)
        return;
    QStringList names;
    converters::FindConverter(converters::cdExport, names);
    const QString format = names.value(answer.FilterIndex - 1, names.value(0));
    setStatus(3, QStringLiteral("Exportiere Datei ..."));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool ok = false;
    if (!format.contains(QLatin1String("Rich Text"))) {
        ok = converters::ExportWithConverter(answer.FileName, format, *Editor->document());
        if (ok) {
            setStatus(3, QStringLiteral("Export erfolgreich : ") + answer.FileName);
            fileName_ = answer.FileName;
            ResetEditorChange();
        }
    } else {
        ok = SaveProtokoll(answer.FileName);
        if (ok)
            setStatus(3, QStringLiteral("gespeichert"));
    }
    if (!ok)
        setStatus(3, QStringLiteral("Export fehlgeschlagen : ") + answer.FileName);
    QGuiApplication::restoreOverrideCursor();
}

void TPrtForm::ToolButton17Click()
{
    platform::TFileDialogRequest request;
    request.Title = QStringLiteral("Report laden ...");
    request.Filter = converters::BuildConverterFilter(converters::cdImport);
    request.FilterIndex = 1;
    request.InitialDir = fileName_.isEmpty() ? platform::ProgramDirectory() : QFileInfo(fileName_).path();
    request.OfferReadOnly = true;
    request.ReadOnly = Editor->isReadOnly();
    const auto& hook = platform::Hooks().OpenFileDialog;
    const platform::TFileDialogAnswer answer = hook ? hook(request) : platform::TFileDialogAnswer{};
    if (!answer.Accepted)
        return;
    QStringList names;
    converters::FindConverter(converters::cdImport, names);
    const QString format = names.value(answer.FilterIndex - 1, names.value(0));
    setStatus(3, QStringLiteral("Importiere Datei..."));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool ok = false;
    if (!format.contains(QLatin1String("Rich Text"))) {
        QTextDocument imported;
        ok = converters::ImportWithConverter(answer.FileName, format, imported);
        if (ok) {
            Editor->Clear();
            QTextCursor(Editor->document()).insertFragment(QTextDocumentFragment(&imported));
            Editor->viewport()->update();
            fileName_ = answer.FileName;
            ResetEditorChange();
            EditorSelectionChange();
            setStatus(3, QStringLiteral("Import erfolgreich : ") + answer.FileName);
        }
    } else {
        ok = LoadFromFile(answer.FileName);
        if (ok)
            setStatus(3, QStringLiteral("geladen"));
    }
    // An imported document can be edited unless the user asked to read it only.
    if (ok)
        Editor->setReadOnly(answer.ReadOnly);
    if (!ok)
        setStatus(3, QStringLiteral("Import fehlgeschlagen : ") + answer.FileName);
    QGuiApplication::restoreOverrideCursor();
}

// ---- Printing ----------------------------------------------------------------------

void TPrtForm::FooterSettings()
{
    reports::TRichPrinter& rp = *richPrinter_;
    rp.Footer = QStringLiteral("Seite {$PAGE}");
    rp.Font_HeaderFooter = reports::ReadFooterFont();
    if (!rp.Printing())
        rp.SetTitle(windowTitle());
}

void TPrtForm::applyPrinterError(const reports::ELinePrinter& e)
{
    platform::ShowMessageBox(e.Message(), QStringLiteral("Fehler"), platform::mb::Ok | platform::mb::IconStop);
}

void TPrtForm::PrintWithDialog()
{
    platform::TPrinterService& service = platform::Printer();
    platform::TPrintDialogRequest request;
    request.Range = 0;
    request.FromPage = 1;
    request.ToPage = 99;
    request.Copies = 1;
    request.AllowPageNumbers = true;
    request.Orientation = richPrinter_->Orientation();
    request.Targets = service.Targets();
    request.Target = service.Target();
    request.JobName = QStringLiteral("ZT_Druckerausgabe");
    request.PdfFileName = service.PdfFileName();
    request.PreviousFile = service.PdfFileName();
    const auto& hook = platform::Hooks().PrintDialog;
    const platform::TPrintDialogAnswer answer = hook ? hook(request) : platform::TPrintDialogAnswer{};
    if (!answer.Accepted)
        return;
    service.SetTarget(answer.Target);
    if (answer.Target == platform::PdfTargetName() && !answer.PdfFileName.isEmpty())
        service.SetPdfFileName(answer.PdfFileName);
    if (answer.Orientation != richPrinter_->Orientation()) {
        richPrinter_->SetOrientation(answer.Orientation == 1 ? reports::poLandscape : reports::poPortrait);
        UpdatePageWidth();
    }
    FooterSettings();
    // All pages: numbered from 1, every page. A range: those pages with
    // their own numbers.
    const bool range = answer.Range == 2;
    // All copies are one job: one PDF file holds them, asked for once.
    try {
        richPrinter_->Print(*Editor->document(), 1, range ? answer.FromPage : 0, range ? answer.ToPage : 0,
                            answer.Copies);
    } catch (const reports::ELinePrinter& e) {
        applyPrinterError(e);
    }
    // A file chosen for this job and not used by it is no choice for the next.
    service.ForgetPdfChoice();
}

void TPrtForm::PrintOneCopy(int firstPageNumber)
{
    FooterSettings();
    richPrinter_->Print(*Editor->document(), firstPageNumber);
}

void TPrtForm::PreviewReport()
{
    FooterSettings();
    try {
        ShowRichPreview(richPrinter_->Preview(*Editor->document()));
    } catch (const reports::ELinePrinter& e) {
        applyPrinterError(e);
    }
}

void TPrtForm::PageSetup()
{
    richPrinter_->PageSetup();
    UpdatePageWidth();
    EditorChange();
}

// ---- Closing ------------------------------------------------------------------------

void TPrtForm::CloseForm()
{
    if (modified_) {
        const QString text = QStringLiteral("Report ") + UpperCaseShort(windowTitle())
                             + QStringLiteral(" wurde geändert! Speichern?");
        const int answer = platform::ShowMessageBox(text, QStringLiteral("Warnung"),
                                                    platform::mb::YesNo | platform::mb::IconExclamation);
        if (answer == platform::mb::IdYes) {
            if (fileName_.isEmpty()) {
                platform::TFileDialogRequest request;
                request.Title = QStringLiteral("Report sichern unter ...");
                request.Filter = ReportFilter;
                request.DefaultExt = QStringLiteral("rtf");
                request.FileName = NoName;
                request.InitialDir = platform::ProgramDirectory();
                const auto& hook = platform::Hooks().SaveFileDialog;
                const platform::TFileDialogAnswer chosen = hook ? hook(request) : platform::TFileDialogAnswer{};
                if (chosen.Accepted)
                    SaveProtokoll(chosen.FileName);
            } else {
                SaveProtokoll(fileName_);
            }
        }
    }
    hide();
    if (closeCallback_)
        closeCallback_();
}

void TPrtForm::closeEvent(QCloseEvent* event)
{
    // The window is never really closed: it hides and calls back.
    event->ignore();
    CloseForm();
}
