#include "reports/forms/ZT_BerKo.h"

#include "platform/Clipboard.h"
#include "reports/BoxTable.h"
#include "reports/EditorText.h"
#include "reports/PageSettings.h"
#include "reports/RtfReader.h"
#include "reports/ZT_BerEx.h"
#include "reports/forms/OLEEdit.h"
#include "reports/forms/PrtForm.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <stdexcept>

TBer_Intf_Kompo::TBer_Intf_Kompo(const QString& title, const QString& fileName, TReportCallback callback,
                                 std::shared_ptr<reports::TRichPrintTarget> printer)
    : TBer_Intf_Basis(title, fileName, callback)
{
    form_ = std::make_unique<TPrtForm>(nullptr, std::move(printer));
    form_->hide();
    form_->setWindowTitle(Title());
    form_->RichPrinter().SetOrientation(reports::ReadPageLandscape() ? reports::poLandscape : reports::poPortrait);
    if (!fileName.isEmpty()) {
        LoadFromFile(fileName);
    }
    form_->Editor->viewport()->update();
    form_->SetCloseCallback(callback);
    // Reports of this back end are upright.
    form_->RichPrinter().SetOrientation(reports::poPortrait);
    form_->UpdatePageWidth();
    OnCellColor = nullptr;
}

TBer_Intf_Kompo::~TBer_Intf_Kompo()
{
    if (form_ && form_->isVisible())
        form_->close();
}

void TBer_Intf_Kompo::caretToEnd()
{
    QTextCursor c = form_->Editor->textCursor();
    c.movePosition(QTextCursor::End);
    form_->Editor->setTextCursor(c);
}

void TBer_Intf_Kompo::LoadFromFile(const QString& fileName)
{
    if (!form_->LoadFromFile(fileName))
        throw std::runtime_error("Fehler beim Lesen der Datei " + fileName.toStdString());
    form_->setWindowTitle(QStringLiteral("Editor - ") + fileName);
    form_->ResetEditorChange();
}

void TBer_Intf_Kompo::SaveToFile(const QString& fileName)
{
    if (!form_->SaveProtokoll(fileName))
        throw std::runtime_error("Fehler beim Schreiben der Datei " + fileName.toStdString());
    form_->setWindowTitle(QStringLiteral("Editor - ") + fileName);
    form_->ResetEditorChange();
}

void TBer_Intf_Kompo::WriteLine(const QString& text)
{
    reports::AppendLine(*form_->Editor->document(), text, attributes_);
    caretToEnd();
}

void TBer_Intf_Kompo::WriteAligned(const QString& text, uint8_t alignment)
{
    QTextDocument& doc = *form_->Editor->document();
    QTextCursor end(&doc);
    end.movePosition(QTextCursor::End);
    const Qt::Alignment before = end.blockFormat().alignment();
    QTextBlockFormat f;
    f.setAlignment(alignment == raRight ? Qt::AlignRight | Qt::AlignAbsolute
                   : alignment == raCentre ? Qt::AlignHCenter
                                          : Qt::AlignLeft | Qt::AlignAbsolute);
    // The line is written into the open paragraph, or a new one after text.
    if (doc.lastBlock().length() > 1)
        end.insertBlock();
    end.mergeBlockFormat(f);
    WriteLine(text);
    QTextCursor next(&doc);
    next.movePosition(QTextCursor::End);
    QTextBlockFormat restore;
    restore.setAlignment(before);
    next.mergeBlockFormat(restore);
}

void TBer_Intf_Kompo::InsertGraphic(const TReportGraphic& graphic)
{
    PutGraphicOnClipboard(graphic);
    PasteFromClipboard();
    NewLine();
}

void TBer_Intf_Kompo::WriteLines(const QStringList& memo)
{
    for (const QString& line : memo)
        WriteLine(line);
}

void TBer_Intf_Kompo::WriteTable(const platform::TStringGridModel& grid)
{
    form_->Editor->setFont(reports::TerminalFont(9));
    SetFont(QStringLiteral("Terminal"), 9, 0);
    for (const QString& line : reports::ComposeBoxTable(grid))
        WriteLine(line);
}

