#pragma once

#include "desktop/WallpaperSetter.h"

#include <QDBusConnection>
#include <QProcessEnvironment>

#include <chrono>

// The wallpaper setter's real surroundings: the process environment,
// QProcess and the D-Bus session bus.
namespace tavi {

class SystemEnvironment : public DesktopEnvironment {
public:
    QString value(const char *name) const override;
    bool fileExists(const QString &path) const override;
};

class ProcessRunner : public CommandRunner {
public:
    // Children get environment; a child still running after timeout is killed.
    explicit ProcessRunner(QProcessEnvironment environment = QProcessEnvironment::systemEnvironment(),
                           std::chrono::milliseconds timeout = std::chrono::seconds(15));
    bool isInstalled(const QString &program) const override;
    CommandResult run(const QString &program, const QStringList &arguments) override;

private:
    QString find(const QString &program) const;

    QProcessEnvironment m_environment;
    std::chrono::milliseconds m_timeout;
};

class SessionDBus : public DBusCaller {
public:
    // The portal may show a dialog first, so its answer is awaited for a while.
    explicit SessionDBus(QDBusConnection bus = QDBusConnection::sessionBus(),
                         std::chrono::milliseconds responseTimeout = std::chrono::seconds(30));
    DBusCallResult call(const QString &service, const QString &path, const QString &interface, const QString &method,
                        const QVariantList &arguments) override;
    PortalResponse request(const QString &service, const QString &path, const QString &interface,
                           const QString &method, const QVariantList &arguments) override;

private:
    QDBusConnection m_bus;
    std::chrono::milliseconds m_responseTimeout;
};

} // namespace tavi
