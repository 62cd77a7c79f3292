#include "desktop/WallpaperQuoting.h"
#include "desktop/WallpaperSetter.h"

#include <QDBusUnixFileDescriptor>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

using namespace tavi;

namespace {

class FakeEnvironment : public DesktopEnvironment {
public:
    QHash<QString, QString> vars;
    QSet<QString> files;

    QString value(const char *name) const override { return vars.value(QString::fromLatin1(name)); }
    bool fileExists(const QString &path) const override { return files.contains(path); }
};

// Runs nothing; gsettings and xfconf-query are emulated over a map so that
// what was written can be read back.
class FakeRunner : public CommandRunner {
public:
    explicit FakeRunner(QStringList *journal) : m_journal(journal) {}

    QSet<QString> installed;
    QList<QStringList> calls; // the program, then its arguments
    QHash<QString, int> exitCodes;
    QMap<QString, QMap<QString, QString>> gsettings; // schema -> key -> printed value
    QMap<QString, QString> xfconf;                   // xfce4-desktop property -> value
    bool keepOldValues = false;                      // writes succeed but change nothing

    bool isInstalled(const QString &program) const override { return installed.contains(program); }

    CommandResult run(const QString &program, const QStringList &args) override
    {
        calls << (QStringList{program} + args);
        *m_journal << program;
        if (program == QLatin1String("gsettings"))
            return runGSettings(args);
        if (program == QLatin1String("xfconf-query"))
            return runXfconf(args);
        return {true, exitCodes.value(program, 0), {}, {}};
    }

private:
    CommandResult runGSettings(const QStringList &args)
    {
        if (!gsettings.contains(args.value(1)))
            return {true, 1, {}, "No such schema “" + args.value(1).toUtf8() + "”\n"};
        QMap<QString, QString> &keys = gsettings[args[1]];
        if (args[0] == QLatin1String("list-keys"))
            return {true, 0, QStringList(keys.keys()).join(QLatin1Char('\n')).toUtf8() + '\n', {}};
        if (args[0] == QLatin1String("set") && !keepOldValues)
            keys[args[2]] = args[3];
        if (args[0] == QLatin1String("get"))
            return {true, 0, keys.value(args[2]).toUtf8() + '\n', {}};
        return {true, 0, {}, {}};
    }

    CommandResult runXfconf(const QStringList &args)
    {
        if (args.contains(QLatin1String("-l")))
            return {true, 0, QStringList(xfconf.keys()).join(QLatin1Char('\n')).toUtf8() + '\n', {}};
        const QString property = args.value(args.indexOf(QLatin1String("-p")) + 1);
        if (const qsizetype s = args.indexOf(QLatin1String("-s")); s >= 0) {
            if (!xfconf.contains(property) && !args.contains(QLatin1String("-n")))
                return {true, 1, {}, "Property does not exist\n"};
            if (!keepOldValues || !xfconf.contains(property))
                xfconf[property] = args.value(s + 1);
            return {true, 0, {}, {}};
        }
        if (!xfconf.contains(property))
            return {true, 1, {}, "Property does not exist\n"};
        return {true, 0, xfconf[property].toUtf8() + '\n', {}};
    }

    QStringList *m_journal;
};

class FakeBus : public DBusCaller {
public:
    explicit FakeBus(QStringList *journal) : m_journal(journal) {}

