#pragma once

#include "widgets/RichEdit.h"

#include <QColor>
#include <QTextCursor>

namespace tavi::test {

// The text colour of the character at position in the box.
inline QColor colourAt(const RichEdit &box, int position)
{
    QTextCursor cursor(box.document());
    cursor.setPosition(position + 1); // the format of the character before the cursor
    return cursor.charFormat().foreground().color();
}

} // namespace tavi::test
