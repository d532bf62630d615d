#pragma once
// What the rich-text preview window computes without widgets: the fitting of
// a page into the client area (the paper taken as an A-series sheet, sides in
// the ratio of the square root of 2), the status text, paging through the
// pages, and the private folder that holds the page files.
#include <QRect>
#include <QString>

namespace reports {

enum TPreviewSize : int { psWholePage = 0, psPageWidth = 1 };

// Image rectangle in the scroll box: whole page fits the client height and is
// centred in the box width; page width fills the client width (16 pixels
// narrower except while resizing, to leave room for the scroll bar).
QRect FitPreviewImage(int sizeIndex, int clientWidth, int clientHeight, int boxWidth, bool landscape,
                      bool resizing);

// "Seite x von y" and ten blanks.
QString PreviewStatusText(int currentIndex, int lastIndex);

int PreviewPrevIndex(int currentIndex, int lastIndex);
int PreviewNextIndex(int currentIndex, int lastIndex);

// The page file of index: "PreviewMetafile" and the index in a folder of
// this program run of its own (made on first use, mode 0700, removed at exit).
QString PreviewPageFile(int index);
QString PreviewFolder();

} // namespace reports
