#include "desktop/WallpaperSetter.h"

#include "desktop/WallpaperQuoting.h"

#include <QDBusUnixFileDescriptor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <optional>
#include <utility>

namespace tavi {

namespace {

const QString kXfceChannel = QStringLiteral("xfce4-desktop");

struct DesktopName {
    const char *name;
    Desktop desktop;
};

// XDG_CURRENT_DESKTOP entries, compared case-insensitively.
constexpr DesktopName kCurrentDesktops[] = {
    {"gnome", Desktop::Gnome},       {"gnome-classic", Desktop::Gnome}, {"gnome-flashback", Desktop::Gnome},
    {"unity", Desktop::Unity},       {"budgie", Desktop::Budgie},       {"budgie-desktop", Desktop::Budgie},
    {"x-cinnamon", Desktop::Cinnamon}, {"cinnamon", Desktop::Cinnamon}, {"mate", Desktop::Mate},
    {"kde", Desktop::Kde},           {"plasma", Desktop::Kde},          {"xfce", Desktop::Xfce},
    {"lxqt", Desktop::Lxqt},         {"lxde", Desktop::Lxde},           {"sway", Desktop::Sway},
};

// DESKTOP_SESSION names vary by distribution ("plasmawayland", "gnome-xorg",
// "xubuntu"), so they are matched by how they begin.
constexpr DesktopName kSessionPrefixes[] = {
    {"plasma", Desktop::Kde},      {"kde", Desktop::Kde},          {"gnome", Desktop::Gnome},
    {"ubuntu", Desktop::Gnome},    {"unity", Desktop::Unity},      {"budgie", Desktop::Budgie},
    {"cinnamon", Desktop::Cinnamon}, {"mate", Desktop::Mate},      {"xfce", Desktop::Xfce},
    {"xubuntu", Desktop::Xfce},    {"lxqt", Desktop::Lxqt},        {"lxde", Desktop::Lxde},
    {"sway", Desktop::Sway},
};

QString methodName(Desktop desktop)
{
    switch (desktop) {
    case Desktop::Gnome: return QStringLiteral("GNOME (gsettings)");
    case Desktop::Unity: return QStringLiteral("Unity (gsettings)");
    case Desktop::Budgie: return QStringLiteral("Budgie (gsettings)");
    case Desktop::Cinnamon: return QStringLiteral("Cinnamon (gsettings)");
    case Desktop::Mate: return QStringLiteral("MATE (gsettings)");
    case Desktop::Kde: return QStringLiteral("KDE Plasma");
    case Desktop::Xfce: return QStringLiteral("XFCE (xfconf)");
    case Desktop::Lxqt: return QStringLiteral("LXQt (pcmanfm-qt)");
    case Desktop::Lxde: return QStringLiteral("LXDE (pcmanfm)");
    case Desktop::Sway: return QStringLiteral("sway (swaymsg)");
    case Desktop::Unknown: break;
    }
    return QStringLiteral("desktop settings");
}

QString fileUri(const QString &path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

QString firstLine(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).trimmed().section(QLatin1Char('\n'), 0, 0);
}

// A command's single value, without the line end the tools print after it.
QString printedValue(const QByteArray &out)
{
    QString value = QString::fromUtf8(out);
    if (value.endsWith(QLatin1Char('\n')))
        value.chop(1);
    return value;
}

QString plasmaScript(const QString &uri)
{
    return QStringLiteral(
               "var uri = %1;\n"
               "var all = desktops();\n"
               "for (var i = 0; i < all.length; ++i) {\n"
               "    var d = all[i];\n"
               "    d.wallpaperPlugin = \"org.kde.image\";\n"
               "    d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
               "    d.writeConfig(\"Image\", uri);\n"
               "    d.writeConfig(\"FillMode\", 0);\n"
               "    if (String(d.readConfig(\"Image\")) != uri)\n"
               "        print(\"mismatch \" + i + \"\\n\");\n"
               "}\n"
               "print(\"desktops \" + all.length + \"\\n\");\n")
        .arg(javaScriptString(uri));
}

// Plasma keeps showing its cached picture when the file behind an unchanged
// path is rewritten, so it is handed one of two alternating copies beside the
// picture. After each call at most one copy is left: the one Plasma shows.
class PlasmaCopies {
public:
    explicit PlasmaCopies(const QString &picture)
    {
        const QFileInfo info(picture);
        const QString stem = info.dir().filePath(info.completeBaseName() + QStringLiteral("-plasma-"));
        const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
        m_a = stem + QLatin1Char('a') + suffix;
        m_b = stem + QLatin1Char('b') + suffix;
    }

