#include "formats/IncrementalRtfWriter.h"
#include "formats/RichTextConversion.h"
#include "formats/RtfWriter.h"

#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <random>

using namespace tavi;

// After every kind of edit a user can make, in random order, the kept RTF is
// byte for byte what writing the whole document gives.
TEST(IncrementalRtfWriter, EveryEditGivesTheBytesOfTheWholeDocument)
{
    QFont base(QStringLiteral("宋体"));
    base.setPixelSize(15);
    QTextDocument document;
    IncrementalRtfWriter kept(&document, base);
    const QString pieces[] = {QStringLiteral("周一开会"), QStringLiteral("abc "), QStringLiteral("\n"),
                              QStringLiteral("a\nb"),    QStringLiteral("\t√×"), QString(QChar(0x2028)),
                              QStringLiteral("한\U0001F4A9")};
    const QColor colours[] = {Qt::red, Qt::blue, QColor(0, 128, 0)};
    std::mt19937 random(11);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };

    for (int step = 0; step < 600; ++step) {
        QTextCursor cursor(&document);
        const int length = document.characterCount() - 1;
        cursor.setPosition(pick(length + 1));
        switch (pick(7)) {
        case 0:
        case 1: // typing
            cursor.insertText(pieces[pick(7)]);
            break;
        case 2: { // deleting a stretch, paragraph breaks included
            cursor.setPosition(std::min(length, cursor.position() + pick(12)), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            break;
        }
        case 3: { // colouring or emboldening a stretch
            cursor.setPosition(std::min(length, cursor.position() + pick(20)), QTextCursor::KeepAnchor);
            QTextCharFormat format;
            if (pick(2))
                format.setForeground(colours[pick(3)]);
            else
                format.setFontWeight(pick(2) ? QFont::Bold : QFont::Normal);
            cursor.mergeCharFormat(format);
            break;
        }
        case 4: // typing in a new format
            cursor.insertText(pieces[pick(7)], [&] {
                QTextCharFormat format;
                format.setForeground(colours[pick(3)]);
                format.setFontItalic(pick(2));
                if (pick(3) == 0)
                    format.setFontFamilies({QStringLiteral("Arial")});
                return format;
            }());
            break;
        case 5:
            if (document.isUndoAvailable())
                document.undo();
            break;
        case 6:
            if (pick(10) == 0)
                document.clear();
            else if (document.isRedoAvailable())
                document.redo();
            break;
        }
        if (pick(4) == 0 && step % 2 == 0)
            continue; // some edits pile up before the next save
        ASSERT_EQ(kept.rtf().toStdString(), writeRtf(rtfDocumentOf(document, base)).toStdString()) << "after step " << step;
    }

    // A new base font writes unformatted text anew.
    base.setPixelSize(20);
    kept.setBaseFont(base);
    EXPECT_EQ(kept.rtf().toStdString(), writeRtf(rtfDocumentOf(document, base)).toStdString());
}
