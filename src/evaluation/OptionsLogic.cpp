#include "evaluation/OptionsLogic.h"

#include "base/ZT_Meld.h"
#include "base/ZT_Tools.h"
#include "evaluation/HeadTemplate.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace options {

TOptionsEffect CompareSettings(const TEinstellungen& before, const TEinstellungen& after)
{
    const bool sameDirectory = AppendBackslash(before.ArchivPfad) == AppendBackslash(after.ArchivPfad);
    if (sameDirectory && before.DateiMaske == after.DateiMaske && before.ArcDesc == after.ArcDesc
        && before.GerKan == after.GerKan)
        return TOptionsEffect::Refill;
    return TOptionsEffect::Rescan;
}

QString AcceptTypedDirectory(const QString& typed, const QString& accepted)
{
    if (typed == accepted || typed.isEmpty())
        return accepted;
    const QFileInfo info(typed);
    if (!info.isDir())
        return accepted;
    // A relative name would depend on the current directory, which the
    // program changes; keep the directory it names now.
    const QString path = info.isRelative() ? QDir(typed).absolutePath() : typed;
    return AppendBackslash(path);
}

QString LimitTypedText(const QString& before, const QString& after, int limit, bool upperCase)
{
    // The unchanged head and tail tell where the edit inserted its characters.
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;

    QString inserted = after.mid(head, after.size() - head - tail);
    if (upperCase)
        inserted = UpperCaseShort(inserted);
    const qsizetype kept = after.size() - inserted.size();
    const qsizetype capacity = std::max<qsizetype>(limit, before.size());
    if (kept + inserted.size() > capacity)
        inserted.truncate(std::max<qsizetype>(0, capacity - kept));
    return after.left(head) + inserted + after.right(tail);
}

QStringList TemplateLinesForMemo(const QString& fileName, const THeadTemplate& inMemory, bool* fromFile)
{
    THeadTemplate fromDisk;
    const bool loaded = !fileName.isEmpty() && fromDisk.LoadHeadTemplateFile(fileName);
    if (fromFile)
        *fromFile = loaded;
    return loaded ? fromDisk.Lines() : inMemory.Lines();
}

QStringList MemoTextToLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    return text.split(QLatin1Char('\n'));
}

QString LinesToMemoText(const QStringList& lines)
{
    return lines.join(QLatin1Char('\n'));
}

bool StoreTemplateFromMemo(const QStringList& memoLines, const QString& fileName, THeadTemplate& headTemplate)
{
    THeadTemplate written;
    written.SetLines(memoLines);
    if (!fileName.isEmpty() && written.SaveHeadTemplateFile(fileName))
        return true;
    ShowMessageNr(fileName, WriteErrorMessage);
    headTemplate.SetLines(memoLines);
    return false;
}

} // namespace options