    // Copies picture to the copy not in use; false with why when it cannot.
    bool prepare(const QString &picture, QString *why)
    {
        const QFileInfo a(m_a), b(m_b);
        // Both exist only after an interrupted call; the newer one was handed over last.
        if (a.exists() && (!b.exists() || a.lastModified() >= b.lastModified())) {
            m_inUse = m_a;
            m_fresh = m_b;
        } else {
            m_inUse = b.exists() ? m_b : QString();
            m_fresh = m_a;
        }
        QFile::remove(m_fresh);
        QFile source(picture);
        if (!source.copy(m_fresh)) {
            *why = QStringLiteral("cannot copy the picture to %1: %2").arg(m_fresh, source.errorString());
            m_fresh.clear();
            return false;
        }
        return true;
    }

    QString fresh() const { return m_fresh; }

    // After the call: keep the copy the desktop now shows, drop the other.
    void settle(bool freshInUse)
    {
        if (m_fresh.isEmpty())
            return;
        if (freshInUse && !m_inUse.isEmpty())
            QFile::remove(m_inUse);
        else if (!freshInUse)
            QFile::remove(m_fresh);
    }

private:
    QString m_a, m_b, m_inUse, m_fresh;
};

} // namespace

Desktop detectDesktop(const DesktopEnvironment &env)
{
    const QStringList current = env.value("XDG_CURRENT_DESKTOP").toLower().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &entry : current) {
        for (const DesktopName &known : kCurrentDesktops) {
            if (entry.trimmed() == QLatin1String(known.name))
                return known.desktop;
        }
    }
    // Some display managers give the session file's path.
    const QString session = env.value("DESKTOP_SESSION").toLower().section(QLatin1Char('/'), -1);
    for (const DesktopName &known : kSessionPrefixes) {
        if (!session.isEmpty() && session.startsWith(QLatin1String(known.name)))
            return known.desktop;
    }
    return Desktop::Unknown;
}

bool inSandbox(const DesktopEnvironment &env)
{
    return !env.value("FLATPAK_ID").isEmpty() || env.fileExists(QStringLiteral("/.flatpak-info"))
        || !env.value("SNAP").isEmpty();
}

WallpaperSetter::WallpaperSetter(const DesktopEnvironment &env, CommandRunner &runner, DBusCaller &bus)
    : m_env(env), m_runner(runner), m_bus(bus)
{
}

WallpaperResult WallpaperSetter::set(const QString &picture)
{
    const QFileInfo info(picture);
    if (!info.isFile())
        return {false, {}, QStringLiteral("The picture %1 does not exist.").arg(picture)};
    const QString path = info.absoluteFilePath();

    QStringList failures;
    const auto succeeded = [&](const QString &method, const Outcome &outcome) {
        if (!outcome.ok)
            failures << method + QStringLiteral(": ") + outcome.why;
        return outcome.ok;
    };

    const Desktop desktop = detectDesktop(m_env);
    std::optional<PlasmaCopies> copies;
    QString handedOver = path;
    if (desktop == Desktop::Kde) {
        copies.emplace(path);
        QString why;
        if (copies->prepare(path, &why))
            handedOver = copies->fresh();
        else
            failures << methodName(desktop) + QStringLiteral(": ") + why + QStringLiteral(" (the picture itself was used)");
    }
    const auto finish = [&](const QString &method) {
        if (copies)
            copies->settle(!method.isEmpty());
        if (!method.isEmpty())
            return WallpaperResult{true, method, {}};
        return WallpaperResult{false, {}, QStringLiteral("No way of setting the wallpaper worked:\n") + failures.join(QLatin1Char('\n'))};
    };

    const bool sandboxed = inSandbox(m_env);
    if (sandboxed) {
        failures << QStringLiteral("desktop settings: not reachable from inside a flatpak or snap sandbox");
    } else if (desktop == Desktop::Unknown) {
        failures << QStringLiteral("desktop settings: desktop not recognised (XDG_CURRENT_DESKTOP \"%1\", DESKTOP_SESSION \"%2\")")
                        .arg(m_env.value("XDG_CURRENT_DESKTOP"), m_env.value("DESKTOP_SESSION"));
    } else if (succeeded(methodName(desktop), desktopMethod(desktop, handedOver))) {
        return finish(methodName(desktop));
    }

    const QString portal = QStringLiteral("portal");
    if (succeeded(portal, viaPortal(handedOver)))
        return finish(portal);
    if (sandboxed)
        return finish({});

    if (m_env.value("DISPLAY").isEmpty()) {
        failures << QStringLiteral("feh, xwallpaper: no X display (DISPLAY is not set)");
    } else if (!m_env.value("WAYLAND_DISPLAY").isEmpty() || m_env.value("XDG_SESSION_TYPE") == QLatin1String("wayland")) {
        // They would paint the X root window, which no Wayland compositor shows.
        failures << QStringLiteral("feh, xwallpaper: not used in a Wayland session");
    } else {
        const QString feh = QStringLiteral("feh");
        if (succeeded(feh, viaProgram(feh, {QStringLiteral("--no-fehbg"), QStringLiteral("--bg-scale"), handedOver})))
            return finish(feh);
        const QString xwallpaper = QStringLiteral("xwallpaper");
        if (succeeded(xwallpaper, viaProgram(xwallpaper, {QStringLiteral("--stretch"), handedOver})))
            return finish(xwallpaper);
    }
    return finish({});
}

