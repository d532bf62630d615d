#include "reports/RichPreviewLogic.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <memory>

namespace reports {

QRect FitPreviewImage(int sizeIndex, int clientWidth, int clientHeight, int boxWidth, bool landscape,
                      bool resizing)
{
    const double root2 = std::sqrt(2.0);
    if (sizeIndex == psWholePage) {
        const int h = std::max(1, clientHeight);
        const int w = std::max(1, int(std::lround(landscape ? h * root2 : h / root2)));
        return QRect((boxWidth - w) / 2, 0, w, h);
    }
    int w = std::max(1, clientWidth);
    const int h = std::max(1, int(std::lround(landscape ? w / root2 : w * root2)));
    if (!resizing)
        w = std::max(1, w - 16);
    return QRect(0, 0, w, h);
}

QString PreviewStatusText(int currentIndex, int lastIndex)
{
    return QStringLiteral("Seite %1 von %2").arg(currentIndex + 1).arg(lastIndex + 1) + QString(10, QLatin1Char(' '));
}

int PreviewPrevIndex(int currentIndex, int lastIndex)
{
    return std::max(0, std::min(currentIndex, lastIndex) - 1);
}

int PreviewNextIndex(int currentIndex, int lastIndex)
{
    return std::min(currentIndex + 1, std::max(0, lastIndex));
}

QString PreviewFolder()
{
    static std::unique_ptr<QTemporaryDir> folder;
    if (!folder || !folder->isValid())
        folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/valdran-preview-XXXXXX"));
    return folder->isValid() ? folder->path() + QLatin1Char('/') : QString();
}

QString PreviewPageFile(int index)
{
    return PreviewFolder() + QStringLiteral("PreviewMetafile") + QString::number(index);
}

} // namespace reports
