// The wallpaper setter against the real tools: gsettings, xfconfd with
// xfconf-query, and a stand-in portal service. Each test runs its own
// dbus-daemon with a temporary HOME, so the user's session is never touched.

#include "desktop/WallpaperQuoting.h"
#include "desktop/WallpaperSystem.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

using namespace tavi;
using namespace std::chrono_literals;

namespace {

class MapEnvironment : public DesktopEnvironment {
public:
    explicit MapEnvironment(QHash<QString, QString> vars) : m_vars(std::move(vars)) {}
    QString value(const char *name) const override { return m_vars.value(QString::fromLatin1(name)); }
    bool fileExists(const QString &) const override { return false; }

private:
    QHash<QString, QString> m_vars;
};

class PrivateSession {
public:
    ~PrivateSession()
    {
        for (const std::unique_ptr<QProcess> &service : m_services) {
            service->kill();
            service->waitForFinished();
        }
        QDBusConnection::disconnectFromBus(m_connectionName);
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            m_daemon.waitForFinished();
        }
    }

    // Empty on success, else why the bus could not be started.
    QString start()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return QStringLiteral("dbus-daemon is not installed (package dbus)");
        const QString home = m_home.path();
        m_environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION"})
            m_environment.remove(QString::fromLatin1(name));
        const QString runtime = home + QStringLiteral("/run");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_environment.insert(QStringLiteral("HOME"), home);
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
        m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        m_environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("keyfile"));

        // Services the bus activates (xfconfd) inherit this environment.
        m_daemon.setProcessEnvironment(m_environment);
        m_daemon.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        while (!m_daemon.canReadLine()) {
            if (!m_daemon.waitForReadyRead(10000))
                return QStringLiteral("dbus-daemon gave no address: ") + QString::fromUtf8(m_daemon.readAllStandardError());
        }
        const QString address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        static int connections = 0;
        m_connectionName = QStringLiteral("wallpaper-test-%1").arg(++connections);
        if (!QDBusConnection::connectToBus(address, m_connectionName).isConnected())
            return QStringLiteral("cannot connect to the private bus at ") + address;
        return {};
    }

    QProcessEnvironment environment() const { return m_environment; }
    QDBusConnection bus() const { return QDBusConnection(m_connectionName); }
    QString home() const { return m_home.path(); }

    // Starts a helper on the bus and waits for its first line of output.
    QString startService(const QString &program, const QStringList &arguments)
    {
        auto &service = m_services.emplace_back(std::make_unique<QProcess>());
        service->setProcessEnvironment(m_environment);
        service->start(program, arguments);
        if (!service->waitForReadyRead(10000))
            return program + QStringLiteral(" did not start: ") + QString::fromUtf8(service->readAllStandardError());
        return {};
    }

private:
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    QProcess m_daemon;
    QString m_connectionName;
    std::vector<std::unique_ptr<QProcess>> m_services;
};

const QString kGnome = QStringLiteral("org.gnome.desktop.background");