    struct Call {
        QString service, path, interface, method;
        QVariantList arguments;
    };
    QList<Call> calls;
    DBusCallResult plasmaReply{true, {}, {QStringLiteral("desktops 1\n")}};
    PortalResponse portalReply{false, QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown: The name is not activatable"), 2, {}};
    std::function<void()> duringCall; // looks at the files while the desktop holds the call
    QString portalFile;               // the file behind the descriptor the portal got

    DBusCallResult call(const QString &service, const QString &path, const QString &interface, const QString &method,
                        const QVariantList &arguments) override
    {
        calls << Call{service, path, interface, method, arguments};
        *m_journal << method;
        if (duringCall)
            duringCall();
        return plasmaReply;
    }

    PortalResponse request(const QString &service, const QString &path, const QString &interface,
                           const QString &method, const QVariantList &arguments) override
    {
        calls << Call{service, path, interface, method, arguments};
        *m_journal << method;
        const int fd = arguments.value(1).value<QDBusUnixFileDescriptor>().fileDescriptor();
        portalFile = QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(fd));
        if (duringCall)
            duringCall();
        return portalReply;
    }

private:
    QStringList *m_journal;
};

const QString kGnome = QStringLiteral("org.gnome.desktop.background");
const QString kBackdrop = QStringLiteral("/backdrop/screen0/monitor0/workspace0/");
const QString kVirtualBackdrop = QStringLiteral("/backdrop/screen0/monitorVirtual1/workspace0/");

QStringList gsettingsCall(const char *verb, const QString &schema, const char *key = nullptr, const QString &value = QString())
{
    QStringList call{QStringLiteral("gsettings"), QString::fromLatin1(verb), schema};
    if (key)
        call << QString::fromLatin1(key);
    if (!value.isNull())
        call << gvariantString(value);
    return call;
}

QStringList xfconfCall(const QStringList &rest)
{
    return QStringList{QStringLiteral("xfconf-query"), QStringLiteral("-c"), QStringLiteral("xfce4-desktop")} + rest;
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QStringLiteral("<missing>");
}

class WallpaperSetterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A blank, both quotes and Chinese: every setter must pass the path through intact.
        const QString folder = dir.filePath(QStringLiteral("壁纸 it's \"q\""));
        ASSERT_TRUE(QDir().mkpath(folder));
        picture = folder + QStringLiteral("/Mix.bmp");
        writePicture("first");
        uri = QUrl::fromLocalFile(picture).toString(QUrl::FullyEncoded);
        prepareDesktops();
    }

    // Every desktop's tools installed, its settings holding an older picture.
    void prepareDesktops()
    {
        runner.installed = {QStringLiteral("gsettings"), QStringLiteral("xfconf-query"), QStringLiteral("pcmanfm-qt"),
                            QStringLiteral("pcmanfm"), QStringLiteral("swaymsg")};
        const QString old = QStringLiteral("'file:///old.png'");
        runner.gsettings[kGnome] = {{QStringLiteral("picture-options"), QStringLiteral("'zoom'")},
                                    {QStringLiteral("picture-uri"), old},
                                    {QStringLiteral("picture-uri-dark"), old}};
        runner.gsettings[QStringLiteral("org.cinnamon.desktop.background")] = {
            {QStringLiteral("picture-options"), QStringLiteral("'zoom'")}, {QStringLiteral("picture-uri"), old}};
        runner.gsettings[QStringLiteral("org.mate.background")] = {
            {QStringLiteral("picture-options"), QStringLiteral("'zoom'")}, {QStringLiteral("picture-filename"), QStringLiteral("'/old.png'")}};
        runner.xfconf = {{kBackdrop + QStringLiteral("last-image"), QStringLiteral("/old.png")},
                         {kBackdrop + QStringLiteral("color-style"), QStringLiteral("0")},
                         {kVirtualBackdrop + QStringLiteral("last-image"), QStringLiteral("/old.png")}};
    }

    void writePicture(const QByteArray &bytes)
    {
        QFile file(picture);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    WallpaperResult setOn(const char *desktop)
    {
        env.vars[QStringLiteral("XDG_CURRENT_DESKTOP")] = QString::fromLatin1(desktop);
        return setter.set(picture);
    }

    QTemporaryDir dir;
    QString picture, uri;
    QStringList journal; // programs run and D-Bus methods called, in order
    FakeEnvironment env;
    FakeRunner runner{&journal};
    FakeBus bus{&journal};
    WallpaperSetter setter{env, runner, bus};
};

TEST(WallpaperDetection, ReadsTheCurrentDesktopThenTheSession)
{
    struct Case {
        const char *current, *session;
        Desktop expected;
    };
    const Case cases[] = {
        {"GNOME", "", Desktop::Gnome},
        {"ubuntu:GNOME", "ubuntu", Desktop::Gnome},
        {"KDE", "", Desktop::Kde},
        {"XFCE", "", Desktop::Xfce},
        {"X-Cinnamon", "", Desktop::Cinnamon},
        {"MATE", "", Desktop::Mate},
        {"LXQt", "", Desktop::Lxqt},
        {"LXDE", "", Desktop::Lxde},
        {"sway", "", Desktop::Sway},
        {"Budgie:GNOME", "", Desktop::Budgie},
        {"Unity", "", Desktop::Unity},
        {"kde", "gnome", Desktop::Kde},
        {"", "plasmawayland", Desktop::Kde},
        {"", "xfce", Desktop::Xfce},
        {"", "/usr/share/xsessions/mate", Desktop::Mate},
        {"Hyprland", "", Desktop::Unknown},
        {"", "", Desktop::Unknown},
    };
    for (const Case &c : cases) {
        FakeEnvironment env;
        env.vars = {{QStringLiteral("XDG_CURRENT_DESKTOP"), QString::fromLatin1(c.current)},
                    {QStringLiteral("DESKTOP_SESSION"), QString::fromLatin1(c.session)}};
        EXPECT_EQ(detectDesktop(env), c.expected) << c.current << " / " << c.session;
    }
}

