// The XLSX writer on cell texts of any kind. The sheet's XML must be a
// well-formed XML 1.0 document in UTF-8, read strictly; it must hold every
// row and every cell, and each text cell must read back (its "_xHHHH_"
// escapes read as the file format says) as its text with the characters XML
// cannot hold as U+FFFD.
//
// Input: one byte of switches, then a table of cells (fuzzsupport::CellTable)
// written from A1 on; with switch 1 a cell holding only digits goes in as a
// number.
#include "FuzzSupport.h"

#include "platform/FileChars.h"
#include "reports/Workbook.h"
#include "reports/XlsxFile.h"

#include <QFile>
#include <QXmlStreamReader>

#include <vector>

namespace {

constexpr const char* Target = "xlsx file";

[[noreturn]] void Fail(const char* what, const QString& detail = QString())
{
    fuzzsupport::Fail(Target, what, detail);
}

bool AllDigits(const QString& text)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// A text of the sheet with its "_xHHHH_" escapes read.
QString Unescape(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('_') && i + 6 < text.size() && text[i + 1] == QLatin1Char('x')
            && text[i + 6] == QLatin1Char('_')) {
            bool ok = true;
            for (qsizetype k = i + 2; k < i + 6; ++k)
                ok = ok && QStringLiteral("0123456789abcdefABCDEF").contains(text[k]);
            if (ok) {
                const uint code = text.mid(i + 2, 4).toUInt(nullptr, 16);
                out.append(QChar(char16_t(code)));
                i += 6;
                continue;
            }
        }
        out.append(text[i]);
    }
    return out;
}

struct TCellRead {
    QString Ref;
    QString Text;
    bool IsText = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzzsupport::EnsureApplication();
    fuzzsupport::Input in(data, size);
    const uint8_t switches = in.Byte();
    const std::vector<QStringList> table = fuzzsupport::CellTable(in.Rest(), 40, 12);

    reports::TWorkbook book;
    reports::TWorksheet& sheet = book.Sheet(0);
    struct TWritten {
        int Row;
        int Col;
        QString Text;
        bool Number;
    };
    std::vector<TWritten> written;
    for (int r = 0; r < int(table.size()); ++r)
        for (int c = 0; c < int(table[std::size_t(r)].size()); ++c) {
            const QString& text = table[std::size_t(r)][c];
            if (text.isEmpty())
                continue;
            const bool number = (switches & 1) != 0 && AllDigits(text);
            if (number)
                sheet.SetNumber(r, c, text.toDouble());
            else
                sheet.SetText(r, c, text);
            written.push_back({r, c, text, number});
        }

    const QString file = fuzzsupport::ScratchDirectory() + QStringLiteral("book.xlsx");
    QFile::remove(file);
    QString error;
    if (!reports::WriteXlsxFile(book, file, &error))
        Fail("the file was not written", error);
    QByteArray xml;
    if (!fuzzsupport::ZipEntry(fuzzsupport::ReadFile(file), "xl/worksheets/sheet1.xml", &xml))
        Fail("the sheet cannot be taken from the file");
    if (!fuzzsupport::WellFormedXml(xml, &error))
        Fail("the sheet is no well-formed XML", error);

    // Every cell, in order, with its text.
    std::vector<TCellRead> cells;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("c")) {
            TCellRead cell;
            cell.Ref = reader.attributes().value(QLatin1String("r")).toString();
            cell.IsText = reader.attributes().value(QLatin1String("t")) == QLatin1String("inlineStr");
            cells.push_back(cell);
        } else if (reader.name() == QLatin1String("t") && !cells.empty()) {
            cells.back().Text = reader.readElementText();
        } else if (reader.name() == QLatin1String("v") && !cells.empty()) {
            cells.back().Text = reader.readElementText();
        }
    }
    if (cells.size() != written.size())
        Fail("cells lost or added", QStringLiteral("%1 of %2").arg(cells.size()).arg(written.size()));
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const TWritten& w = written[k];
        QString ref;
        for (int col = w.Col + 1; col > 0; col = (col - 1) / 26)
            ref.prepend(QChar(u'A' + (col - 1) % 26));
        ref += QString::number(w.Row + 1);
        if (cells[k].Ref != ref)
            Fail("a cell in the wrong place", cells[k].Ref + QLatin1String(" for ") + ref);
        if (w.Number) {
            if (cells[k].IsText || cells[k].Text.toDouble() != w.Text.toDouble())
                Fail("a number reads back otherwise", w.Text);
            continue;
        }
        // The sheet keeps at most 32,767 characters of a text.
        const QString expected = platform::HoldableText(sheet.TextAt(w.Row, w.Col), platform::XmlCanHold);
        if (!cells[k].IsText || Unescape(cells[k].Text) != expected)
            Fail("a text reads back otherwise", cells[k].Text);
    }
    return 0;
}
