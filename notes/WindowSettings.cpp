#include "notes/WindowSettings.h"

namespace tavi {
namespace {

std::optional<int> integerAt(const QStringList &lines, qsizetype index)
{
    if (index >= lines.size())
        return std::nullopt;
    bool ok = false;
    const int value = lines[index].trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

QRect defaultWindowBounds(const QSize &screen)
{
    const int left = (screen.width() - kDefaultWindowSize.width()) / 2;
    const int top = (screen.height() - kTaskbarAllowance - kDefaultWindowSize.height()) / 2;
    return QRect(QPoint(left, top), kDefaultWindowSize);
}

WindowSettings parseWindowSettings(const QStringList &lines, const QSize &screen)
{
    const QRect defaults = defaultWindowBounds(screen);
    const std::optional<int> fields[5] = {integerAt(lines, 0), integerAt(lines, 1), integerAt(lines, 2),
                                          integerAt(lines, 3), integerAt(lines, 4)};
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
