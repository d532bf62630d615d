#include "reports/ZT_BerBs.h"

#include "platform/Hooks.h"

#include <QCoreApplication>
#include <QObject>
#include <QVariant>
#include <cmath>

TBer_Intf_Basis::TBer_Intf_Basis(const QString& title, const QString& fileName, TReportCallback callback)
    : title_(title.left(ReportTitleCapacity)), fileName_(fileName), callback_(std::move(callback))
{
    OnCellColor = nullptr;
    Aborted = false;
}

TBer_Intf_Basis::~TBer_Intf_Basis() = default;

void TBer_Intf_Basis::Abstract(const char* operation)
{
    throw EAbstractReportOperation(std::string("abstract report operation: ") + operation);
}

void TBer_Intf_Basis::LoadFromFile(const QString&) { Abstract("LoadFromFile"); }
void TBer_Intf_Basis::SaveToFile(const QString&) { Abstract("SaveToFile"); }
void TBer_Intf_Basis::AddText(const QString&) { Abstract("AddText"); }
void TBer_Intf_Basis::WriteLine(const QString&) { Abstract("WriteLine"); }
void TBer_Intf_Basis::WriteAligned(const QString&, uint8_t) { Abstract("WriteAligned"); }
void TBer_Intf_Basis::AddLine(const QString&) { Abstract("AddLine"); }
void TBer_Intf_Basis::InsertGraphic(const TReportGraphic&) { Abstract("InsertGraphic"); }
void TBer_Intf_Basis::WriteLines(const QStringList&) { Abstract("WriteLines"); }
void TBer_Intf_Basis::WriteTable(const platform::TStringGridModel&) { Abstract("WriteTable"); }
void TBer_Intf_Basis::PasteFromClipboard() { Abstract("PasteFromClipboard"); }
void TBer_Intf_Basis::AfterPaste() { Abstract("AfterPaste"); }
void TBer_Intf_Basis::NewLine() { Abstract("NewLine"); }
void TBer_Intf_Basis::NewPage() { Abstract("NewPage"); }
void TBer_Intf_Basis::SkipLines(int) { Abstract("SkipLines"); }
void TBer_Intf_Basis::SetFontFrom(const QFont&) { Abstract("SetFontFrom"); }
void TBer_Intf_Basis::SetFont(const QString&, uint16_t, TReportFontStyles) { Abstract("SetFont"); }
void TBer_Intf_Basis::SetOrientation(uint8_t) { Abstract("SetOrientation"); }
void TBer_Intf_Basis::PrintDialog() { Abstract("PrintDialog"); }
void TBer_Intf_Basis::Print(uint16_t, uint16_t) { Abstract("Print"); }
void TBer_Intf_Basis::Preview() { Abstract("Preview"); }
QString TBer_Intf_Basis::GetLine(uint16_t) { Abstract("GetLine"); }
int TBer_Intf_Basis::GetLineCount() { Abstract("GetLineCount"); }
void TBer_Intf_Basis::SetLine(uint16_t, const QString&) { Abstract("SetLine"); }
bool TBer_Intf_Basis::SetVisible(bool) { Abstract("SetVisible"); }
bool TBer_Intf_Basis::ShowResult(bool) { Abstract("ShowResult"); }
bool TBer_Intf_Basis::IsVisible() { Abstract("IsVisible"); }
void TBer_Intf_Basis::Clear(const QString&) { Abstract("Clear"); }
void TBer_Intf_Basis::SetCaption(const QString&) { Abstract("SetCaption"); }

void TBer_Intf_Basis::AbortClick(QObject* sender)
{
    Aborted = true;
    if (sender != nullptr)
        sender->setProperty("enabled", false);
}

void TBer_Intf_Basis::NotImplementedYet()
{
    platform::ShowMessageBox(QString::fromLatin1(NotImplementedText), QCoreApplication::applicationName(),
                             platform::mb::Ok);
}

bool TBer_Intf_Basis::PutGraphicOnClipboard(const TReportGraphic& graphic)
{
    return platform::SetClipboardContent(graphic.Content);
}

void TBer_Intf_Basis::FontParts(const QFont& font, QString& name, uint16_t& size, TReportFontStyles& style)
{
    name = font.family();
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0)
        points = font.pixelSize() * 72.0 / 96.0;
    const double rounded = std::nearbyint(points);
    size = uint16_t(std::clamp(rounded, 1.0, 65535.0));
    style = 0;
    if (font.bold())
        style |= rfsBold;
    if (font.italic())
        style |= rfsItalic;
    if (font.underline())
        style |= rfsUnderline;
    if (font.strikeOut())
        style |= rfsStrikeOut;
}
