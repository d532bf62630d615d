#include "reports/RtfReader.h"

#include "platform/TextCodec.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLocale>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_map>

namespace rtf {

namespace {

// Code page 437, bytes 0x80..0xFF.
const char16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// Limits that keep absurd input from costing absurd time or memory.
constexpr std::size_t kMaxDepth = 2000;          // nested groups kept apart
constexpr std::size_t kMaxCells = MaxCells;      // cells of one table row
constexpr std::size_t kMaxTabs = 64;
constexpr int kMaxTwips = 31680;                 // 22 inches
constexpr qsizetype kMaxPictureBytes = 64 * 1024 * 1024;

int clampTwips(int v) { return std::clamp(v, -kMaxTwips, kMaxTwips); }

enum class Dest : uint8_t {
    Text, Skip, FontTable, ColourTable, Picture, Numbering, ListTable, ListOverrideTable
};

// What closes with a group and must be finished then.
enum class Owner : uint8_t { None, Picture, Numbering, FontEntry };

struct CharState {
    int font = -1;                 // -1: the document's default font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int colour = 0;
    int background = 0;
    bool operator==(const CharState&) const = default;
};

struct ParaState {
    TAlign align = TAlign::Left;
    int li = 0, fi = 0, ri = 0, sb = 0, sa = 0;
    std::vector<TRtfTab> tabs;
    TTabKind nextTabKind = TTabKind::Left;
    TBullet bullet = TBullet::None;
    bool inTable = false;
};

struct Group {
    CharState ch;
    ParaState pa;
    Dest dest = Dest::Text;
    Owner owner = Owner::None;
    int uc = 1;
};

struct Piece {
    CharState ch;
    QString text;
    QImage image;                  // set for a picture
    QSizeF imageSize;              // shown size in pixels
};

struct Para {
    ParaState ps;
    CharState endChar;
    std::vector<Piece> pieces;
    bool hasContent() const { return !pieces.empty(); }
};

using Cell = std::vector<Para>;

enum class Kw : uint16_t {
    Unknown,
    // destinations
    Rtf, FontTbl, ColorTbl, Pict, ShpPict, NonShpPict, Pn, ListTable, ListOverrideTable, SkipDest,
    // document
    Deff, AnsiCpg, Pc, Ansi, PaperW, PaperH, MargL, MargR, MargT, MargB, Landscape,
    PgWSxn, PgHSxn, MargLSxn, MargRSxn, MargTSxn, MargBSxn, LndscpSxn, DefTab,
    // fonts and colours
    F, FCharset, Cpg, Red, Green, Blue,
    // characters
    Plain, B, I, Ul, UlNone, Strike, Fs, Cf, Cb, Highlight, V, U, Uc,
    // special characters
    Par, Sect, Page, Line, Tab, EmDash, EnDash, Bullet, LQuote, RQuote, LDblQuote, RDblQuote,
    EmSpace, EnSpace, QmSpace,
    // paragraphs
    Pard, Ql, Qc, Qr, Qj, Li, Fi, Ri, Sb, Sa, Tx, Tqc, Tqr, Tqdec, Tb, Ls,
    // numbering
    PnLvlBlt, PnNumbered,
    // list tables
    List, ListLevel, LevelNfc, ListId, ListOverride,
    // tables
    Intbl, Cell, NestCell, Row, Trowd, Cellx, Trgaph, Trleft, Trql, Trqc, Trqr, Trrh, Trhdr,
    ClBrdrT, ClBrdrL, ClBrdrB, ClBrdrR, TrBrdrT, TrBrdrL, TrBrdrB, TrBrdrR, TrBrdrV, OtherBorder,
    BrdrLine, BrdrDb, BrdrNone, BrdrW, BrdrCf, ClVertAlT, ClVertAlC, ClVertAlB, ClCbPat,
    // pictures
    PngBlip, JpegBlip, OtherPicture, PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY,
    Bin,
};

const std::unordered_map<std::string_view, Kw>& keywords()
{
    static const std::unordered_map<std::string_view, Kw> table = {
        {"rtf", Kw::Rtf}, {"fonttbl", Kw::FontTbl}, {"colortbl", Kw::ColorTbl}, {"pict", Kw::Pict},
        {"shppict", Kw::ShpPict}, {"nonshppict", Kw::NonShpPict}, {"pn", Kw::Pn},
        {"listtable", Kw::ListTable}, {"listoverridetable", Kw::ListOverrideTable},
        // Destinations whose text is not part of the document.
        {"stylesheet", Kw::SkipDest}, {"info", Kw::SkipDest}, {"header", Kw::SkipDest},
        {"headerl", Kw::SkipDest}, {"headerr", Kw::SkipDest}, {"headerf", Kw::SkipDest},
        {"footer", Kw::SkipDest}, {"footerl", Kw::SkipDest}, {"footerr", Kw::SkipDest},
        {"footerf", Kw::SkipDest}, {"footnote", Kw::SkipDest}, {"annotation", Kw::SkipDest},
        {"pntext", Kw::SkipDest}, {"listtext", Kw::SkipDest}, {"fldinst", Kw::SkipDest},
        {"objdata", Kw::SkipDest}, {"objclass", Kw::SkipDest}, {"xe", Kw::SkipDest}, {"tc", Kw::SkipDest},
        {"txe", Kw::SkipDest}, {"rxe", Kw::SkipDest}, {"author", Kw::SkipDest}, {"title", Kw::SkipDest},
        {"subject", Kw::SkipDest}, {"operator", Kw::SkipDest}, {"comment", Kw::SkipDest},
        {"doccomm", Kw::SkipDest}, {"keywords", Kw::SkipDest}, {"ftnsep", Kw::SkipDest},
        {"ftnsepc", Kw::SkipDest}, {"ftncn", Kw::SkipDest}, {"aftnsep", Kw::SkipDest},
        {"aftnsepc", Kw::SkipDest}, {"aftncn", Kw::SkipDest}, {"generator", Kw::SkipDest},
        {"pntxta", Kw::SkipDest}, {"pntxtb", Kw::SkipDest}, {"bkmkstart", Kw::SkipDest},
        {"bkmkend", Kw::SkipDest}, {"datafield", Kw::SkipDest}, {"filetbl", Kw::SkipDest},
        {"revtbl", Kw::SkipDest}, {"rsidtbl", Kw::SkipDest}, {"themedata", Kw::SkipDest},
        {"colorschememapping", Kw::SkipDest}, {"latentstyles", Kw::SkipDest},
        {"leveltext", Kw::SkipDest}, {"levelnumbers", Kw::SkipDest}, {"falt", Kw::SkipDest},
        {"panose", Kw::SkipDest}, {"private", Kw::SkipDest}, {"atnid", Kw::SkipDest},
        {"atnauthor", Kw::SkipDest},
        {"deff", Kw::Deff}, {"ansicpg", Kw::AnsiCpg}, {"pc", Kw::Pc}, {"ansi", Kw::Ansi},
        {"paperw", Kw::PaperW}, {"paperh", Kw::PaperH}, {"margl", Kw::MargL}, {"margr", Kw::MargR},
        {"margt", Kw::MargT}, {"margb", Kw::MargB}, {"landscape", Kw::Landscape},
        {"pgwsxn", Kw::PgWSxn}, {"pghsxn", Kw::PgHSxn}, {"marglsxn", Kw::MargLSxn},
        {"margrsxn", Kw::MargRSxn}, {"margtsxn", Kw::MargTSxn}, {"margbsxn", Kw::MargBSxn},
        {"lndscpsxn", Kw::LndscpSxn}, {"deftab", Kw::DefTab},
        {"f", Kw::F}, {"fcharset", Kw::FCharset}, {"cpg", Kw::Cpg},
        {"red", Kw::Red}, {"green", Kw::Green}, {"blue", Kw::Blue},
        {"plain", Kw::Plain}, {"b", Kw::B}, {"i", Kw::I}, {"ul", Kw::Ul}, {"uld", Kw::Ul},
        {"uldb", Kw::Ul}, {"ulw", Kw::Ul}, {"uldash", Kw::Ul}, {"ulth", Kw::Ul}, {"ulwave", Kw::Ul},
        {"ulnone", Kw::UlNone}, {"strike", Kw::Strike}, {"striked", Kw::Strike}, {"fs", Kw::Fs},
        {"cf", Kw::Cf}, {"cb", Kw::Cb}, {"chcbpat", Kw::Cb}, {"highlight", Kw::Highlight}, {"v", Kw::V},
        {"u", Kw::U}, {"uc", Kw::Uc},
        {"par", Kw::Par}, {"sect", Kw::Sect}, {"page", Kw::Page}, {"line", Kw::Line}, {"tab", Kw::Tab},
        {"emdash", Kw::EmDash}, {"endash", Kw::EnDash}, {"bullet", Kw::Bullet}, {"lquote", Kw::LQuote},
        {"rquote", Kw::RQuote}, {"ldblquote", Kw::LDblQuote}, {"rdblquote", Kw::RDblQuote},
        {"emspace", Kw::EmSpace}, {"enspace", Kw::EnSpace}, {"qmspace", Kw::QmSpace},
        {"pard", Kw::Pard}, {"ql", Kw::Ql}, {"qc", Kw::Qc}, {"qr", Kw::Qr}, {"qj", Kw::Qj},
        {"li", Kw::Li}, {"lin", Kw::Li}, {"fi", Kw::Fi}, {"ri", Kw::Ri}, {"rin", Kw::Ri},
        {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"tx", Kw::Tx}, {"tqc", Kw::Tqc}, {"tqr", Kw::Tqr},
        {"tqdec", Kw::Tqdec}, {"tb", Kw::Tb}, {"ls", Kw::Ls},
        {"pnlvlblt", Kw::PnLvlBlt}, {"pnlvlbody", Kw::PnNumbered}, {"pndec", Kw::PnNumbered},
        {"pnlvlcont", Kw::PnNumbered},
        {"list", Kw::List}, {"listlevel", Kw::ListLevel}, {"levelnfc", Kw::LevelNfc},
        {"levelnfcn", Kw::LevelNfc}, {"listid", Kw::ListId}, {"listoverride", Kw::ListOverride},
        {"intbl", Kw::Intbl}, {"cell", Kw::Cell}, {"nestcell", Kw::NestCell}, {"row", Kw::Row},
        {"trowd", Kw::Trowd}, {"cellx", Kw::Cellx}, {"trgaph", Kw::Trgaph}, {"trleft", Kw::Trleft},
        {"trql", Kw::Trql}, {"trqc", Kw::Trqc}, {"trqr", Kw::Trqr}, {"trrh", Kw::Trrh},
        {"trhdr", Kw::Trhdr},
        {"clbrdrt", Kw::ClBrdrT}, {"clbrdrl", Kw::ClBrdrL}, {"clbrdrb", Kw::ClBrdrB},
        {"clbrdrr", Kw::ClBrdrR}, {"trbrdrt", Kw::TrBrdrT}, {"trbrdrl", Kw::TrBrdrL},
        {"trbrdrb", Kw::TrBrdrB}, {"trbrdrr", Kw::TrBrdrR}, {"trbrdrv", Kw::TrBrdrV},
        {"trbrdrh", Kw::OtherBorder}, {"brdrt", Kw::OtherBorder}, {"brdrl", Kw::OtherBorder},
        {"brdrb", Kw::OtherBorder}, {"brdrr", Kw::OtherBorder}, {"box", Kw::OtherBorder},
        {"brdrs", Kw::BrdrLine}, {"brdrth", Kw::BrdrLine}, {"brdrsh", Kw::BrdrLine},
        {"brdrdot", Kw::BrdrLine}, {"brdrdash", Kw::BrdrLine}, {"brdrhair", Kw::BrdrLine},
        {"brdrdb", Kw::BrdrDb}, {"brdrnone", Kw::BrdrNone}, {"brdrnil", Kw::BrdrNone},
        {"brdrw", Kw::BrdrW}, {"brdrcf", Kw::BrdrCf},
        {"clvertalt", Kw::ClVertAlT}, {"clvertalc", Kw::ClVertAlC}, {"clvertalb", Kw::ClVertAlB},
        {"clcbpat", Kw::ClCbPat},
        {"pngblip", Kw::PngBlip}, {"jpegblip", Kw::JpegBlip}, {"wmetafile", Kw::OtherPicture},
        {"emfblip", Kw::OtherPicture}, {"macpict", Kw::OtherPicture}, {"pmmetafile", Kw::OtherPicture},
        {"dibitmap", Kw::OtherPicture}, {"wbitmap", Kw::OtherPicture},
        {"picw", Kw::PicW}, {"pich", Kw::PicH}, {"picwgoal", Kw::PicWGoal}, {"pichgoal", Kw::PicHGoal},
        {"picscalex", Kw::PicScaleX}, {"picscaley", Kw::PicScaleY},
        {"bin", Kw::Bin},
    };
    return table;
}

// Destinations we understand even when they are marked as ignorable.
bool isKnownDestination(Kw k)
{
    switch (k) {
    case Kw::FontTbl: case Kw::ColorTbl: case Kw::Pict: case Kw::ShpPict: case Kw::Pn:
    case Kw::ListTable: case Kw::ListOverrideTable:
        return true;
    default:
        return false;
    }
}

struct FontEntry {
    QString name;
    int charset = CharsetAnsi;
    int codePage = 0;              // 0: from the character set
};

struct Picture {
    enum Kind : uint8_t { Unknown, Png, Jpeg, Other } kind = Unknown;
    QByteArray data;
    int nibble = -1;
    int picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;
};

struct ListTrack {
    QTextList* list = nullptr;
    TBullet kind = TBullet::None;
    int lastBlock = -2;
};

class Reader {
public:
    Reader(const QByteArray& data, QTextDocument* doc) : data_(data), doc_(doc), cursor_(doc)
    {
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            cp1252_[b] = platform::DecodeWindows1252(&c, 1).at(0);
        }
    }