TEST_F(WallpaperSetterTest, EachDesktopIsGivenExactlyTheseCommands)
{
    const QString options = QStringLiteral("stretched");
    const QString mate = QStringLiteral("org.mate.background");
    const QString cinnamon = QStringLiteral("org.cinnamon.desktop.background");
    const QString mode = QStringLiteral("--wallpaper-mode=stretch");
    struct Case {
        const char *desktop;
        QString method;
        QList<QStringList> calls;
    };
    const Case cases[] = {
        {"GNOME", QStringLiteral("GNOME (gsettings)"),
         {gsettingsCall("list-keys", kGnome), gsettingsCall("set", kGnome, "picture-options", options),
          gsettingsCall("set", kGnome, "picture-uri-dark", uri), gsettingsCall("set", kGnome, "picture-uri", uri),
          gsettingsCall("get", kGnome, "picture-options"), gsettingsCall("get", kGnome, "picture-uri-dark"),
          gsettingsCall("get", kGnome, "picture-uri")}},
        {"X-Cinnamon", QStringLiteral("Cinnamon (gsettings)"),
         {gsettingsCall("list-keys", cinnamon), gsettingsCall("set", cinnamon, "picture-options", options),
          gsettingsCall("set", cinnamon, "picture-uri", uri), gsettingsCall("get", cinnamon, "picture-options"),
          gsettingsCall("get", cinnamon, "picture-uri")}},
        {"MATE", QStringLiteral("MATE (gsettings)"),
         {gsettingsCall("list-keys", mate), gsettingsCall("set", mate, "picture-options", options),
          gsettingsCall("set", mate, "picture-filename", picture), gsettingsCall("get", mate, "picture-options"),
          gsettingsCall("get", mate, "picture-filename")}},
        {"XFCE", QStringLiteral("XFCE (xfconf)"),
         {xfconfCall({QStringLiteral("-l")}),
          xfconfCall({"-p", kBackdrop + "image-style", "-n", "-t", "int", "-s", "3"}),
          xfconfCall({"-p", kBackdrop + "last-image", "-s", picture}),
          xfconfCall({"-p", kVirtualBackdrop + "image-style", "-n", "-t", "int", "-s", "3"}),
          xfconfCall({"-p", kVirtualBackdrop + "last-image", "-s", picture}),
          xfconfCall({"-p", kBackdrop + "last-image"}), xfconfCall({"-p", kBackdrop + "image-style"}),
          xfconfCall({"-p", kVirtualBackdrop + "last-image"}), xfconfCall({"-p", kVirtualBackdrop + "image-style"})}},
        {"LXQt", QStringLiteral("LXQt (pcmanfm-qt)"), {{"pcmanfm-qt", "--set-wallpaper=" + picture, mode}}},
        {"LXDE", QStringLiteral("LXDE (pcmanfm)"), {{"pcmanfm", "--set-wallpaper=" + picture, mode}}},
        {"sway", QStringLiteral("sway (swaymsg)"), {{"swaymsg", "output", "*", "bg", *swayPathArgument(picture), "stretch"}}},
    };
    for (const Case &c : cases) {
        prepareDesktops();
        runner.calls.clear();
        const WallpaperResult result = setOn(c.desktop);
        EXPECT_TRUE(result.ok) << c.desktop << ": " << result.reason.toStdString();
        EXPECT_EQ(result.method, c.method);
        EXPECT_EQ(runner.calls, c.calls) << c.desktop;
        EXPECT_TRUE(bus.calls.isEmpty()) << c.desktop;
    }
    EXPECT_EQ(runner.xfconf.value(kBackdrop + QStringLiteral("color-style")), QStringLiteral("0"));
}