// A picture in a folder whose name needs quoting everywhere.
QString makePicture(const QString &home, const QByteArray &bytes)
{
    const QString folder = home + QStringLiteral("/壁纸 it's \"q\"");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/Mix.bmp");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QString output(const CommandResult &result)
{
    QString text = QString::fromUtf8(result.out);
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

#define START_SESSION(session)                      \
    do {                                            \
        if (const QString why = (session).start(); !why.isEmpty()) \
            GTEST_SKIP() << why.toStdString();      \
    } while (false)

// gsettings works without the session bus here, but the schemas must be installed.
#define REQUIRE_GNOME_SCHEMA(runner)                                                                  \
    do {                                                                                             \
        if (!(runner).isInstalled(QStringLiteral("gsettings")))                                      \
            GTEST_SKIP() << "gsettings is not installed (package libglib2.0-bin)";                   \
        if ((runner).run(QStringLiteral("gsettings"), {QStringLiteral("list-keys"), kGnome}).exitCode != 0) \
            GTEST_SKIP() << "schema org.gnome.desktop.background is missing (package gsettings-desktop-schemas)"; \
    } while (false)

TEST(WallpaperIntegration, GnomeSettingsAreWrittenAndReadBackWithRealGSettings)
{
    PrivateSession session;
    START_SESSION(session);
    ProcessRunner runner(session.environment());
    REQUIRE_GNOME_SCHEMA(runner);
    SessionDBus bus(session.bus(), 2s);
    MapEnvironment env({{QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("ubuntu:GNOME")}});

    const QString picture = makePicture(session.home(), "BM");
    const WallpaperResult result = WallpaperSetter(env, runner, bus).set(picture);
    ASSERT_TRUE(result.ok) << result.reason.toStdString();
    EXPECT_EQ(result.method, QStringLiteral("GNOME (gsettings)"));

    const QString uri = QUrl::fromLocalFile(picture).toString(QUrl::FullyEncoded);
    const auto get = [&](const char *key) {
        return parseGVariantString(runner.run(QStringLiteral("gsettings"), {QStringLiteral("get"), kGnome, QString::fromLatin1(key)}).out);
    };
    EXPECT_EQ(get("picture-uri"), uri);
    EXPECT_EQ(get("picture-uri-dark"), uri);
    EXPECT_EQ(get("picture-options"), QStringLiteral("stretched"));
    EXPECT_TRUE(QFile::exists(session.home() + QStringLiteral("/.config/glib-2.0/settings/keyfile")));
}

TEST(WallpaperIntegration, GSettingsTakesAndGivesBackAnyStringAsQuoted)
{
    PrivateSession session;
    START_SESSION(session);
    ProcessRunner runner(session.environment());
    REQUIRE_GNOME_SCHEMA(runner);

    const QString texts[] = {
        QStringLiteral("/home/u/壁纸 it's \"q\"/Mix.bmp"),
        QStringLiteral(R"(C:\a\\b)"),
        QStringLiteral("'"),
        QStringLiteral("tab\tnew\nline"),
        QStringLiteral("é😀"),
        QString(),
    };
    for (const QString &text : texts) {
        const CommandResult set = runner.run(QStringLiteral("gsettings"), {QStringLiteral("set"), kGnome, QStringLiteral("picture-uri"), gvariantString(text)});
        EXPECT_EQ(set.exitCode, 0) << set.err.toStdString();
        const CommandResult get = runner.run(QStringLiteral("gsettings"), {QStringLiteral("get"), kGnome, QStringLiteral("picture-uri")});
        EXPECT_EQ(parseGVariantString(get.out), text) << get.out.toStdString();
    }
}

TEST(WallpaperIntegration, XfceBackdropsAreWrittenAndReadBackWithRealXfconf)
{
    PrivateSession session;
    START_SESSION(session);
    ProcessRunner runner(session.environment());
    if (!runner.isInstalled(QStringLiteral("xfconf-query")))
        GTEST_SKIP() << "xfconf-query is not installed (package xfconf)";
    SessionDBus bus(session.bus(), 2s);

    // What xfdesktop leaves behind: one backdrop per monitor and workspace it showed.
    const QStringList backdrops{QStringLiteral("/backdrop/screen0/monitor0/workspace0/"),
                                QStringLiteral("/backdrop/screen0/monitor0/workspace1/"),
                                QStringLiteral("/backdrop/screen0/monitorVirtual1/workspace0/")};
    const auto query = [&](const QStringList &arguments) {
        return runner.run(QStringLiteral("xfconf-query"), QStringList{QStringLiteral("-c"), QStringLiteral("xfce4-desktop")} + arguments);
    };
    for (const QString &backdrop : backdrops) {
        const CommandResult made = query({"-p", backdrop + "last-image", "-n", "-t", "string", "-s", "/old.png"});
        ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    }
    ASSERT_EQ(query({"-p", backdrops[0] + "image-style", "-n", "-t", "int", "-s", "5"}).exitCode, 0);
    ASSERT_EQ(query({"-p", "/backdrop/screen0/monitor0/workspace0/color-style", "-n", "-t", "int", "-s", "0"}).exitCode, 0);

    const QString picture = makePicture(session.home(), "BM");
    MapEnvironment env({{QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("XFCE")}});
    const WallpaperResult result = WallpaperSetter(env, runner, bus).set(picture);
    ASSERT_TRUE(result.ok) << result.reason.toStdString();
    EXPECT_EQ(result.method, QStringLiteral("XFCE (xfconf)"));
    for (const QString &backdrop : backdrops) {
        EXPECT_EQ(output(query({"-p", backdrop + "last-image"})), picture);
        EXPECT_EQ(output(query({"-p", backdrop + "image-style"})), QStringLiteral("3"));
    }
    EXPECT_EQ(output(query({"-p", "/backdrop/screen0/monitor0/workspace0/color-style"})), QStringLiteral("0"));
}

TEST(WallpaperIntegration, ThePortalGetsTheFileAndItsAnswerDecides)
{
    struct Case {
        const char *answer;
        std::chrono::milliseconds wait;
        QString failure; // empty: the wallpaper is set
    };
    const Case cases[] = {
        {"0", 10s, {}},
        {"1", 10s, QStringLiteral("portal: the request was cancelled")},
        {"2", 10s, QStringLiteral("portal: the portal ended the request (response 2)")},
        {"never", 300ms, QStringLiteral("portal: no answer within 0.3 s")},
    };
    for (const Case &c : cases) {
        PrivateSession session;
        START_SESSION(session);
        const QString record = session.home() + QStringLiteral("/received");
        const QString started = session.startService(QStringLiteral(TAVI_FAKE_PORTAL), {record, QString::fromLatin1(c.answer)});
        ASSERT_TRUE(started.isEmpty()) << started.toStdString();

        ProcessRunner runner(session.environment());
        SessionDBus bus(session.bus(), c.wait);
        MapEnvironment env({{QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME")},
                            {QStringLiteral("FLATPAK_ID"), QStringLiteral("org.example.Tavi")}});
        const QByteArray bytes("BM\0\x01 picture", 12);
        const WallpaperResult result = WallpaperSetter(env, runner, bus).set(makePicture(session.home(), bytes));
        EXPECT_EQ(result.ok, c.failure.isEmpty()) << c.answer;
        EXPECT_EQ(result.method, c.failure.isEmpty() ? QStringLiteral("portal") : QString());
        EXPECT_TRUE(result.reason.endsWith(c.failure)) << result.reason.toStdString();

        QFile received(record), request(record + QStringLiteral(".json"));
        ASSERT_TRUE(received.open(QIODevice::ReadOnly) && request.open(QIODevice::ReadOnly)) << c.answer;
        EXPECT_EQ(received.readAll(), bytes);
        const QJsonObject call = QJsonDocument::fromJson(request.readAll()).object();
        EXPECT_EQ(call.value(QStringLiteral("parent_window")).toString(), QString());
        const QJsonObject options = call.value(QStringLiteral("options")).toObject();
        EXPECT_EQ(options.value(QStringLiteral("set-on")).toString(), QStringLiteral("background"));
        EXPECT_EQ(options.value(QStringLiteral("show-preview")), QJsonValue(false));
        EXPECT_FALSE(options.value(QStringLiteral("handle_token")).toString().isEmpty());
    }
}

} // namespace