    void run();
    TRtfReadInfo info;

private:
    Group& top() { return stack_.back(); }
    void push();
    bool pop();
    void controlWord(std::string_view name, bool hasParam, int param, const char*& p, const char* end);
    void textByte(unsigned char b);
    void hexByte(unsigned char b);
    void appendChar(QChar c);
    bool consumeSkip();
    void endParagraph(bool forceTable = false);
    void pageBreak();
    void endCell();
    void endRow();
    void flushPendingRow();
    void finishPicture();
    void commitFont();
    TRtfBorder* borderTarget();
    QChar decodeByte(unsigned char b);
    int codePageOfFont(int font) const;

    // Building the document.
    QTextCharFormat charFormat(const CharState& ch);
    QTextBlockFormat blockFormat(const ParaState& ps, bool pageBreak);
    void insertParagraph(QTextCursor& c, const Para& p, bool useCurrentBlock, bool pageBreak, ListTrack& lists);
    void insertBodyParagraph(const Para& p);
    void flushTable();
    QTextTableCellFormat cellFormat(const TRtfCellFormat& def) const;
    QColor colour(int index) const;

    const QByteArray& data_;
    QTextDocument* doc_;
    QTextCursor cursor_;
    std::vector<Group> stack_;
    std::size_t overflow_ = 0;
    bool ignorable_ = false;
    int skip_ = 0;
    bool done_ = false;