TEST_F(WallpaperSetterTest, AFailedReadBackFallsThroughToThePortal)
{
    struct Case {
        const char *desktop;
        bool keepOldValues;
        QString plasmaPrints;
        QString failure;
    };
    const Case cases[] = {
        {"GNOME", true, {}, QStringLiteral("GNOME (gsettings): org.gnome.desktop.background picture-options reads back as 'zoom'")},
        {"XFCE", true, {}, QStringLiteral("XFCE (xfconf): %1last-image reads back as /old.png").arg(kBackdrop)},
        {"KDE", false, QStringLiteral("mismatch 0\ndesktops 1\n"), QStringLiteral("KDE Plasma: a desktop kept its old picture")},
        {"KDE", false, QStringLiteral("desktops 0\n"), QStringLiteral("KDE Plasma: Plasma found no desktop to set (desktops 0)")},
    };
    for (const Case &c : cases) {
        journal.clear();
        runner.keepOldValues = c.keepOldValues;
        bus.plasmaReply.values = {c.plasmaPrints};
        const WallpaperResult result = setOn(c.desktop);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.reason.contains(c.failure + QLatin1Char('\n'))) << result.reason.toStdString();
        EXPECT_EQ(journal.last(), QStringLiteral("SetWallpaperFile")) << c.desktop;
    }
}

TEST_F(WallpaperSetterTest, TriesTheDesktopThenThePortalThenX11Setters)
{
    struct Case {
        QStringList installed;
        bool portalWorks;
        int fehExit;
        QString method;
        QStringList journal;
    };
    const QString feh = QStringLiteral("feh"), xwallpaper = QStringLiteral("xwallpaper"), gsettings = QStringLiteral("gsettings");
    const QString portal = QStringLiteral("SetWallpaperFile");
    const Case cases[] = {
        {{gsettings, feh}, true, 0, QStringLiteral("portal"), {gsettings, portal}},
        {{feh, xwallpaper}, false, 0, feh, {portal, feh}},
        {{feh, xwallpaper}, false, 1, xwallpaper, {portal, feh, xwallpaper}},
        {{xwallpaper}, false, 0, xwallpaper, {portal, xwallpaper}},
        {{}, false, 0, QString(), {portal}},
    };
    env.vars[QStringLiteral("DISPLAY")] = QStringLiteral(":0");
    runner.gsettings.clear(); // the schema is missing
    for (const Case &c : cases) {
        journal.clear();
        runner.installed = QSet<QString>(c.installed.begin(), c.installed.end());
        runner.exitCodes[feh] = c.fehExit;
        bus.portalReply = c.portalWorks ? PortalResponse{true, {}, 0, {}} : PortalResponse{false, QStringLiteral("no portal"), 2, {}};
        const WallpaperResult result = setOn("GNOME");
        EXPECT_EQ(result.ok, !c.method.isEmpty());
        EXPECT_EQ(result.method, c.method);
        EXPECT_EQ(journal, c.journal) << c.method.toStdString();
    }
    const QStringList feh_{"feh", "--no-fehbg", "--bg-scale", picture}, xwallpaper_{"xwallpaper", "--stretch", picture};
    EXPECT_EQ(runner.calls, (QList<QStringList>{gsettingsCall("list-keys", kGnome), feh_, feh_, xwallpaper_, xwallpaper_}));

    // feh and xwallpaper paint the X root window, which a Wayland compositor never shows.
    journal.clear();
    env.vars[QStringLiteral("WAYLAND_DISPLAY")] = QStringLiteral("wayland-0");
    runner.installed = {feh};
    EXPECT_FALSE(setOn("GNOME").ok);
    EXPECT_EQ(journal, QStringList{portal});
}

TEST_F(WallpaperSetterTest, TheReasonListsEveryAttempt)
{
    struct Case {
        QHash<QString, QString> vars;
        QString reason;
    };
    const QString portalError = QStringLiteral("portal: org.freedesktop.DBus.Error.ServiceUnknown: The name is not activatable\n");
    const Case cases[] = {
        {{{"XDG_CURRENT_DESKTOP", "GNOME"}, {"DISPLAY", ":0"}},
         "No way of setting the wallpaper worked:\nGNOME (gsettings): gsettings is not installed\n" + portalError
             + "feh: not installed\nxwallpaper: not installed"},
        {{{"XDG_CURRENT_DESKTOP", "Hyprland"}, {"DESKTOP_SESSION", "hyprland"}},
         "No way of setting the wallpaper worked:\ndesktop settings: desktop not recognised (XDG_CURRENT_DESKTOP "
         "\"Hyprland\", DESKTOP_SESSION \"hyprland\")\n"
             + portalError + "feh, xwallpaper: no X display (DISPLAY is not set)"},
        {{{"XDG_CURRENT_DESKTOP", "GNOME"}, {"FLATPAK_ID", "org.example.Tavi"}, {"DISPLAY", ":0"}},
         "No way of setting the wallpaper worked:\ndesktop settings: not reachable from inside a flatpak or snap sandbox\n"
             + portalError.chopped(1)},
    };
    runner.installed.clear();
    for (const Case &c : cases) {
        env.vars = c.vars;
        const WallpaperResult result = setter.set(picture);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.reason.toStdString(), c.reason.toStdString());
    }

    const WallpaperResult missing = setter.set(dir.filePath(QStringLiteral("gone.bmp")));
    EXPECT_EQ(missing.reason, QStringLiteral("The picture %1 does not exist.").arg(dir.filePath(QStringLiteral("gone.bmp"))));
}

