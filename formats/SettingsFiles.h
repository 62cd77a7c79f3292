#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

// The formats of the main window's small settings files.
namespace tavi {

constexpr QSize kDefaultWindowSize{906, 540};
// Room left free at the bottom of the screen (a taskbar), here and by the maximise toggle.
constexpr int kTaskbarAllowance = 30;

// 906 x 540, centred on the screen above the taskbar allowance. screen is the
// primary screen's full geometry, which need not start at (0, 0).
QRect defaultWindowBounds(const QRect &screen);

// What FormSize.ini says: slot, width, height, left, top and an optional month.
struct WindowSettings {
    int slot = 1;
    QRect bounds;
    std::optional<QString> month; // line 6 as written, when there is one
    bool complete = true;         // false when a field was missing or not an integer
};

// Reads the lines of FormSize.ini. A field that is missing or not an integer
// takes its default (slot 1, the default bounds for the screen), and so does
// a width or height below 1 or any bound beyond 16777215 either way; the
// rest are kept.
WindowSettings parseWindowSettings(const QStringList &lines, const QRect &screen);
QStringList windowSettingsLines(int slot, const QRect &bounds, const QString &month);

// Whether configSetBg.ini asks for a question before the wallpaper changes:
// its first line as an integer greater than 0. A first line that is missing
// or not an integer asks, the safe answer.
bool askBeforeSetBg(const QStringList &lines);

// The text the memo box gets from content.ini: every line followed by CR LF.
QString memoText(const QStringList &lines);

} // namespace tavi
