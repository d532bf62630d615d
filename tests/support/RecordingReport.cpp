#include "RecordingReport.h"

#include "platform/StringGrid.h"

namespace testsupport {

int TReportRecord::count(const QString& operation) const
{
    int n = 0;
    for (const QString& call : calls)
        if (call.startsWith(operation + QLatin1Char('(')))
            ++n;
    return n;
}

TRecordingReport::TRecordingReport(const QString& title, const QString& fileName,
                                   const TReportCallback& callback, std::shared_ptr<TReportRecord> record)
    : TBer_Intf_Basis(title, fileName, callback), record_(std::move(record))
{
    if (record_->failInConstructor)
        throw std::runtime_error("target not reached");
    ++record_->created;
    record_->calls.append(QStringLiteral("Create(%1,%2)").arg(Title(), FileName()));
}

TRecordingReport::~TRecordingReport()
{
    ++record_->destroyed;
    record_->calls.append(QStringLiteral("Destroy()"));
}

void TRecordingReport::Record(const QString& operation, const QString& arguments)
{
    record_->calls.append(operation + QLatin1Char('(') + arguments + QLatin1Char(')'));
    if (!record_->failAt.isEmpty() && record_->failAt == operation)
        throw std::runtime_error(("failed: " + operation).toStdString());
}

void TRecordingReport::LoadFromFile(const QString& fileName) { Record(QStringLiteral("LoadFromFile"), fileName); }
void TRecordingReport::SaveToFile(const QString& fileName) { Record(QStringLiteral("SaveToFile"), fileName); }
void TRecordingReport::AddText(const QString& text) { Record(QStringLiteral("AddText"), text); lines_.append(text); }
void TRecordingReport::WriteLine(const QString& text) { Record(QStringLiteral("WriteLine"), text); lines_.append(text); }
void TRecordingReport::WriteAligned(const QString& text, uint8_t alignment)
{
    Record(QStringLiteral("WriteAligned"), text + QLatin1Char(',') + QString::number(alignment));
    lines_.append(text);
}
void TRecordingReport::AddLine(const QString& text) { Record(QStringLiteral("AddLine"), text); lines_.append(text); }
void TRecordingReport::InsertGraphic(const TReportGraphic& graphic)
{
    Record(QStringLiteral("InsertGraphic"), QString::number(graphic.Content.Formats.size()));
}
void TRecordingReport::WriteLines(const QStringList& memo)
{
    Record(QStringLiteral("WriteLines"), QString::number(memo.size()));
    lines_.append(memo);
}
void TRecordingReport::WriteTable(const platform::TStringGridModel& grid)
{
    Record(QStringLiteral("WriteTable"),
           QStringLiteral("%1x%2").arg(grid.ColCount()).arg(grid.RowCount()));
    for (int r = 0; r < grid.RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.ColCount(); ++c)
            cells.append(grid.Cell(c, r));
        record_->tableRows.append(cells.join(QLatin1Char('|')));
    }
}
void TRecordingReport::PasteFromClipboard() { Record(QStringLiteral("PasteFromClipboard")); }
void TRecordingReport::AfterPaste() { Record(QStringLiteral("AfterPaste")); }
void TRecordingReport::NewLine() { Record(QStringLiteral("NewLine")); }
void TRecordingReport::NewPage() { Record(QStringLiteral("NewPage")); }
void TRecordingReport::SkipLines(int amount) { Record(QStringLiteral("SkipLines"), QString::number(amount)); }
void TRecordingReport::SetFontFrom(const QFont& font)
{
    QString name;
    uint16_t size = 0;
    TReportFontStyles style = 0;
    FontParts(font, name, size, style);
    SetFont(name, size, style);
}
void TRecordingReport::SetFont(const QString& name, uint16_t size, TReportFontStyles style)
{
    Record(QStringLiteral("SetFont"), QStringLiteral("%1,%2,%3").arg(name).arg(size).arg(style));
}
void TRecordingReport::SetOrientation(uint8_t orientation)
{
    Record(QStringLiteral("SetOrientation"), QString::number(orientation));
}
void TRecordingReport::PrintDialog() { Record(QStringLiteral("PrintDialog")); }
void TRecordingReport::Print(uint16_t fromPage, uint16_t toPage)
{
    Record(QStringLiteral("Print"), QStringLiteral("%1,%2").arg(fromPage).arg(toPage));
}
void TRecordingReport::Preview() { Record(QStringLiteral("Preview")); }
QString TRecordingReport::GetLine(uint16_t index)
{
    Record(QStringLiteral("GetLine"), QString::number(index));
    return index < lines_.size() ? lines_[index] : QString();
}
int TRecordingReport::GetLineCount()
{
    Record(QStringLiteral("GetLineCount"));
    return int(lines_.size());
}
void TRecordingReport::SetLine(uint16_t index, const QString& text)
{
    Record(QStringLiteral("SetLine"), QString::number(index) + QLatin1Char(',') + text);
    if (index < lines_.size())
        lines_[index] = text;
}
bool TRecordingReport::SetVisible(bool visible)
{
    Record(QStringLiteral("SetVisible"), visible ? QStringLiteral("1") : QStringLiteral("0"));
    visible_ = visible;
    return true;
}
bool TRecordingReport::ShowResult(bool show)
{
    Record(QStringLiteral("ShowResult"), show ? QStringLiteral("1") : QStringLiteral("0"));
    if (show)
        visible_ = true;
    return record_->showResultAnswer;
}
bool TRecordingReport::IsVisible()
{
    Record(QStringLiteral("IsVisible"));
    return visible_;
}
void TRecordingReport::Clear(const QString& caption)
{
    Record(QStringLiteral("Clear"), caption);
    lines_.clear();
}
void TRecordingReport::SetCaption(const QString& caption) { Record(QStringLiteral("SetCaption"), caption); }

TRecordingReportKind::TRecordingReportKind(uint8_t kind)
    : scoped_(kind, [rec = record](const QString& title, const QString& fileName, const TReportCallback& callback) {
          return std::make_unique<TRecordingReport>(title, fileName, callback, rec);
      })
{
}

} // namespace testsupport
