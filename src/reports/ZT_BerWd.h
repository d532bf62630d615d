#pragma once
// The word-processor report (kind 1). Lines, tables and pictures go into a
// light document of our own at a position that plays the word processor's
// selection; showing the result writes the document as an RTF file of its
// own in the report folder and opens it with the desktop's word processor.
// There is no application to connect to: the report is always "connected",
// and quitting the word processor concerns only the file it shows.
#include "platform/Colors.h"
#include "reports/WordDocument.h"
#include "reports/ZT_BerBs.h"

#include <QString>

// Whether the current report is connected to its word processor. Set by the
// constructor; the document lives in the report object, so nothing clears it.
extern bool WordConnected;

// Written instead of a table the word processor cannot hold.
inline constexpr const char* TableTooBigText = "Table too big for word-processing!";

class TBer_Intf_MsWord97 : public TBer_Intf_Basis {
public:
    TBer_Intf_MsWord97(const QString& title, const QString& fileName, TReportCallback callback);
    ~TBer_Intf_MsWord97() override;

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

    // Always true: the document lives in this object.
    bool EnsureConnected() { return true; }
    // The word processor's quit: there is no application here, so nothing
    // to disconnect and the callback is never due.
    void WordQuit() {}

    // The word processor's colour index for a row shading (0: none).
    static uint8_t WordColourIndex(platform::TColor colour);
    // Widest table the word processor holds.
    static constexpr int MaxTableColumns = 63;

    const reports::TWpDocument& Document() const { return doc_; }
    // The file the last ShowResult wrote (empty before).
    const QString& ResultFile() const { return resultFile_; }

private:
    bool Closing = false;
    reports::TWpDocument doc_;
    bool visible_ = false;
    QString resultFile_;
};