    // Tables read from the header.
    std::unordered_map<int, FontEntry> fonts_;
    int fontEntry_ = -1;
    FontEntry fontPending_;
    std::vector<QColor> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colourSeen_ = false;
    int defaultFont_ = 0;
    int docCodePage_ = 1252;
    std::unordered_map<int, int> listNfc_;     // list id -> number format of level 1
    std::unordered_map<int, int> overrideNfc_; // \ls -> number format
    int curListId_ = 0, curListNfc_ = -1, listLevels_ = 0, overrideListId_ = 0;
    TBullet pnKind_ = TBullet::None;
    Picture pict_;

    // Page.
    int paperw_ = 0, paperh_ = 0;
    bool landscape_ = false;

    // Paragraph and table in progress.
    Para para_;
    Cell cell_;
    std::vector<Cell> rowCells_;
    TRtfRowFormat rowDef_;
    TRtfCellFormat cellDef_;
    enum class BorderTarget : uint8_t {
        None, CellT, CellL, CellB, CellR, RowT, RowL, RowB, RowR, RowV
    } borderTarget_ = BorderTarget::None;
    bool pendingPageBreak_ = false;

    // Document building state.
    bool freshBlock_ = true;           // the last block is empty and unused
    // Rows of the table being read; the whole table goes into the document at
    // once when it ends (row by row, QTextTable re-indexes all its cells).
    struct PendingRow {
        TRtfRowFormat def;
        std::vector<Cell> cells;
    };
    std::vector<PendingRow> tableRows_;
    bool tablePageBreak_ = false;
    ListTrack bodyLists_;
    CharState lastChar_;
    QTextCharFormat lastCharFormat_;
    bool haveLastChar_ = false;
    int imageCount_ = 0;
    QChar cp1252_[256];

