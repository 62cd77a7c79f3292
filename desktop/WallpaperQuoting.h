#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Quoting for the text languages the wallpaper setters speak. Every path
// handed to a desktop goes through one of these, so blanks, quotes and
// non-ASCII names arrive intact.
namespace tavi {

// A GVariant text string literal, as `gsettings set` parses it.
QString gvariantString(const QString &text);

// The string printed by `gsettings get` (one GVariant string or enum nick,
// single or double quoted, trailing newline allowed); nothing when the
// output is not a single string.
std::optional<QString> parseGVariantString(const QByteArray &printed);

// A JavaScript string literal for Plasma's desktop scripts.
QString javaScriptString(const QString &text);

// A file argument for `swaymsg`: sway parses the joined command line once
// and then expands the path like a shell word, so the path is escaped for
// both. Nothing for paths with control characters, which no quoting survives.
std::optional<QString> swayPathArgument(const QString &path);

// A word for a POSIX shell command line shown to the user: as it is when it
// is plain, else in single quotes.
QString shellWord(const QString &text);

} // namespace tavi