TEST_F(WallpaperSetterTest, InASandboxOnlyThePortalIsAsked)
{
    struct Case {
        const char *variable;
        const char *file;
    };
    const Case cases[] = {{"FLATPAK_ID", nullptr}, {nullptr, "/.flatpak-info"}, {"SNAP", nullptr}};
    bus.portalReply = {true, {}, 0, {}};
    for (const Case &c : cases) {
        env = FakeEnvironment();
        env.vars[QStringLiteral("DISPLAY")] = QStringLiteral(":0");
        if (c.variable)
            env.vars[QString::fromLatin1(c.variable)] = QStringLiteral("x");
        if (c.file)
            env.files << QString::fromLatin1(c.file);
        journal.clear();
        EXPECT_EQ(setOn("GNOME").method, QStringLiteral("portal"));
        EXPECT_EQ(journal, QStringList{QStringLiteral("SetWallpaperFile")});
    }

    const FakeBus::Call &call = bus.calls.last();
    EXPECT_EQ(call.service, QStringLiteral("org.freedesktop.portal.Desktop"));
    EXPECT_EQ(call.path, QStringLiteral("/org/freedesktop/portal/desktop"));
    EXPECT_EQ(call.interface, QStringLiteral("org.freedesktop.portal.Wallpaper"));
    EXPECT_EQ(call.arguments.value(0), QVariant(QString()));
    EXPECT_EQ(call.arguments.value(2).toMap(),
              (QVariantMap{{QStringLiteral("set-on"), QStringLiteral("background")}, {QStringLiteral("show-preview"), false}}));
    EXPECT_EQ(bus.portalFile, picture);

    bus.portalReply = {true, {}, 1, {}};
    EXPECT_TRUE(setOn("GNOME").reason.endsWith(QStringLiteral("portal: the request was cancelled")));
}

