#pragma once

#include "formats/RtfDocument.h"

#include <QByteArray>
#include <QFont>
#include <QString>

#include <array>

namespace tavi {

constexpr int kDayBoxCount = 6;

// The font of a day box: text without a format of its own is written in it.
QFont dayNoteFont();

// One day's note as a value: the bytes the notes database holds for it. The
// program writes RTF as the day box writes it; older or damaged rows may hold
// something that is not RTF, which is read as GBK plain text.
class DayNote {
public:
    DayNote() = default;
    explicit DayNote(QByteArray stored) : stored_(std::move(stored)) {}
    // Text as the day box would store it after the user typed it.
    static DayNote fromDocument(const RtfDocument &document);
    static DayNote fromPlainText(const QString &text);

    const QByteArray &stored() const { return stored_; }
    // The rich text the stored bytes hold.
    RtfDocument document() const;
    // The text as the day box shows it, paragraph and line breaks as CR LF.
    QString plainText() const;

    friend bool operator==(const DayNote &, const DayNote &) = default;

private:
    QByteArray stored_;
};

// A week's six notes, Monday to Saturday-with-Sunday, and their texts.
using WeekNote = std::array<DayNote, kDayBoxCount>;
using WeekTexts = std::array<QString, kDayBoxCount>;

// Each day's plain text.
WeekTexts plainTexts(const WeekNote &week);

// Each day's document, the six read side by side on threads of their own: a
// week of long notes shows in a fraction of the time.
std::array<RtfDocument, kDayBoxCount> documents(const WeekNote &week);

} // namespace tavi
