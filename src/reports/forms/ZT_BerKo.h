#pragma once
// The third report back end: the report goes into the built-in report editor
// window instead of an outside program. Lines go in one by one, tables become
// text tables in box-drawing characters, pictures come through the
// clipboard, and printing, preview and orientation are the window's.
#include "reports/ZT_BerBs.h"

#include <QTextCharFormat>
#include <memory>

class TPrtForm;
namespace reports { class TRichPrintTarget; }

class TBer_Intf_Kompo : public TBer_Intf_Basis {
public:
    // printer: where printing goes (the program's printer service when null).
    TBer_Intf_Kompo(const QString& title, const QString& fileName, TReportCallback callback,
                    std::shared_ptr<reports::TRichPrintTarget> printer = nullptr);
    ~TBer_Intf_Kompo() override;

    void LoadFromFile(const QString& fileName) override;
    void SaveToFile(const QString& fileName) override;
    void AddText(const QString& text) override { WriteLine(text); }
    void WriteLine(const QString& text) override;
    void WriteAligned(const QString& text, uint8_t alignment) override;
    void AddLine(const QString& text) override { WriteLine(text); }
    void InsertGraphic(const TReportGraphic& graphic) override;
    void WriteLines(const QStringList& memo) override;
    void WriteTable(const platform::TStringGridModel& grid) override;
    void PasteFromClipboard() override;
    void NewLine() override { WriteLine(QString()); }
    void NewPage() override;
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

    TPrtForm* Form() const { return form_.get(); }

private:
    void caretToEnd();

    std::unique_ptr<TPrtForm> form_;
    QTextCharFormat attributes_;   // what the text written next takes
};

// Registers the editor back end as report kind 0.
void InstallEditorReportBackend();
