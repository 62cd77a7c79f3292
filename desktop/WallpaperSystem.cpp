#include "desktop/WallpaperSystem.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTimer>

namespace tavi {

namespace {

const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");

// Receives org.freedesktop.portal.Request.Response; QtDBus delivers signals
// only to slots of QObjects.
class ResponseCatcher : public QObject {
    Q_OBJECT
public:
    bool received = false;
    uint response = 2;
    QVariantMap results;

signals:
    void answered();

public slots:
    void onResponse(uint code, const QVariantMap &values)
    {
        if (received)
            return;
        received = true;
        response = code;
        results = values;
        emit answered();
    }
};

QString errorText(const QDBusMessage &reply)
{
    return reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
}

} // namespace

QString SystemEnvironment::value(const char *name) const
{
    return qEnvironmentVariable(name);
}

bool SystemEnvironment::fileExists(const QString &path) const
{
    return QFileInfo::exists(path);
}

ProcessRunner::ProcessRunner(QProcessEnvironment environment, std::chrono::milliseconds timeout)
    : m_environment(std::move(environment)), m_timeout(timeout)
{
}

QString ProcessRunner::find(const QString &program) const
{
    const QStringList path = m_environment.value(QStringLiteral("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return QStandardPaths::findExecutable(program, path);
}

bool ProcessRunner::isInstalled(const QString &program) const
{
    return !find(program).isEmpty();
}

CommandResult ProcessRunner::run(const QString &program, const QStringList &arguments)
{
    CommandResult result;
    const QString executable = find(program);
    if (executable.isEmpty()) {
        result.err = "not found on PATH";
        return result;
    }
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(executable, arguments);
    if (!process.waitForStarted()) {
        result.err = process.errorString().toUtf8();
        return result;
    }
    result.started = true;
    if (!process.waitForFinished(int(m_timeout.count()))) {
        process.kill();
        process.waitForFinished();
        result.err = QByteArray("did not finish within ") + QByteArray::number(m_timeout.count() / 1000) + " s";
        return result;
    }
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    else
        result.err.prepend("crashed. ");
    return result;
}

SessionDBus::SessionDBus(QDBusConnection bus, std::chrono::milliseconds responseTimeout)
    : m_bus(std::move(bus)), m_responseTimeout(responseTimeout)
{
}

DBusCallResult SessionDBus::call(const QString &service, const QString &path, const QString &interface,
                                 const QString &method, const QVariantList &arguments)
{
    if (!m_bus.isConnected())
        return {false, QStringLiteral("no D-Bus session bus (%1)").arg(m_bus.lastError().message()), {}};
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = m_bus.call(message, QDBus::Block, 25000);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {false, errorText(reply), {}};
    return {true, {}, reply.arguments()};
}

PortalResponse SessionDBus::request(const QString &service, const QString &path, const QString &interface,
                                    const QString &method, const QVariantList &arguments)
{
    PortalResponse answer;
    if (!m_bus.isConnected()) {
        answer.error = QStringLiteral("no D-Bus session bus (%1)").arg(m_bus.lastError().message());
        return answer;
    }

    // The request object's path follows from our bus name and a token we
    // choose, so the Response can be listened for before the call is made
    // and cannot slip past.
    const QString token = QStringLiteral("tavi%1").arg(QRandomGenerator::global()->generate());
    QVariantList withToken = arguments;
    QVariantMap options = withToken.isEmpty() ? QVariantMap() : withToken.takeLast().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    withToken << options;
    const QString sender = m_bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString expected = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);

    ResponseCatcher catcher;
    const char *slot = SLOT(onResponse(uint, QVariantMap));
    const QString response = QStringLiteral("Response");
    m_bus.connect(QString(), expected, kRequestInterface, response, &catcher, slot);

    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(withToken);
    const QDBusMessage reply = m_bus.call(message, QDBus::Block, 25000);
    QString handle = expected;
    if (reply.type() != QDBusMessage::ReplyMessage) {
        answer.error = errorText(reply);
    } else {
        // Portals older than the handle_token convention choose their own path.
        handle = reply.arguments().value(0).value<QDBusObjectPath>().path();
        if (handle != expected && !handle.isEmpty())
            m_bus.connect(QString(), handle, kRequestInterface, response, &catcher, slot);
        if (!catcher.received) {
            QEventLoop loop;
            QObject::connect(&catcher, &ResponseCatcher::answered, &loop, &QEventLoop::quit);
            QTimer::singleShot(m_responseTimeout, &loop, &QEventLoop::quit);
            // The user's clicks and keys wait until the answer is in: a second
            // apply started now would move the background index twice and
            // rewrite the pictures the portal is reading.
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
        if (catcher.received) {
            answer.answered = true;
            answer.response = catcher.response;
            answer.results = catcher.results;
        } else {
            answer.error = QStringLiteral("no answer within %1 s").arg(m_responseTimeout.count() / 1000.0);
            // Closes a dialog the portal may still be showing.
            m_bus.send(QDBusMessage::createMethodCall(service, handle, kRequestInterface, QStringLiteral("Close")));
        }
    }
    m_bus.disconnect(QString(), expected, kRequestInterface, response, &catcher, slot);
    if (handle != expected)
        m_bus.disconnect(QString(), handle, kRequestInterface, response, &catcher, slot);
    return answer;
}

} // namespace tavi

#include "WallpaperSystem.moc"