WallpaperSetter::Outcome WallpaperSetter::desktopMethod(Desktop desktop, const QString &path)
{
    const QString uri = fileUri(path);
    const QString stretched = QStringLiteral("stretched");
    switch (desktop) {
    case Desktop::Gnome:
    case Desktop::Unity:
    case Desktop::Budgie:
        // Options first, so the new picture never shows with the old placement.
        return viaGSettings("org.gnome.desktop.background", {{"picture-options", stretched},
                                                             {"picture-uri-dark", uri, true},
                                                             {"picture-uri", uri}});
    case Desktop::Cinnamon:
        return viaGSettings("org.cinnamon.desktop.background", {{"picture-options", stretched}, {"picture-uri", uri}});
    case Desktop::Mate:
        return viaGSettings("org.mate.background", {{"picture-options", stretched}, {"picture-filename", path}});
    case Desktop::Kde:
        return viaPlasma(uri);
    case Desktop::Xfce:
        return viaXfconf(path);
    case Desktop::Lxqt:
        return viaProgram(QStringLiteral("pcmanfm-qt"),
                          {QStringLiteral("--set-wallpaper=") + path, QStringLiteral("--wallpaper-mode=stretch")});
    case Desktop::Lxde:
        return viaProgram(QStringLiteral("pcmanfm"),
                          {QStringLiteral("--set-wallpaper=") + path, QStringLiteral("--wallpaper-mode=stretch")});
    case Desktop::Sway: {
        const std::optional<QString> file = swayPathArgument(path);
        if (!file)
            return {false, QStringLiteral("sway cannot be given a path with control characters")};
        return viaProgram(QStringLiteral("swaymsg"), {QStringLiteral("output"), QStringLiteral("*"), QStringLiteral("bg"),
                                                      *file, QStringLiteral("stretch")});
    }
    case Desktop::Unknown:
        break;
    }
    return {false, QStringLiteral("desktop not recognised")};
}

WallpaperSetter::Outcome WallpaperSetter::runChecked(const QString &program, const QStringList &arguments, QByteArray *out)
{
    const CommandResult result = m_runner.run(program, arguments);
    const QString command = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
    if (!result.started)
        return {false, QStringLiteral("%1 could not be run: %2").arg(command, firstLine(result.err))};
    if (result.exitCode != 0)
        return {false, QStringLiteral("%1 failed (exit code %2): %3").arg(command).arg(result.exitCode).arg(firstLine(result.err))};
    if (out)
        *out = result.out;
    return {true, {}};
}

WallpaperSetter::Outcome WallpaperSetter::viaGSettings(const char *schemaName, const QList<GSettingsKey> &keys)
{
    const QString gsettings = QStringLiteral("gsettings");
    if (!m_runner.isInstalled(gsettings))
        return {false, QStringLiteral("gsettings is not installed")};
    const QString schema = QString::fromLatin1(schemaName);

    // Listing the keys also tells a missing schema apart from a failed write.
    QByteArray listed;
    if (Outcome o = runChecked(gsettings, {QStringLiteral("list-keys"), schema}, &listed); !o.ok)
        return o;
    const QStringList available = QString::fromUtf8(listed).split(QLatin1Char('\n'), Qt::SkipEmptyParts);

    QList<GSettingsKey> present;
    for (const GSettingsKey &k : keys) {
        const QString key = QString::fromLatin1(k.key);
        if (available.contains(key))
            present << k;
        else if (!k.optional)
            return {false, QStringLiteral("schema %1 has no key %2").arg(schema, key)};
    }
    for (const GSettingsKey &k : present) {
        if (Outcome o = runChecked(gsettings, {QStringLiteral("set"), schema, QString::fromLatin1(k.key), gvariantString(k.value)}); !o.ok)
            return o;
    }
    for (const GSettingsKey &k : present) {
        const QString key = QString::fromLatin1(k.key);
        QByteArray printed;
        if (Outcome o = runChecked(gsettings, {QStringLiteral("get"), schema, key}, &printed); !o.ok)
            return o;
        if (parseGVariantString(printed) != k.value)
            return {false, QStringLiteral("%1 %2 reads back as %3").arg(schema, key, printedValue(printed))};
    }
    return {true, {}};
}

