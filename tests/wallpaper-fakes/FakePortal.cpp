// A stand-in for xdg-desktop-portal's wallpaper interface on a private bus.
//
//   fake-portal RECORD [RESPONSE|never]
//
// SetWallpaperFile writes the bytes read from the descriptor it was given to
// RECORD and its parent window and options as JSON to RECORD.json, then
// answers through a Request object with RESPONSE (default 0), or never.
// Prints "ready" once it owns org.freedesktop.portal.Desktop.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <cstdio>
#include <optional>

#include <unistd.h>

class FakeWallpaperPortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Wallpaper")
public:
    FakeWallpaperPortal(QString record, std::optional<uint> response)
        : m_record(std::move(record)), m_response(response)
    {
    }

public slots:
    QDBusObjectPath SetWallpaperFile(const QString &parentWindow, const QDBusUnixFileDescriptor &fd,
                                     const QVariantMap &options)
    {
        QByteArray bytes;
        char buffer[65536];
        for (ssize_t n; (n = ::pread(fd.fileDescriptor(), buffer, sizeof buffer, bytes.size())) > 0;)
            bytes.append(buffer, n);
        QFile picture(m_record);
        if (picture.open(QIODevice::WriteOnly))
            picture.write(bytes);
        QFile json(m_record + QStringLiteral(".json"));
        if (json.open(QIODevice::WriteOnly)) {
            json.write(QJsonDocument(QJsonObject{{QStringLiteral("parent_window"), parentWindow},
                                                 {QStringLiteral("options"), QJsonObject::fromVariantMap(options)}})
                           .toJson());
        }

        const QString sender = message().service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString token = options.value(QStringLiteral("handle_token"), QStringLiteral("t%1").arg(++m_requests)).toString();
        const QString handle = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
        if (m_response) {
            // After the reply carrying the handle has gone out, as the real portal does.
            QTimer::singleShot(0, this, [handle, code = *m_response] {
                QDBusMessage signal = QDBusMessage::createSignal(handle, QStringLiteral("org.freedesktop.portal.Request"),
                                                                 QStringLiteral("Response"));
                signal << code << QVariantMap();
                QDBusConnection::sessionBus().send(signal);
            });
        }
        return QDBusObjectPath(handle);
    }

private:
    QString m_record;
    std::optional<uint> m_response;
    int m_requests = 0;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: fake-portal RECORD [RESPONSE|never]\n");
        return 2;
    }
    std::optional<uint> response = 0;
    if (args.size() > 2)
        response = args[2] == QLatin1String("never") ? std::nullopt : std::optional<uint>(args[2].toUInt());

    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeWallpaperPortal portal(args[1], response);
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal, QDBusConnection::ExportAllSlots)
        || !bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"))) {
        std::fprintf(stderr, "fake-portal: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "FakePortal.moc"
