#pragma once
// A report back end that records every operation called on it as one text
// ("WriteLine(Titel)", "SetFont(Arial,12,1)", "WriteTable(3x4)"), in order,
// and can be told to fail. Install it for a kind with a TRecordingReportKind;
// the records outlive the report object (the chooser frees it).
#include "reports/ZT_BerEx.h"

#include <QStringList>
#include <memory>
#include <stdexcept>

namespace testsupport {

// What the reports of one kind recorded, shared with the factory.
struct TReportRecord {
    QStringList calls;              // every operation, constructor and destructor included
    int created = 0;
    int destroyed = 0;
    QString failAt;                 // operation name that throws std::runtime_error
    bool failInConstructor = false;
    bool showResultAnswer = true;
    // Grids seen by WriteTable, as rows of cells joined by '|'.
    QStringList tableRows;
    int count(const QString& operation) const;   // calls starting with operation + "("
};

class TRecordingReport : public TBer_Intf_Basis {
public:
    TRecordingReport(const QString& title, const QString& fileName, const TReportCallback& callback,
                     std::shared_ptr<TReportRecord> record);
    ~TRecordingReport() override;

    void LoadFromFile(const QString& fileName) override;
    void SaveToFile(const QString& fileName) override;
    void AddText(const QString& text) override;
    void WriteLine(const QString& text) override;
    void WriteAligned(const QString& text, uint8_t alignment) override;
    void AddLine(const QString& text) override;
    void InsertGraphic(const TReportGraphic& graphic) override;
    void WriteLines(const QStringList& memo) override;
    void WriteTable(const platform::TStringGridModel& grid) override;
    void PasteFromClipboard() override;
    void AfterPaste() override;
    void NewLine() override;
    void NewPage() override;
    void SkipLines(int amount) override;
    void SetFontFrom(const QFont& font) override;
    void SetFont(const QString& name, uint16_t size, TReportFontStyles style) override;
    void SetOrientation(uint8_t orientation) override;
    void PrintDialog() override;
    void Print(uint16_t fromPage, uint16_t toPage) override;
    void Preview() override;
    QString GetLine(uint16_t index) override;
    int GetLineCount() override;
    void SetLine(uint16_t index, const QString& text) override;
    bool SetVisible(bool visible) override;
    bool ShowResult(bool show) override;
    bool IsVisible() override;
    void Clear(const QString& caption) override;
    void SetCaption(const QString& caption) override;

private:
    void Record(const QString& operation, const QString& arguments = {});

    std::shared_ptr<TReportRecord> record_;
    QStringList lines_;
    bool visible_ = false;
};

// Registers the recording back end for a kind for its lifetime.
class TRecordingReportKind {
public:
    explicit TRecordingReportKind(uint8_t kind);
    std::shared_ptr<TReportRecord> record = std::make_shared<TReportRecord>();

private:
    TScopedReportFactory scoped_;
};

} // namespace testsupport
