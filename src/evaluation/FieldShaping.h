#pragma once
// How an archive field becomes the text of a formatted number cell (numbers
// formatted, the column has a unit): ',' becomes '.', trailing zeros of a
// fraction and a bare point go, a whole number gets ".0", leading zeros go,
// and blanks in front make it 8 characters. A field ending in ':' after its
// zeros went loses the ':' and is left as it stands otherwise.
#include <QStringView>

// Room the text of a field of size characters needs.
constexpr qsizetype ShapedFieldCapacity(qsizetype size)
{
    return size + 10;
}

// Any field: writes its text into out and answers its length.
qsizetype ShapeNumberField(QStringView field, char16_t* out);

// The common field, digits with at most one separator ('.' or ','), 1 to 15
// digits: the same text as ShapeNumberField, written more directly, and the
// number the text reads as (-9999 when it is blanks alone). False, with
// nothing written, for any other field. before: how many characters of the
// same text stand in front of the field (they may be read, never changed).
bool TryShapePlainNumberField(QStringView field, qsizetype before, char16_t* out, qsizetype& size,
                              double& number);
