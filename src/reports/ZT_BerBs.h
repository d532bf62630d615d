#pragma once
// The abstract report object. The table window writes its title lines, its
// grid and its chart into a report through these operations; each back end
// (word processor, spreadsheet, built-in editor) implements them for its
// target. The chooser TBer_Export (ZT_BerEx.h) creates the back end.
//
// Slot order of the virtual operations is fixed: 0 the constructor, 1 the
// destructor, 2..29 the operations below in that order. An operation a back
// end does not override raises EAbstractReportOperation (the editor back end
// has no AfterPaste and no SkipLines; nothing may call them on it). An
// operation a back end answers with NotImplementedYet() shows "Zur Zeit noch
// nicht implementiert !" in a plain message box and does nothing else; such
// a query answers 0, false or an empty text.
#include "platform/Clipboard.h"
#include "platform/Colors.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

class QObject;

namespace platform { class TStringGridModel; }

// Asked while a table is written for a colour to shade a row (word processor)
// or a cell (spreadsheet) with: grid, column, row, a flag (always false) and
// the colour (out). True when the row or cell is to be shaded.
using TCellColorQuery = std::function<bool(const platform::TStringGridModel& grid, uint16_t col,
                                           int row, bool flag, platform::TColor& color)>;

// Called once by the word-processor back end when the user quits the word
// processor while the report is connected.
using TReportCallback = std::function<void()>;

// Font styles of SetFont, the bits of TFontStyle: 1 bold, 2 italic,
// 4 underline, 8 strike-out.
using TReportFontStyles = uint8_t;
constexpr TReportFontStyles rfsBold = 1;
constexpr TReportFontStyles rfsItalic = 2;
constexpr TReportFontStyles rfsUnderline = 4;
constexpr TReportFontStyles rfsStrikeOut = 8;

// Alignments of WriteAligned and orientations of SetOrientation.
constexpr uint8_t raLeft = 0;
constexpr uint8_t raRight = 1;
constexpr uint8_t raCentre = 2;
constexpr uint8_t roPortrait = 0;
constexpr uint8_t roLandscape = 1;

// The longest report title; a longer one is cut.
constexpr int ReportTitleCapacity = 132;

// The text shown for an operation a back end does not do.
inline constexpr const char* NotImplementedText = "Zur Zeit noch nicht implementiert !";

// A picture for InsertGraphic: the picture in its own clipboard formats, and
// its size in points (the spreadsheet skips that height below it).
struct TReportGraphic {
    platform::TClipboardContent Content;
    double WidthPt = 0;
    double HeightPt = 0;
};

// Raised by an operation that a back end does not provide.
class EAbstractReportOperation : public std::logic_error {
public:
    explicit EAbstractReportOperation(const std::string& what) : std::logic_error(what) {}
};

class TBer_Intf_Basis {
public:
    // Slot 0. A back end connects to its target, opens fileName or starts an
    // empty document and keeps the callback; the base constructor empties
    // OnCellColor and sets Aborted to false, and keeps the title (cut to 132
    // characters) and the callback.
    TBer_Intf_Basis(const QString& title, const QString& fileName, TReportCallback callback);
    // Slot 1: releases the connection to the target; the document is not saved.
    virtual ~TBer_Intf_Basis();

    TBer_Intf_Basis(const TBer_Intf_Basis&) = delete;
    TBer_Intf_Basis& operator=(const TBer_Intf_Basis&) = delete;

    virtual void LoadFromFile(const QString& fileName);             // 2
    virtual void SaveToFile(const QString& fileName);               // 3
    virtual void AddText(const QString& text);                      // 4: as WriteLine
    virtual void WriteLine(const QString& text);                    // 5: text, then NewLine
    virtual void WriteAligned(const QString& text, uint8_t alignment); // 6: raLeft/raRight/raCentre
    virtual void AddLine(const QString& text);                      // 7: as WriteLine
    virtual void InsertGraphic(const TReportGraphic& graphic);      // 8
    virtual void WriteLines(const QStringList& memo);               // 9: WriteLine per line
    virtual void WriteTable(const platform::TStringGridModel& grid); // 10: fixed rows are the header
    virtual void PasteFromClipboard();                              // 11
    virtual void AfterPaste();                                      // 12
    virtual void NewLine();                                         // 13
    virtual void NewPage();                                         // 14
    virtual void SkipLines(int amount);                             // 15: points
    virtual void SetFontFrom(const QFont& font);                    // 16
    virtual void SetFont(const QString& name, uint16_t size, TReportFontStyles style); // 17
    virtual void SetOrientation(uint8_t orientation);               // 18: roPortrait/roLandscape
    virtual void PrintDialog();                                     // 19
    virtual void Print(uint16_t fromPage, uint16_t toPage);         // 20
    virtual void Preview();                                         // 21
    virtual QString GetLine(uint16_t index);                        // 22: from 0
    virtual int GetLineCount();                                     // 23
    virtual void SetLine(uint16_t index, const QString& text);      // 24
    virtual bool SetVisible(bool visible);                          // 25: true when reached
    virtual bool ShowResult(bool show);                             // 26: true when done
    virtual bool IsVisible();                                       // 27
    virtual void Clear(const QString& caption);                     // 28
    virtual void SetCaption(const QString& caption);                // 29

    // Handler of the progress window's abort button: sets Aborted and
    // disables the sender (any widget: its "enabled" property is cleared), so
    // the button cannot be pressed twice.
    void AbortClick(QObject* sender);

    TCellColorQuery OnCellColor;    // empty unless set; nothing in the program sets it
    bool Aborted = false;

    const QString& Title() const { return title_; }
    const QString& FileName() const { return fileName_; }
    const TReportCallback& Callback() const { return callback_; }

protected:
    // Shows "Zur Zeit noch nicht implementiert !" in a plain message box.
    static void NotImplementedYet();
    // Puts the graphic's formats on the clipboard (the first half of
    // InsertGraphic in every back end); false when the clipboard refused.
    static bool PutGraphicOnClipboard(const TReportGraphic& graphic);
    // Font name, size in points (rounded, at least 1) and styles of a font,
    // as SetFontFrom hands them to SetFont.
    static void FontParts(const QFont& font, QString& name, uint16_t& size, TReportFontStyles& style);

private:
    [[noreturn]] static void Abstract(const char* operation);

    QString title_;
    QString fileName_;
    TReportCallback callback_;
};
