#pragma once
// The spreadsheet report (kind 2). Text lines go into column A, one row each;
// a table goes into a block whose top-left corner is the active cell, with the
// header rows and fixed columns shaded grey and the value columns written as
// numbers with a number format derived from the values; a new page is a new
// sheet after the current one. The workbook is built in memory; showing the
// result writes it as an XLSX file of its own in the report folder and opens
// it with the desktop's spreadsheet program.
#include "platform/Colors.h"
#include "reports/Workbook.h"
#include "reports/ZT_BerBs.h"

#include <QString>

// Number format of header, fixed columns and value columns; rebuilt while a
// table's values are scanned and kept from one table to the next.
extern QString NumberFormatText;
// Format given to cells holding dates; set for every table.
extern QString DateFormatText;
// Fill of the header rows and fixed columns (grey).
constexpr platform::TColor HeaderColor = 0x808080;

// The "Excel-Error" texts.
inline constexpr const char* TooManyLinesText = "Excel-Error: Too many lines: ";

class TBer_Intf_MsExcel97 : public TBer_Intf_Basis {
public:
    TBer_Intf_MsExcel97(const QString& title, const QString& fileName, TReportCallback callback);
    ~TBer_Intf_MsExcel97() override;

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

    // Always connected: the workbook lives in this object.
    bool EnsureConnected() { return true; }
    // The first sheet becomes the current one and the one the file opens with.
    void ActivateFirstSheet();

    // Row height of the sheets in points (the file format's default).
    static constexpr int RowHeightPt = 15;

    const reports::TWorkbook& Workbook() const { return book_; }
    int CurrentSheet() const { return current_; }
    // The file the last ShowResult wrote (empty before).
    const QString& ResultFile() const { return resultFile_; }

private:
    reports::TWorksheet& Sheet() { return book_.Sheet(current_); }
    bool WriteValueBlock(const platform::TStringGridModel& grid, int r0, int c0, int hidden, int lastRow,
                         int lastCol);

    reports::TWorkbook book_;
    int current_ = 0;
    QString savedFile_;
    QString resultFile_;
};