void TBer_Intf_Kompo::PasteFromClipboard()
{
    caretToEnd();
    const platform::TClipboardContent content = platform::ClipboardContent();
    TOLEEdit* editor = form_->Editor;
    if (!content.Image.isNull()) {
        editor->InsertImage(content.Image);
    } else if (content.HasFormat(platform::MimePng)) {
        QImage image;
        if (image.loadFromData(content.Format(platform::MimePng), "PNG"))
            editor->InsertImage(image);
    } else if (content.HasFormat(platform::MimeRtf)) {
        QTextDocument pasted;
        if (rtf::ReadRtf(content.Format(platform::MimeRtf), &pasted))
            editor->textCursor().insertFragment(QTextDocumentFragment(&pasted));
    } else if (content.HasText) {
        editor->textCursor().insertText(content.Text, attributes_);
    }
}

void TBer_Intf_Kompo::NewPage()
{
    reports::AppendPageBreak(*form_->Editor->document());
    caretToEnd();
}

void TBer_Intf_Kompo::SetFontFrom(const QFont& font)
{
    QString name;
    uint16_t size = 0;
    TReportFontStyles style = 0;
    FontParts(font, name, size, style);
    SetFont(name, size, style);
}

void TBer_Intf_Kompo::SetFont(const QString& name, uint16_t size, TReportFontStyles style)
{
    if (name == QLatin1String("Terminal"))
        reports::EnsureTerminalFont();
    attributes_ = QTextCharFormat();
    attributes_.setFontFamilies({name});
    if (size > 0)
        attributes_.setFontPointSize(size);
    attributes_.setFontWeight(style & rfsBold ? QFont::Bold : QFont::Normal);
    attributes_.setFontItalic(style & rfsItalic);
    attributes_.setFontUnderline(style & rfsUnderline);
    attributes_.setFontStrikeOut(style & rfsStrikeOut);
    caretToEnd();
    form_->Editor->setCurrentCharFormat(attributes_);
}

void TBer_Intf_Kompo::SetOrientation(uint8_t orientation)
{
    if (orientation != roPortrait && orientation != roLandscape)
        return;
    form_->RichPrinter().SetOrientation(orientation == roLandscape ? reports::poLandscape : reports::poPortrait);
    form_->UpdatePageWidth();
}

void TBer_Intf_Kompo::PrintDialog()
{
    form_->PrintWithDialog();
}

void TBer_Intf_Kompo::Print(uint16_t fromPage, uint16_t)
{
    // The first page number, a byte; printing from 0 numbers from 1.
    const int first = uint8_t(fromPage);
    form_->PrintOneCopy(first == 0 ? 1 : first);
}

void TBer_Intf_Kompo::Preview()
{
    form_->PreviewReport();
}

QString TBer_Intf_Kompo::GetLine(uint16_t index)
{
    return reports::GetLine(*form_->Editor->document(), index).left(255);
}

int TBer_Intf_Kompo::GetLineCount()
{
    return reports::LineCount(*form_->Editor->document());
}

void TBer_Intf_Kompo::SetLine(uint16_t index, const QString& text)
{
    reports::SetLine(*form_->Editor->document(), index, text);
}

bool TBer_Intf_Kompo::SetVisible(bool visible)
{
    form_->setVisible(visible);
    return true;
}

bool TBer_Intf_Kompo::ShowResult(bool show)
{
    form_->showMaximized();
    form_->update();
    return SetVisible(show);
}

bool TBer_Intf_Kompo::IsVisible()
{
    return form_->isVisible();
}

void TBer_Intf_Kompo::Clear(const QString& caption)
{
    form_->Editor->Clear();
    form_->setWindowTitle(caption);
}

void TBer_Intf_Kompo::SetCaption(const QString& caption)
{
    form_->setWindowTitle(caption);
}

void InstallEditorReportBackend()
{
    RegisterReportFactory(ReportKindEditor, [](const QString& t, const QString& f, const TReportCallback& cb) {
        return std::make_unique<TBer_Intf_Kompo>(t, f, cb);
    });
}
