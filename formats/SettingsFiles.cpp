#include "formats/SettingsFiles.h"

#include <climits>

namespace tavi {
namespace {

// QWIDGETSIZE_MAX: no window is larger, and a position and a size this far
// out can be added without overflowing.
constexpr int kMaxExtent = 16777215;

std::optional<int> integerAt(const QStringList &lines, qsizetype index, int min = INT_MIN, int max = INT_MAX)
{
    if (index >= lines.size())
        return std::nullopt;
    bool ok = false;
    const int value = lines[index].trimmed().toInt(&ok, 10);
    return ok && value >= min && value <= max ? std::optional<int>(value) : std::nullopt;
}

} // namespace

QRect defaultWindowBounds(const QRect &screen)
{
    const int left = screen.left() + (screen.width() - kDefaultWindowSize.width()) / 2;
    const int top = screen.top() + (screen.height() - kTaskbarAllowance - kDefaultWindowSize.height()) / 2;
    return QRect(QPoint(left, top), kDefaultWindowSize);
}

WindowSettings parseWindowSettings(const QStringList &lines, const QRect &screen)
{
    const QRect defaults = defaultWindowBounds(screen);
    // A size below one pixel or beyond any window counts as no number, like a position beyond any screen.
    const std::optional<int> fields[5] = {
        integerAt(lines, 0),
        integerAt(lines, 1, 1, kMaxExtent),
        integerAt(lines, 2, 1, kMaxExtent),
        integerAt(lines, 3, -kMaxExtent, kMaxExtent),
        integerAt(lines, 4, -kMaxExtent, kMaxExtent),
    };
    WindowSettings settings;
    settings.slot = fields[0].value_or(1);
    settings.bounds = QRect(fields[3].value_or(defaults.left()), fields[4].value_or(defaults.top()),
                            fields[1].value_or(defaults.width()), fields[2].value_or(defaults.height()));
    for (const auto &field : fields)
        settings.complete = settings.complete && field.has_value();
    if (lines.size() >= 6)
        settings.month = lines[5];
    return settings;
}

QStringList windowSettingsLines(int slot, const QRect &bounds, const QString &month)
{
    return {QString::number(slot), QString::number(bounds.width()), QString::number(bounds.height()),
            QString::number(bounds.left()), QString::number(bounds.top()), month};
}

bool askBeforeSetBg(const QStringList &lines)
{
    bool ok = false;
    const int value = lines.isEmpty() ? 0 : lines.first().trimmed().toInt(&ok, 10);
    return !ok || value > 0;
}

QString memoText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

} // namespace tavi
