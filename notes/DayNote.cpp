#include "notes/DayNote.h"

#include "formats/RichTextConversion.h"
#include "formats/RtfReader.h"
#include "formats/RtfWriter.h"
#include "formats/TextCodec.h"

#include <QTextDocument>

#include <future>

namespace tavi {

QFont dayNoteFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(15);
    return font;
}

DayNote DayNote::fromDocument(const RtfDocument &document)
{
    // Through Qt's document, as the day box holds it: the same runs, merged and formatted the same way.
    QTextDocument text;
    setRtfDocument(text, document);
    return DayNote(writeRtf(rtfDocumentOf(text, dayNoteFont())));
}

DayNote DayNote::fromPlainText(const QString &text)
{
    return fromDocument(plainTextDocument(text));
}

RtfDocument DayNote::document() const
{
    if (looksLikeRtf(stored_)) {
        try {
            return readRtf(stored_);
        } catch (const ParseError &) {
            // not RTF after all: read the same bytes as plain text below
        }
    }
    return plainTextDocument(decodeGbk(stored_));
}

QString DayNote::plainText() const
{
    QTextDocument text;
    setRtfDocument(text, document());
    return plainTextCrLf(text);
}

std::array<RtfDocument, kDayBoxCount> documents(const WeekNote &week)
{
    std::array<std::future<RtfDocument>, kDayBoxCount> reading;
    for (int day = 1; day < kDayBoxCount; ++day)
        reading[day] = std::async(std::launch::async, [&week, day] { return week[day].document(); });
    std::array<RtfDocument, kDayBoxCount> result;
    result[0] = week[0].document();
    for (int day = 1; day < kDayBoxCount; ++day)
        result[day] = reading[day].get();
    return result;
}

WeekTexts plainTexts(const WeekNote &week)
{
    WeekTexts texts;
    for (int day = 0; day < kDayBoxCount; ++day)
        texts[day] = week[day].plainText();
    return texts;
}

} // namespace tavi
