#pragma once
// Cell texts with one character of every class that some file format cannot
// hold, for the tests that write them through each writer and read the files
// back.
#include <QString>
#include <vector>

namespace testsupport {

struct THostileChar {
    const char* Name;    // for failure messages
    QString Char;        // the character (two units for a code point beyond the basic plane)
    bool XmlForbidden;   // XML 1.0 has no place for it (NUL included)
};

// NUL, C0 controls, DEL, C1 controls, noncharacters and lone surrogates.
const std::vector<THostileChar>& HostileChars();

// The cell text of row i: "a<i>" + the character + "b<i>", so a reader that
// cuts at it loses "b<i>" and one that drops it joins the two halves.
QString HostileCell(int i);
// What a reader must see of that cell when the character was replaced.
QString ReplacedCell(int i);

} // namespace testsupport