WallpaperSetter::Outcome WallpaperSetter::viaPlasma(const QString &uri)
{
    const DBusCallResult reply = m_bus.call(QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
                                            QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"),
                                            {plasmaScript(uri)});
    if (!reply.ok)
        return {false, reply.error};
    // Plasma returns what the script printed; versions that return nothing
    // cannot be checked.
    const QString printed = reply.values.value(0).toString();
    if (printed.trimmed().isEmpty())
        return {true, {}};
    if (printed.contains(QLatin1String("mismatch")))
        return {false, QStringLiteral("a desktop kept its old picture")};
    const QRegularExpressionMatch count = QRegularExpression(QStringLiteral("desktops (\\d+)")).match(printed);
    if (!count.hasMatch() || count.captured(1).toInt() == 0)
        return {false, QStringLiteral("Plasma found no desktop to set (%1)").arg(printed.trimmed())};
    return {true, {}};
}

WallpaperSetter::Outcome WallpaperSetter::viaXfconf(const QString &path)
{
    const QString query = QStringLiteral("xfconf-query");
    if (!m_runner.isInstalled(query))
        return {false, QStringLiteral("xfconf-query is not installed")};
    const QString channel = QStringLiteral("-c");
    QByteArray listed;
    if (Outcome o = runChecked(query, {channel, kXfceChannel, QStringLiteral("-l")}, &listed); !o.ok)
        return o;

    // xfdesktop creates one property per monitor and workspace it has shown.
    static const QRegularExpression imageProperty(QStringLiteral("^/backdrop/screen0/monitor[^/]*/workspace[^/]*/last-image$"));
    QStringList images;
    for (const QString &line : QString::fromUtf8(listed).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (imageProperty.match(line.trimmed()).hasMatch())
            images << line.trimmed();
    }
    if (images.isEmpty())
        return {false, QStringLiteral("channel xfce4-desktop has no /backdrop/screen0/monitor*/workspace*/last-image (is xfdesktop running?)")};

    const auto styleOf = [](QString image) { return image.replace(QLatin1String("/last-image"), QLatin1String("/image-style")); };
    const QString property = QStringLiteral("-p");
    const QString stretched = QStringLiteral("3");
    for (const QString &image : images) {
        if (Outcome o = runChecked(query, {channel, kXfceChannel, property, styleOf(image), QStringLiteral("-n"),
                                           QStringLiteral("-t"), QStringLiteral("int"), QStringLiteral("-s"), stretched});
            !o.ok)
            return o;
        if (Outcome o = runChecked(query, {channel, kXfceChannel, property, image, QStringLiteral("-s"), path}); !o.ok)
            return o;
    }
    for (const QString &image : images) {
        for (const auto &[name, expected] : {std::pair{image, path}, std::pair{styleOf(image), stretched}}) {
            QByteArray out;
            if (Outcome o = runChecked(query, {channel, kXfceChannel, property, name}, &out); !o.ok)
                return o;
            if (printedValue(out) != expected)
                return {false, QStringLiteral("%1 reads back as %2").arg(name, printedValue(out))};
        }
    }
    return {true, {}};
}

WallpaperSetter::Outcome WallpaperSetter::viaProgram(const QString &program, const QStringList &arguments)
{
    if (!m_runner.isInstalled(program))
        return {false, QStringLiteral("not installed")}; // the method name says which program
    return runChecked(program, arguments);
}

WallpaperSetter::Outcome WallpaperSetter::viaPortal(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, QStringLiteral("cannot open %1: %2").arg(path, file.errorString())};
    const QVariantMap options{{QStringLiteral("set-on"), QStringLiteral("background")},
                              {QStringLiteral("show-preview"), false}};
    // The descriptor is duplicated into the message; the file closes on return.
    const PortalResponse answer = m_bus.request(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Wallpaper"), QStringLiteral("SetWallpaperFile"),
        {QString(), QVariant::fromValue(QDBusUnixFileDescriptor(file.handle())), options});
    if (!answer.answered)
        return {false, answer.error};
    switch (answer.response) {
    case 0: return {true, {}};
    case 1: return {false, QStringLiteral("the request was cancelled")};
    default: return {false, QStringLiteral("the portal ended the request (response %1)").arg(answer.response)};
    }
}

} // namespace tavi