TEST_F(WallpaperSetterTest, PlasmaGetsAlternatingCopiesAndTheOneInUseStays)
{
    const QString a = dir.filePath(QStringLiteral("壁纸 it's \"q\"/Mix-plasma-a.bmp"));
    const QString b = dir.filePath(QStringLiteral("壁纸 it's \"q\"/Mix-plasma-b.bmp"));
    QString scriptUri, previousDuringCall;
    QString previous;
    bus.duringCall = [&] {
        const QString script = bus.calls.last().arguments.value(0).toString();
        scriptUri = script.section(QLatin1Char('"'), 1, 1);
        previousDuringCall = previous.isEmpty() ? QString() : readAll(previous);
    };

    struct Step {
        QByteArray content;
        QString handedOver;
    };
    const Step steps[] = {{"first", a}, {"second", b}, {"third", a}};
    for (const Step &step : steps) {
        writePicture(step.content);
        const WallpaperResult result = setOn("KDE");
        EXPECT_EQ(result.method, QStringLiteral("KDE Plasma"));
        EXPECT_EQ(scriptUri, QUrl::fromLocalFile(step.handedOver).toString(QUrl::FullyEncoded));
        EXPECT_EQ(readAll(step.handedOver), QString::fromLatin1(step.content));
        if (!previous.isEmpty()) {
            EXPECT_NE(previousDuringCall, QStringLiteral("<missing>")) << "the copy on screen was removed during the call";
        }
        EXPECT_FALSE(QFile::exists(step.handedOver == a ? b : a));
        previous = step.handedOver;
    }

    const QString script = bus.calls.last().arguments.value(0).toString();
    EXPECT_EQ(bus.calls.last().service + bus.calls.last().path, QStringLiteral("org.kde.plasmashell/PlasmaShell"));
    EXPECT_EQ(bus.calls.last().interface + '.' + bus.calls.last().method, QStringLiteral("org.kde.PlasmaShell.evaluateScript"));
    for (const char *line : {"d.wallpaperPlugin = \"org.kde.image\";",
                             "d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];",
                             "d.writeConfig(\"Image\", uri);", "d.writeConfig(\"FillMode\", 0);"})
        EXPECT_TRUE(script.contains(QLatin1String(line))) << line;

    // Nothing worked: the copy just made goes, the one on screen stays.
    bus.plasmaReply = {false, QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown: no plasmashell"), {}};
    writePicture("fourth");
    EXPECT_FALSE(setOn("KDE").ok);
    EXPECT_EQ(bus.portalFile, b);
    EXPECT_FALSE(QFile::exists(b));
    EXPECT_EQ(readAll(a), QStringLiteral("third"));
}

TEST(WallpaperQuoting, GVariantStringsSurviveQuotesBackslashesAndControls)
{
    struct Case {
        QString text;
        QString literal;
    };
    const Case cases[] = {
        {QStringLiteral("stretched"), QStringLiteral("'stretched'")},
        {QStringLiteral("it's"), QStringLiteral(R"('it\'s')")},
        {QStringLiteral(R"(a\b)"), QStringLiteral(R"('a\\b')")},
        {QStringLiteral("壁纸 \"q\""), QStringLiteral("'壁纸 \"q\"'")},
        {QStringLiteral("a\nb"), QStringLiteral(R"('a\u000ab')")},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(gvariantString(c.text), c.literal);
        EXPECT_EQ(parseGVariantString(c.literal.toUtf8() + '\n'), c.text);
    }
}

TEST(WallpaperQuoting, ReadsWhatGSettingsPrints)
{
    struct Case {
        QByteArray printed;
        std::optional<QString> value;
    };
    const Case cases[] = {
        {"'stretched'\n", QStringLiteral("stretched")},
        {"\"it's\"\n", QStringLiteral("it's")},             // double quotes when the text has a single one
        {R"("it's \"q\"")", QStringLiteral("it's \"q\"")},
        {R"('\u00e9\U0001f600\t')", QStringLiteral("é\U0001F600\t")},
        {"'壁纸'", QStringLiteral("壁纸")},
        {"''", QString()},
        {"'a' 'b'", std::nullopt},
        {"@as []", std::nullopt},
        {"'open", std::nullopt},
        {R"('a\')", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseGVariantString(c.printed), c.value) << c.printed.toStdString();
}

TEST(WallpaperQuoting, JavaScriptAndSwayArguments)
{
    EXPECT_EQ(javaScriptString(QStringLiteral("file:///a")), QStringLiteral(R"("file:///a")"));
    EXPECT_EQ(javaScriptString(QStringLiteral(R"(say "hi" \)")), QStringLiteral(R"("say \"hi\" \\")"));
    EXPECT_EQ(javaScriptString(QStringLiteral("a\nb\u2028")), QStringLiteral(R"("a\u000ab\u2028")"));

    struct Case {
        QString path;
        std::optional<QString> argument;
    };
    const Case cases[] = {
        {QStringLiteral("/home/u/Mix.bmp"), QStringLiteral("/home/u/Mix.bmp")},
        {QStringLiteral("/home/u/壁纸/Mix-1.bmp"), QStringLiteral("/home/u/壁纸/Mix-1.bmp")},
        {QStringLiteral("/a  b/Mix.bmp"), QStringLiteral(R"("/a\\ \\ b/Mix.bmp")")},
        {QStringLiteral(R"(/it's/"q"$x)"), QStringLiteral(R"("/it\\'s/\\\"q\\\"\\$x")")},
        {QStringLiteral("/a\nb"), std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(swayPathArgument(c.path), c.argument) << c.path.toStdString();
}

TEST(WallpaperQuoting, ShellWordsSurviveAShell)
{
    EXPECT_EQ(shellWord(QStringLiteral("/opt/tavi/")), QStringLiteral("/opt/tavi/"));
    EXPECT_EQ(shellWord(QString()), QStringLiteral("''"));
    for (const QString &text : {QStringLiteral("/home/u/我的 笔记/"), QStringLiteral("it's $HOME `x` \\ \"q\"")}) {
        QProcess shell;
        shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("printf %s ") + shellWord(text)});
        ASSERT_TRUE(shell.waitForFinished());
        EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()), text);
    }
}

} // namespace