    // What the document holds so far, against the limits; refuse() stops
    // reading.
    qint64 cells_ = 0;
    qint64 paragraphs_ = 0;
    qint64 pixels_ = 0;
    void refuse(const QString& what, qint64 count, qint64 limit);
    void countParagraph();
};

void Reader::refuse(const QString& what, qint64 count, qint64 limit)
{
    if (!info.Refusal.isEmpty())
        return;
    const QLocale german(QLocale::German, QLocale::Germany);
    info.Refusal = QStringLiteral("Das Dokument ist zu groß, um es anzuzeigen: mehr als %1 %2 (höchstens %3).")
                       .arg(german.toString(count), what, german.toString(limit));
    done_ = true;
}

void Reader::countParagraph()
{
    if (++paragraphs_ > MaxDocumentParagraphs)
        refuse(QStringLiteral("Zeilen"), MaxDocumentParagraphs, MaxDocumentParagraphs);
}

void Reader::push()
{
    if (stack_.size() >= kMaxDepth) {
        ++overflow_;
        return;
    }
    Group g = stack_.empty() ? Group{} : top();
    g.owner = Owner::None;
    stack_.push_back(std::move(g));
}

bool Reader::pop()
{
    if (overflow_ > 0) {
        --overflow_;
        return true;
    }
    if (stack_.empty())
        return false;
    if (stack_.size() == 1)
        return false;          // the document's own group: its state stays for the end
    const Owner owner = top().owner;
    if (owner == Owner::Picture)
        finishPicture();
    else if (owner == Owner::FontEntry)
        commitFont();
    stack_.pop_back();
    if (owner == Owner::Numbering) {
        top().pa.bullet = pnKind_;
        pnKind_ = TBullet::None;
    }
    return true;
}

void Reader::run()
{
    const char* p = data_.constData();
    const char* end = p + data_.size();
    while (p < end && *p != '{')
        ++p;
    while (p < end && !done_) {
        const char c = *p;
        if (c == '{') {
            ++p;
            push();
            ignorable_ = false;
            skip_ = 0;
        } else if (c == '}') {
            ++p;
            ignorable_ = false;
            skip_ = 0;
            if (!pop())
                done_ = true;      // the document's group closed
        } else if (c == '\\') {
            ++p;
            if (p >= end)
                break;
            const char s = *p;
            if ((s >= 'a' && s <= 'z') || (s >= 'A' && s <= 'Z')) {
                const char* start = p;
                while (p < end && ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z')))
                    ++p;
                std::string_view name(start, std::size_t(std::min<std::ptrdiff_t>(p - start, 32)));
                bool hasParam = false;
                bool negative = false;
                long long value = 0;
                if (p < end && *p == '-' && p + 1 < end && p[1] >= '0' && p[1] <= '9') {
                    negative = true;
                    ++p;
                }
                while (p < end && *p >= '0' && *p <= '9') {
                    hasParam = true;
                    if (value < 10'000'000'000LL)
                        value = value * 10 + (*p - '0');
                    ++p;
                }
                if (p < end && *p == ' ')
                    ++p;
                if (negative)
                    value = -value;
                value = std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
                controlWord(name, hasParam, int(value), p, end);
            } else if (s == '\'') {
                ++p;
                int v = 0;
                int digits = 0;
                while (digits < 2 && p < end) {
                    const char h = *p;
                    int d;
                    if (h >= '0' && h <= '9') d = h - '0';
                    else if (h >= 'a' && h <= 'f') d = h - 'a' + 10;
                    else if (h >= 'A' && h <= 'F') d = h - 'A' + 10;
                    else break;
                    v = v * 16 + d;
                    ++digits;
                    ++p;
                }
                if (digits == 2)
                    hexByte(static_cast<unsigned char>(v));
            } else {
                ++p;
                ignorable_ = ignorable_ || s == '*';
                if (s == '*')
                    continue;
                if (consumeSkip() || stack_.empty())
                    continue;
                switch (s) {
                case '\\': case '{': case '}':
                    appendChar(QLatin1Char(s));
                    break;
                case '~': appendChar(QChar(0x00A0)); break;
                case '_': appendChar(QChar(0x2011)); break;
                case '-': appendChar(QChar(0x00AD)); break;
                case '\t': appendChar(QLatin1Char('\t')); break;
                case '\r': case '\n':
                    if (top().dest == Dest::Text)
                        endParagraph();
                    break;
                default: break;
                }
            }
        } else {
            ++p;
            ignorable_ = false;
            if (c == '\r' || c == '\n')
                continue;
            textByte(static_cast<unsigned char>(c));
        }
    }
    // Whatever is still open ends here.
    if (info.Refusal.isEmpty()) {
        if (para_.hasContent())
            endParagraph();
        flushPendingRow();
    }
    if (info.Refusal.isEmpty())
        flushTable();

    TRtfDocumentSettings& s = info.Settings;
    int w = paperw_ > 0 ? paperw_ : s.PaperWidth;
    int h = paperh_ > 0 ? paperh_ : s.PaperHeight;
    if (landscape_ && w > h)
        std::swap(w, h);
    s.PaperWidth = w;
    s.PaperHeight = h;
    s.Landscape = landscape_;
    s.DefaultFont = 0;       // fonts are resolved into the document
}

bool Reader::consumeSkip()
{
    if (skip_ > 0) {
        --skip_;
        return true;
    }
    return false;
}

int Reader::codePageOfFont(int font) const
{
    const auto it = fonts_.find(font < 0 ? defaultFont_ : font);
    if (it != fonts_.end()) {
        if (it->second.codePage)
            return it->second.codePage;
        if (it->second.charset == CharsetOem)
            return 437;
    }
    return docCodePage_;
}

QChar Reader::decodeByte(unsigned char b)
{
    if (b >= 0x80 && codePageOfFont(top().ch.font) == 437)
        return QChar(kCp437High[b - 0x80]);
    return cp1252_[b];
}

void Reader::textByte(unsigned char b)
{
    if (stack_.empty())
        return;
    Group& g = top();
    if (g.dest == Dest::Picture) {
        int d = -1;
        if (b >= '0' && b <= '9') d = b - '0';
        else if (b >= 'a' && b <= 'f') d = b - 'a' + 10;
        else if (b >= 'A' && b <= 'F') d = b - 'A' + 10;
        if (d < 0 || pict_.data.size() >= kMaxPictureBytes)
            return;
        if (pict_.nibble < 0) {
            pict_.nibble = d;
        } else {
            pict_.data.append(char((pict_.nibble << 4) | d));
            pict_.nibble = -1;
        }
        return;
    }
    if (consumeSkip())
        return;
    if (g.dest == Dest::FontTable) {
        if (b == ';')
            commitFont();
        else if (fontEntry_ >= 0 && fontPending_.name.size() < 256)
            fontPending_.name.append(cp1252_[b]);
        return;
    }
    if (g.dest == Dest::ColourTable) {
        if (b == ';') {
            if (colours_.size() < 4096)
                colours_.push_back(colourSeen_ ? QColor(red_, green_, blue_) : QColor());
            red_ = green_ = blue_ = 0;
            colourSeen_ = false;
        }
        return;
    }
    if (b == '\t') {
        appendChar(QLatin1Char('\t'));
        return;
    }
    if (b < 0x20)
        return;
    appendChar(decodeByte(b));
}

void Reader::hexByte(unsigned char b)
{
    if (stack_.empty())
        return;
    if (top().dest == Dest::Picture)
        return;
    if (consumeSkip())
        return;
    if (top().dest == Dest::FontTable) {
        if (fontEntry_ >= 0 && fontPending_.name.size() < 256)
            fontPending_.name.append(cp1252_[b]);
        return;
    }
    appendChar(decodeByte(b));
}

void Reader::appendChar(QChar c)
{
    const Group& g = top();
    if (g.dest != Dest::Text || g.ch.hidden)
        return;
    // Characters with a meaning of their own inside a QTextDocument (block and
    // frame marks, object places) and control characters never go in as text.
    const char16_t u = c.unicode();
    if (u == '\n' || u == '\r' || u == 0x0B || u == 0x0C || u == 0x2029 || u == 0x2028) {
        c = QChar(QChar::LineSeparator);
        // A line break costs the layout a line as a paragraph does.
        countParagraph();
        if (!info.Refusal.isEmpty())
            return;
    } else if ((u < 0x20 && u != '\t') || u == QChar::ObjectReplacementCharacter || (u >= 0xFDD0 && u <= 0xFDEF)) {
        return;
    }
    if (para_.pieces.empty() || !para_.pieces.back().image.isNull() || !(para_.pieces.back().ch == g.ch))
        para_.pieces.push_back(Piece{g.ch, QString(), QImage(), QSizeF()});
    para_.pieces.back().text.append(c);
}

void Reader::commitFont()
{
    if (fontEntry_ >= 0) {
        QString name = fontPending_.name.trimmed();
        fontPending_.name = name;
        if (!name.isEmpty() || !fonts_.count(fontEntry_))
            fonts_[fontEntry_] = fontPending_;
    }
    fontEntry_ = -1;
    fontPending_ = FontEntry{};
}

TRtfBorder* Reader::borderTarget()
{
    switch (borderTarget_) {
    case BorderTarget::CellT: return &cellDef_.Top;
    case BorderTarget::CellL: return &cellDef_.Left;
    case BorderTarget::CellB: return &cellDef_.Bottom;
    case BorderTarget::CellR: return &cellDef_.Right;
    case BorderTarget::RowT: return &rowDef_.FrameTop;
    case BorderTarget::RowL: return &rowDef_.FrameLeft;
    case BorderTarget::RowB: return &rowDef_.FrameBottom;
    case BorderTarget::RowR: return &rowDef_.FrameRight;
    case BorderTarget::RowV: return &rowDef_.InsideVertical;
    case BorderTarget::None: break;
    }
    return nullptr;
}

void Reader::controlWord(std::string_view name, bool hasParam, int param, const char*& p, const char* end)
{
    if (stack_.empty())
        return;
    const auto it = keywords().find(name);
    const Kw kw = it == keywords().end() ? Kw::Unknown : it->second;
    Group& g = top();

    if (kw == Kw::Bin) {
        // Raw bytes follow; they may hold anything, braces included.
        const qint64 n = std::clamp<qint64>(hasParam ? param : 0, 0, end - p);
        if (g.dest == Dest::Picture && pict_.data.size() + n <= kMaxPictureBytes)
            pict_.data.append(p, qsizetype(n));
        p += n;
        return;
    }
    if (ignorable_) {
        ignorable_ = false;
        if (!isKnownDestination(kw)) {
            g.dest = Dest::Skip;
            return;
        }
    }
    if (g.dest == Dest::Skip)
        return;
    if (g.dest == Dest::Picture) {
        switch (kw) {
        case Kw::PngBlip: if (pict_.kind == Picture::Unknown) pict_.kind = Picture::Png; break;
        case Kw::JpegBlip: if (pict_.kind == Picture::Unknown) pict_.kind = Picture::Jpeg; break;
        case Kw::OtherPicture: pict_.kind = Picture::Other; break;
        case Kw::PicW: pict_.picw = param; break;
        case Kw::PicH: pict_.pich = param; break;
        case Kw::PicWGoal: pict_.goalw = param; break;
        case Kw::PicHGoal: pict_.goalh = param; break;
        case Kw::PicScaleX: pict_.scalex = param; break;
        case Kw::PicScaleY: pict_.scaley = param; break;
        default: break;
        }
        return;
    }
    const bool on = !hasParam || param != 0;

    switch (kw) {
    case Kw::Unknown:
    case Kw::Rtf:
    case Kw::ShpPict:
        // Unknown words are ignored; the text of their group stays.
        if (kw == Kw::Unknown)
            consumeSkip();
        return;
    case Kw::SkipDest:
    case Kw::NonShpPict:
        g.dest = Dest::Skip;
        return;
    case Kw::FontTbl:
        g.dest = Dest::FontTable;
        return;
    case Kw::ColorTbl:
        g.dest = Dest::ColourTable;
        colours_.clear();
        return;
    case Kw::Pict:
        if (g.dest != Dest::Text) {
            g.dest = Dest::Skip;
            return;
        }
        g.dest = Dest::Picture;
        g.owner = Owner::Picture;
        pict_ = Picture{};
        return;
    case Kw::Pn:
        g.dest = Dest::Numbering;
        g.owner = Owner::Numbering;
        pnKind_ = TBullet::Numbered;
        return;
    case Kw::ListTable:
        g.dest = Dest::ListTable;
        return;
    case Kw::ListOverrideTable:
        g.dest = Dest::ListOverrideTable;
        return;
    default:
        break;
    }

    switch (g.dest) {
    case Dest::FontTable:
        switch (kw) {
        case Kw::F:
            commitFont();
            fontEntry_ = std::max(0, param);
            if (g.owner == Owner::None && stack_.size() >= 2 && stack_[stack_.size() - 2].dest == Dest::FontTable)
                g.owner = Owner::FontEntry;
            break;
        case Kw::FCharset: fontPending_.charset = param; break;
        case Kw::U:
            if (fontEntry_ >= 0 && fontPending_.name.size() < 256)
                fontPending_.name.append(QChar(char16_t(uint16_t(param))));
            skip_ = g.uc;
            break;
        case Kw::Cpg: fontPending_.codePage = (param == 437 || param == 1252) ? param : 0; break;
        default: break;
        }
        return;
    case Dest::ColourTable:
        switch (kw) {
        case Kw::Red: red_ = std::clamp(param, 0, 255); colourSeen_ = true; break;
        case Kw::Green: green_ = std::clamp(param, 0, 255); colourSeen_ = true; break;
        case Kw::Blue: blue_ = std::clamp(param, 0, 255); colourSeen_ = true; break;
        default: break;
        }
        return;
    case Dest::Numbering:
        if (kw == Kw::PnLvlBlt)
            pnKind_ = TBullet::Bullet;
        return;
    case Dest::ListTable:
        switch (kw) {
        case Kw::List: curListId_ = 0; curListNfc_ = -1; listLevels_ = 0; break;
        case Kw::ListLevel: ++listLevels_; break;
        case Kw::LevelNfc:
            if (listLevels_ <= 1 && curListNfc_ < 0) {
                curListNfc_ = param;
                if (curListId_)
                    listNfc_[curListId_] = param;
            }
            break;
        case Kw::ListId:
            curListId_ = param;
            if (listNfc_.size() < 4096)
                listNfc_[param] = curListNfc_;
            break;
        default: break;
        }
        return;
    case Dest::ListOverrideTable:
        switch (kw) {
        case Kw::ListOverride: overrideListId_ = 0; break;
        case Kw::ListId: overrideListId_ = param; break;
        case Kw::Ls: {
            const auto l = listNfc_.find(overrideListId_);
            if (overrideNfc_.size() < 4096)
                overrideNfc_[param] = l == listNfc_.end() ? 23 : l->second;
            break;
        }
        default: break;
        }
        return;
    case Dest::Text:
        break;
    default:
        return;
    }

    // The body: text, paragraphs and tables.
    if (consumeSkip())
        return;
    CharState& ch = g.ch;
    ParaState& pa = g.pa;
    switch (kw) {
    case Kw::Deff: defaultFont_ = param; break;
    case Kw::AnsiCpg: docCodePage_ = param == 437 ? 437 : 1252; break;
    case Kw::Pc: docCodePage_ = 437; break;
    case Kw::Ansi: docCodePage_ = 1252; break;
    case Kw::PaperW: case Kw::PgWSxn: paperw_ = std::clamp(param, 0, kMaxTwips * 4); info.HasPageSettings = true; break;
    case Kw::PaperH: case Kw::PgHSxn: paperh_ = std::clamp(param, 0, kMaxTwips * 4); info.HasPageSettings = true; break;
    case Kw::MargL: case Kw::MargLSxn: info.Settings.MarginLeft = std::clamp(param, 0, kMaxTwips); info.HasPageSettings = true; break;
    case Kw::MargR: case Kw::MargRSxn: info.Settings.MarginRight = std::clamp(param, 0, kMaxTwips); info.HasPageSettings = true; break;
    case Kw::MargT: case Kw::MargTSxn: info.Settings.MarginTop = std::clamp(param, 0, kMaxTwips); info.HasPageSettings = true; break;
    case Kw::MargB: case Kw::MargBSxn: info.Settings.MarginBottom = std::clamp(param, 0, kMaxTwips); info.HasPageSettings = true; break;
    case Kw::Landscape: case Kw::LndscpSxn: landscape_ = true; info.HasPageSettings = true; break;
    case Kw::DefTab: info.Settings.DefaultTabWidth = std::clamp(param, 1, kMaxTwips); break;

    case Kw::F: ch.font = param; break;
    case Kw::Plain: ch = CharState{}; break;
    case Kw::B: ch.bold = on; break;
    case Kw::I: ch.italic = on; break;
    case Kw::Ul: ch.underline = on; break;
    case Kw::UlNone: ch.underline = false; break;
    case Kw::Strike: ch.strike = on; break;
    case Kw::V: ch.hidden = on; break;
    case Kw::Fs: ch.halfPoints = hasParam ? std::clamp(param, 2, 3276) : 24; break;
    case Kw::Cf: ch.colour = std::max(0, param); break;
    case Kw::Cb: case Kw::Highlight: ch.background = std::max(0, param); break;
    case Kw::U:
        appendChar(QChar(char16_t(uint16_t(param))));
        skip_ = g.uc;
        break;
    case Kw::Uc: g.uc = std::clamp(param, 0, 16); break;

    case Kw::Par: case Kw::Sect: endParagraph(); break;
    case Kw::Page: pageBreak(); break;
    case Kw::Line: appendChar(QChar(QChar::LineSeparator)); break;
    case Kw::Tab: appendChar(QLatin1Char('\t')); break;
    case Kw::EmDash: appendChar(QChar(0x2014)); break;
    case Kw::EnDash: appendChar(QChar(0x2013)); break;
    case Kw::Bullet: appendChar(QChar(0x2022)); break;
    case Kw::LQuote: appendChar(QChar(0x2018)); break;
    case Kw::RQuote: appendChar(QChar(0x2019)); break;
    case Kw::LDblQuote: appendChar(QChar(0x201C)); break;
    case Kw::RDblQuote: appendChar(QChar(0x201D)); break;
    case Kw::EmSpace: appendChar(QChar(0x2003)); break;
    case Kw::EnSpace: appendChar(QChar(0x2002)); break;
    case Kw::QmSpace: appendChar(QChar(0x2005)); break;

    case Kw::Pard: pa = ParaState{}; break;
    case Kw::Ql: pa.align = TAlign::Left; break;
    case Kw::Qc: pa.align = TAlign::Center; break;
    case Kw::Qr: pa.align = TAlign::Right; break;
    case Kw::Qj: pa.align = TAlign::Justify; break;
    case Kw::Li: pa.li = clampTwips(param); break;
    case Kw::Fi: pa.fi = clampTwips(param); break;
    case Kw::Ri: pa.ri = clampTwips(param); break;
    case Kw::Sb: pa.sb = std::clamp(param, 0, kMaxTwips); break;
    case Kw::Sa: pa.sa = std::clamp(param, 0, kMaxTwips); break;
    case Kw::Tqc: pa.nextTabKind = TTabKind::Center; break;
    case Kw::Tqr: pa.nextTabKind = TTabKind::Right; break;
    case Kw::Tqdec: pa.nextTabKind = TTabKind::Decimal; break;
    case Kw::Tx: case Kw::Tb:
        if (pa.tabs.size() < kMaxTabs && param > 0)
            pa.tabs.push_back(TRtfTab{std::min(param, kMaxTwips), pa.nextTabKind});
        pa.nextTabKind = TTabKind::Left;
        break;
    case Kw::Ls: {
        const auto o = overrideNfc_.find(param);
        const int nfc = o == overrideNfc_.end() ? 23 : o->second;
        pa.bullet = (nfc == 23 || nfc == 255 || nfc < 0) ? TBullet::Bullet : TBullet::Numbered;
        break;
    }

    case Kw::Intbl: pa.inTable = true; break;
    case Kw::Cell: endCell(); break;
    case Kw::NestCell: endParagraph(true); break;
    case Kw::Row: endRow(); break;
    case Kw::Trowd:
        rowDef_ = TRtfRowFormat{};
        cellDef_ = TRtfCellFormat{};
        borderTarget_ = BorderTarget::None;
        break;
    case Kw::Cellx:
        if (rowDef_.Cells.size() < kMaxCells) {
            cellDef_.RightEdge = std::clamp(param, -MaxCellEdge, MaxCellEdge);
            rowDef_.Cells.push_back(cellDef_);
        }
        cellDef_ = TRtfCellFormat{};
        borderTarget_ = BorderTarget::None;
        break;
    case Kw::Trgaph: rowDef_.CellGap = std::clamp(param, 0, 1440); break;
    case Kw::Trleft: rowDef_.LeftEdge = std::clamp(param, -MaxCellEdge, MaxCellEdge); break;
    case Kw::Trql: rowDef_.RowAlign = TAlign::Left; break;
    case Kw::Trqc: rowDef_.RowAlign = TAlign::Center; break;
    case Kw::Trqr: rowDef_.RowAlign = TAlign::Right; break;
    case Kw::Trrh: rowDef_.Height = clampTwips(param); break;
    case Kw::Trhdr: rowDef_.Header = true; break;
    case Kw::ClBrdrT: borderTarget_ = BorderTarget::CellT; break;
    case Kw::ClBrdrL: borderTarget_ = BorderTarget::CellL; break;
    case Kw::ClBrdrB: borderTarget_ = BorderTarget::CellB; break;
    case Kw::ClBrdrR: borderTarget_ = BorderTarget::CellR; break;
    case Kw::TrBrdrT: borderTarget_ = BorderTarget::RowT; break;
    case Kw::TrBrdrL: borderTarget_ = BorderTarget::RowL; break;
    case Kw::TrBrdrB: borderTarget_ = BorderTarget::RowB; break;
    case Kw::TrBrdrR: borderTarget_ = BorderTarget::RowR; break;
    case Kw::TrBrdrV: borderTarget_ = BorderTarget::RowV; break;
    case Kw::OtherBorder: borderTarget_ = BorderTarget::None; break;
    case Kw::BrdrLine:
    case Kw::BrdrDb:
        if (TRtfBorder* b = borderTarget()) {
            if (b->Width == 0)
                b->Width = 10;
            b->Double = kw == Kw::BrdrDb;
        }
        break;
    case Kw::BrdrNone:
        if (TRtfBorder* b = borderTarget())
            *b = TRtfBorder{};
        borderTarget_ = BorderTarget::None;
        break;
    case Kw::BrdrW:
        if (TRtfBorder* b = borderTarget())
            b->Width = std::clamp(param, 0, 255);
        break;
    case Kw::BrdrCf:
        if (TRtfBorder* b = borderTarget())
            b->Colour = std::max(0, param);
        break;
    case Kw::ClVertAlT: cellDef_.VAlign = TVAlign::Top; break;
    case Kw::ClVertAlC: cellDef_.VAlign = TVAlign::Center; break;
    case Kw::ClVertAlB: cellDef_.VAlign = TVAlign::Bottom; break;
    case Kw::ClCbPat: cellDef_.Shading = std::max(0, param); break;
    default: break;
    }
}

void Reader::finishPicture()
{
    QImage image;
    if (pict_.kind == Picture::Png || pict_.kind == Picture::Jpeg) {
        // The size first: a few bytes of compressed picture may decode to
        // gigabytes.
        QBuffer buffer(&pict_.data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, pict_.kind == Picture::Png ? "PNG" : "JPG");
        const QSize size = reader.size();
        const qint64 pixels = size.isValid() ? qint64(size.width()) * size.height() : 0;
        if (pixels > MaxPicturePixels - pixels_) {
            refuse(QStringLiteral("Bildpunkte in Bildern"), MaxPicturePixels, MaxPicturePixels);
            return;
        }
        if (pixels > 0) {
            pixels_ += pixels;
            reader.read(&image);
        }
    }
    if (image.isNull()) {
        ++info.DroppedPictures;
        return;
    }
    // The shown size: the goal in twips (scaled), else the picture's own.
    const auto toPixels = [](int goal, int scale, int own) {
        double px = goal > 0 ? goal / 15.0 : own;
        if (scale > 0 && scale != 100)
            px = px * std::min(scale, 10000) / 100.0;
        return std::clamp(px, 1.0, double(kMaxTwips) / 15.0);
    };
    const QSizeF size(toPixels(pict_.goalw, pict_.scalex, image.width()),
                      toPixels(pict_.goalh, pict_.scaley, image.height()));
    // The picture's group lies inside the paragraph's group: its state below.
    const CharState ch = stack_.size() >= 2 ? stack_[stack_.size() - 2].ch : top().ch;
    para_.pieces.push_back(Piece{ch, QString(), image, size});
}

void Reader::endParagraph(bool forceTable)
{
    if (stack_.empty())
        return;
    countParagraph();
    if (!info.Refusal.isEmpty())
        return;
    Para p = std::move(para_);
    para_ = Para{};
    p.ps = top().pa;
    p.endChar = top().ch;
    if (p.ps.inTable || forceTable) {
        if (cell_.size() < 100000)
            cell_.push_back(std::move(p));
        return;
    }
    flushPendingRow();
    flushTable();
    insertBodyParagraph(p);
}

void Reader::pageBreak()
{
    if (top().pa.inTable) {
        endParagraph();
        return;
    }
    if (para_.hasContent())
        endParagraph();
    flushPendingRow();
    flushTable();
    pendingPageBreak_ = true;
}

void Reader::endCell()
{
    // What stands between the last \par and \cell is the cell's last
    // paragraph, also when it is empty.
    endParagraph(true);
    if (rowCells_.size() < kMaxCells) {
        rowCells_.push_back(std::move(cell_));
    } else {
        for (Para& p : cell_)
            rowCells_.back().push_back(std::move(p));
    }
    cell_.clear();
}

void Reader::endRow()
{
    if (para_.hasContent() || !cell_.empty())
        endCell();
    if (rowCells_.empty())
        return;
    if (tableRows_.empty()) {
        tablePageBreak_ = pendingPageBreak_;
        pendingPageBreak_ = false;
    }
    cells_ += qint64(std::min(std::max(rowCells_.size(), rowDef_.Cells.size()), kMaxCells));
    if (cells_ > MaxDocumentCells) {
        refuse(QStringLiteral("Tabellenzellen"), MaxDocumentCells, MaxDocumentCells);
        rowCells_.clear();
        tableRows_.clear();
        return;
    }
    tableRows_.push_back(PendingRow{rowDef_, std::move(rowCells_)});
    rowCells_.clear();
}

void Reader::flushPendingRow()
{
    if (!cell_.empty() || !rowCells_.empty())
        endRow();
}

// ---- Building the document ----------------------------------------------------------

QColor Reader::colour(int index) const
{
    if (index <= 0 || index >= int(colours_.size()))
        return QColor();
    return colours_[std::size_t(index)];
}

QTextCharFormat Reader::charFormat(const CharState& ch)
{
    if (haveLastChar_ && ch == lastChar_)
        return lastCharFormat_;
    QTextCharFormat f;
    const auto font = fonts_.find(ch.font < 0 ? defaultFont_ : ch.font);
    if (font != fonts_.end()) {
        if (!font->second.name.isEmpty())
            f.setFontFamilies({font->second.name});
        if (font->second.charset == CharsetOem)
            f.setProperty(FontCharsetProperty, CharsetOem);
    }
    f.setFontPointSize(ch.halfPoints / 2.0);
    f.setFontWeight(ch.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(ch.italic);
    f.setFontUnderline(ch.underline);
    f.setFontStrikeOut(ch.strike);
    if (const QColor c = colour(ch.colour); c.isValid())
        f.setForeground(c);
    if (const QColor c = colour(ch.background); c.isValid())
        f.setBackground(c);
    lastChar_ = ch;
    lastCharFormat_ = f;
    haveLastChar_ = true;
    return f;
}

QTextBlockFormat Reader::blockFormat(const ParaState& ps, bool pageBreak)
{
    QTextBlockFormat f;
    switch (ps.align) {
    case TAlign::Left: f.setAlignment(Qt::AlignLeft); break;
    case TAlign::Center: f.setAlignment(Qt::AlignHCenter); break;
    case TAlign::Right: f.setAlignment(Qt::AlignRight); break;
    case TAlign::Justify: f.setAlignment(Qt::AlignJustify); break;
    }
    double left = ps.li / 15.0;
    double first = ps.fi / 15.0;
    if (ps.bullet != TBullet::None) {
        // The list's own indent holds the bullet; the hanging first line is its room.
        left = std::max(0.0, left - doc_->indentWidth());
        first = 0;
    }
    f.setLeftMargin(left);
    f.setTextIndent(first);
    f.setRightMargin(ps.ri / 15.0);
    f.setTopMargin(ps.sb / 15.0);
    f.setBottomMargin(ps.sa / 15.0);
    if (!ps.tabs.empty()) {
        QList<QTextOption::Tab> tabs;
        for (const TRtfTab& t : ps.tabs) {
            QTextOption::TabType type = QTextOption::LeftTab;
            QChar delim;
            switch (t.Kind) {
            case TTabKind::Left: break;
            case TTabKind::Center: type = QTextOption::CenterTab; break;
            case TTabKind::Right: type = QTextOption::RightTab; break;
            case TTabKind::Decimal: type = QTextOption::DelimiterTab; delim = QLatin1Char(','); break;
            }
            tabs.append(QTextOption::Tab(t.Position / 15.0, type, delim));
        }
        f.setTabPositions(tabs);
    }
    if (pageBreak)
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    return f;
}

void Reader::insertParagraph(QTextCursor& c, const Para& p, bool useCurrentBlock, bool pageBreak, ListTrack& lists)
{
    const QTextBlockFormat bf = blockFormat(p.ps, pageBreak);
    const QTextCharFormat endFormat = charFormat(p.endChar);
    if (useCurrentBlock) {
        c.setBlockFormat(bf);
        // The first block of a table cell keeps the cell's format in its
        // block character format: that one must not be replaced.
        if (!c.currentTable())
            c.setBlockCharFormat(endFormat);
    } else {
        c.insertBlock(bf, endFormat);
    }
    for (const Piece& piece : p.pieces) {
        if (!piece.image.isNull()) {
            const QString name = QStringLiteral("rtfimage:%1").arg(++imageCount_);
            doc_->addResource(QTextDocument::ImageResource, QUrl(name), piece.image);
            QTextImageFormat img;
            img.merge(charFormat(piece.ch));
            img.setName(name);
            img.setWidth(piece.imageSize.width());
            img.setHeight(piece.imageSize.height());
            c.insertImage(img);
        } else if (!piece.text.isEmpty()) {
            c.insertText(piece.text, charFormat(piece.ch));
        }
    }
    if (p.ps.bullet == TBullet::None) {
        lists.list = nullptr;
        return;
    }
    const int number = c.block().blockNumber();
    if (lists.list && lists.kind == p.ps.bullet && lists.lastBlock == number - 1) {
        lists.list->add(c.block());
    } else {
        QTextListFormat lf;
        lf.setStyle(p.ps.bullet == TBullet::Bullet ? QTextListFormat::ListDisc : QTextListFormat::ListDecimal);
        lf.setIndent(1);
        lists.list = c.createList(lf);
        lists.kind = p.ps.bullet;
    }
    lists.lastBlock = number;
}

void Reader::insertBodyParagraph(const Para& p)
{
    const bool pageBreak = pendingPageBreak_;
    pendingPageBreak_ = false;
    insertParagraph(cursor_, p, freshBlock_, pageBreak, bodyLists_);
    freshBlock_ = false;
}

QTextTableCellFormat Reader::cellFormat(const TRtfCellFormat& def) const
{
    QTextTableCellFormat f;
    const auto border = [this](const TRtfBorder& b, auto setWidth, auto setStyle, auto setBrush) {
        setWidth(b.Width / 15.0);
        setStyle(b.Width <= 0 ? QTextFrameFormat::BorderStyle_None
                              : (b.Double ? QTextFrameFormat::BorderStyle_Double : QTextFrameFormat::BorderStyle_Solid));
        const QColor c = colour(b.Colour);
        setBrush(QBrush(c.isValid() ? c : QColor(Qt::black)));
    };
    border(def.Top, [&](qreal w) { f.setTopBorder(w); }, [&](auto s) { f.setTopBorderStyle(s); },
           [&](const QBrush& b) { f.setTopBorderBrush(b); });
    border(def.Left, [&](qreal w) { f.setLeftBorder(w); }, [&](auto s) { f.setLeftBorderStyle(s); },
           [&](const QBrush& b) { f.setLeftBorderBrush(b); });
    border(def.Bottom, [&](qreal w) { f.setBottomBorder(w); }, [&](auto s) { f.setBottomBorderStyle(s); },
           [&](const QBrush& b) { f.setBottomBorderBrush(b); });
    border(def.Right, [&](qreal w) { f.setRightBorder(w); }, [&](auto s) { f.setRightBorderStyle(s); },
           [&](const QBrush& b) { f.setRightBorderBrush(b); });
    switch (def.VAlign) {
    case TVAlign::Top: break;   // the cells' own way
    case TVAlign::Center: f.setVerticalAlignment(QTextCharFormat::AlignMiddle); break;
    case TVAlign::Bottom: f.setVerticalAlignment(QTextCharFormat::AlignBottom); break;
    }
    if (const QColor c = colour(def.Shading); c.isValid())
        f.setBackground(c);
    return f;
}

void Reader::flushTable()
{
    if (tableRows_.empty())
        return;
    std::size_t widest = 1;
    for (const PendingRow& r : tableRows_)
        widest = std::max({widest, r.cells.size(), r.def.Cells.size()});
    const int n = int(std::min(widest, kMaxCells));
    const int rows = int(tableRows_.size());
    const TRtfRowFormat& def = tableRows_.front().def;

    QTextTableFormat tf;
    tf.setBorderCollapse(true);
    tf.setCellSpacing(0);
    tf.setCellPadding(def.CellGap / 15.0);
    const TRtfBorder& frame = def.FrameTop.Width > 0 ? def.FrameTop
                              : def.FrameLeft.Width > 0 ? def.FrameLeft
                              : def.FrameBottom.Width > 0 ? def.FrameBottom : def.FrameRight;
    if (frame.Width > 0) {
        tf.setBorder(frame.Width / 15.0);
        tf.setBorderStyle(frame.Double ? QTextFrameFormat::BorderStyle_Double : QTextFrameFormat::BorderStyle_Solid);
        const QColor c = colour(frame.Colour);
        tf.setBorderBrush(QBrush(c.isValid() ? c : QColor(Qt::black)));
    } else {
        tf.setBorder(0);
        tf.setBorderStyle(QTextFrameFormat::BorderStyle_None);
    }
    switch (def.RowAlign) {
    case TAlign::Center: tf.setAlignment(Qt::AlignHCenter); break;
    case TAlign::Right: tf.setAlignment(Qt::AlignRight); break;
    default: tf.setAlignment(Qt::AlignLeft); break;
    }
    int headers = 0;
    while (headers < rows && tableRows_[std::size_t(headers)].def.Header)
        ++headers;
    if (headers > 0)
        tf.setHeaderRowCount(headers);
    // Column widths from the row that defines the most cells.
    const TRtfRowFormat* widestDef = &def;
    for (const PendingRow& r : tableRows_)
        if (r.def.Cells.size() > widestDef->Cells.size())
            widestDef = &r.def;
    QList<QTextLength> widths;
    int left = widestDef->LeftEdge;
    bool fixed = !widestDef->Cells.empty();
    for (const TRtfCellFormat& c : widestDef->Cells) {
        const int w = c.RightEdge - left;
        if (w <= 0)
            fixed = false;
        widths.append(QTextLength(QTextLength::FixedLength, std::min(w, MaxColumnTwips) / 15.0));
        left = c.RightEdge;
    }
    if (fixed && widths.size() == n)
        tf.setColumnWidthConstraints(widths);
    if (tablePageBreak_)
        tf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    tablePageBreak_ = false;

    // The table goes at the end, after whatever came before; the empty block
    // Qt keeps behind it takes the next paragraph.
    cursor_.movePosition(QTextCursor::End);
    QTextTable* table = cursor_.insertTable(rows, n, tf);
    for (int r = 0; r < rows; ++r) {
        PendingRow& row = tableRows_[std::size_t(r)];
        for (int i = 0; i < n; ++i) {
            QTextTableCell cell = table->cellAt(r, i);
            if (!cell.isValid())
                continue;
            cell.setFormat(cellFormat(i < int(row.def.Cells.size()) ? row.def.Cells[std::size_t(i)] : TRtfCellFormat{}));
            if (i >= int(row.cells.size()))
                continue;
            QTextCursor c = cell.firstCursorPosition();
            ListTrack lists;
            bool first = true;
            for (const Para& p : row.cells[std::size_t(i)]) {
                insertParagraph(c, p, first, false, lists);
                first = false;
            }
        }
    }
    tableRows_.clear();
    cursor_.movePosition(QTextCursor::End);
    freshBlock_ = true;
    bodyLists_.list = nullptr;
}

} // namespace

bool LooksLikeRtf(const QByteArray& data)
{
    qsizetype i = 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.mid(i, 5) == "{\\rtf";
}

QChar Cp437ToUnicode(unsigned char byte)
{
    return byte < 0x80 ? QChar(byte) : QChar(kCp437High[byte - 0x80]);
}

bool ReadRtf(const QByteArray& data, QTextDocument* document, TRtfReadInfo* info)
{
    if (!document || !LooksLikeRtf(data))
        return false;
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    Reader reader(data, document);
    bool refused = false;
    {
        // Without a layout, and without telling the views, while the text
        // goes in: a layout would lay a whole table out again for every
        // piece put into one of its cells, and a view would follow every
        // step. The views learn of the whole text with the new layout below.
        const QSignalBlocker quiet(document);
        document->setDocumentLayout(nullptr);
        reader.run();
        refused = !reader.info.Refusal.isEmpty();
        if (refused)
            document->clear();
    }
    document->setUndoRedoEnabled(undo);
    // A fresh layout for the whole text (QTextDocument makes it on demand,
    // and tells its views).
    document->documentLayout();
    if (info) {
        *info = reader.info;
    }
    return !refused;
}

bool LoadRtfFile(const QString& fileName, QTextDocument* document, TRtfReadInfo* info)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return ReadRtf(f.readAll(), document, info);
}

} // namespace rtf
