#pragma once

#include <QColor>
#include <QString>

#include <vector>

// The content of a rich-text box as the RTF reader and writer see it: runs of
// characters that share one character format. A paragraph break is the
// character '\n' at the end of a run's text; a line break inside a paragraph
// is U+2028.
namespace tavi {

struct RtfCharFormat {
    QColor color;         // invalid: the automatic (default) colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0;   // font size in half points; 0: the default size
    QString fontName;     // empty: the default font

    friend bool operator==(const RtfCharFormat &, const RtfCharFormat &) = default;
};

struct RtfRun {
    QString text;
    RtfCharFormat format;
};

struct RtfDocument {
    std::vector<RtfRun> runs;

    // All text of the document, paragraph breaks as '\n'.
    QString plainText() const;
    // Appends text in format, merging with the last run when the formats agree.
    void append(const QString &text, const RtfCharFormat &format);
};

inline QString RtfDocument::plainText() const
{
    QString text;
    for (const RtfRun &run : runs)
        text += run.text;
    return text;
}

inline void RtfDocument::append(const QString &text, const RtfCharFormat &format)
{
    if (text.isEmpty())
        return;
    if (!runs.empty() && runs.back().format == format)
        runs.back().text += text;
    else
        runs.push_back({text, format});
}

} // namespace tavi
