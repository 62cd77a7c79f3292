#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// Making a finished picture the desktop wallpaper, on whichever Linux desktop
// is running. The desktop's own settings are tried first, then the
// freedesktop portal, then a plain X11 setter.
namespace tavi {

struct WallpaperResult {
    bool ok = false;
    QString method; // which setter did it, e.g. "GNOME (gsettings)", "portal", "feh"
    QString reason; // when !ok: one line per setter tried, saying why it failed
};

// The environment variables and marker files the setter looks at.
class DesktopEnvironment {
public:
    virtual ~DesktopEnvironment() = default;
    // The variable's value; empty when unset.
    virtual QString value(const char *name) const = 0;
    virtual bool fileExists(const QString &path) const = 0;
};

struct CommandResult {
    bool started = false; // false: missing, not executable, or killed after the time limit
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs programs directly, never through a shell: each argument reaches the
// program exactly as given.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;
    // Whether program is found on PATH.
    virtual bool isInstalled(const QString &program) const = 0;
    virtual CommandResult run(const QString &program, const QStringList &arguments) = 0;
};

struct DBusCallResult {
    bool ok = false;
    QString error; // the D-Bus error name and message when !ok
    QVariantList values;
};

struct PortalResponse {
    bool answered = false; // false: the call failed or no Response came in time
    QString error;
    uint response = 2;     // 0 success, 1 cancelled by the user, 2 otherwise ended
    QVariantMap results;
};

// Method calls on the session bus.
class DBusCaller {
public:
    virtual ~DBusCaller() = default;
    virtual DBusCallResult call(const QString &service, const QString &path, const QString &interface,
                                const QString &method, const QVariantList &arguments) = 0;
    // A portal method answered through org.freedesktop.portal.Request: the
    // last argument is the options map. Returns when Response arrives or the
    // wait gives up.
    virtual PortalResponse request(const QString &service, const QString &path, const QString &interface,
                                   const QString &method, const QVariantList &arguments) = 0;
};

enum class Desktop { Unknown, Gnome, Unity, Budgie, Cinnamon, Mate, Kde, Xfce, Lxqt, Lxde, Sway };

// XDG_CURRENT_DESKTOP (the first entry this program knows), else DESKTOP_SESSION.
Desktop detectDesktop(const DesktopEnvironment &env);

// Flatpak or snap: only the portal reaches the desktop from there.
bool inSandbox(const DesktopEnvironment &env);

class WallpaperSetter {
public:
    WallpaperSetter(const DesktopEnvironment &env, CommandRunner &runner, DBusCaller &bus);

    // Makes the picture at path (complete before the call) the desktop
    // wallpaper, stretched over the screen.
    WallpaperResult set(const QString &path);

private:
    struct Outcome {
        bool ok = false;
        QString why;
    };
    struct GSettingsKey {
        const char *key;
        QString value;
        bool optional = false; // only set when the schema has it
    };

    Outcome desktopMethod(Desktop desktop, const QString &path);
    Outcome viaGSettings(const char *schema, const QList<GSettingsKey> &keys);
    Outcome viaPlasma(const QString &path);
    Outcome viaXfconf(const QString &path);
    Outcome viaProgram(const QString &program, const QStringList &arguments);
    Outcome viaPortal(const QString &path);
    Outcome runChecked(const QString &program, const QStringList &arguments, QByteArray *out = nullptr);

    const DesktopEnvironment &m_env;
    CommandRunner &m_runner;
    DBusCaller &m_bus;
};

} // namespace tavi
