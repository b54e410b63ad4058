#include "portalscreengrab.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QRandomGenerator>
#include <QUrl>
#include <QVariantMap>

#include <cstring>

namespace vantel::platform {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

// The picture of a local file, as screencopy would give it.
bool loadPicture(const QString& uri, ScreenPicture& picture)
{
    const QUrl url(uri);
    if (!url.isLocalFile())
        return false;
    QImage image;
    if (!image.load(url.toLocalFile()) || image.width() > 32768 || image.height() > 32768)
        return false;
    image = image.convertToFormat(QImage::Format_RGB32);
    picture.width = image.width();
    picture.height = image.height();
    picture.pixels.resize(std::size_t(picture.width) * std::size_t(picture.height));
    for (int row = 0; row < picture.height; ++row)
        std::memcpy(&picture.pixels[std::size_t(row) * std::size_t(picture.width)], image.constScanLine(row),
                    std::size_t(picture.width) * 4);
    return true;
}

} // namespace

// One Screenshot call and its Request object, followed from before the call
// so that an answer sent at once is not missed.
class PortalRequest : public QObject
{
    Q_OBJECT
public:
    enum State { Waiting, Answered, Failed };

    void start(int timeLimitMs)
    {
        clock.start();
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            state = Failed;
            return;
        }
        // The portal names the Request object after our bus name and the token.
        const QString token =
            QStringLiteral("vantel%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        QString sender = bus.baseService().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        follow(QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token));

        auto* watcher = new QDBusServiceWatcher(portalService, bus, QDBusServiceWatcher::WatchForUnregistration, this);
        connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { state = Failed; });

        QDBusMessage call = QDBusMessage::createMethodCall(portalService, QStringLiteral("/org/freedesktop/portal/desktop"),
                                                           QStringLiteral("org.freedesktop.portal.Screenshot"),
                                                           QStringLiteral("Screenshot"));
        call << QString() << QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("interactive"), false}};
        auto* reply = new QDBusPendingCallWatcher(bus.asyncCall(call, timeLimitMs), this);
        connect(reply, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            const QDBusPendingReply<QDBusObjectPath> handle = *finished;
            if (handle.isError())
                state = Failed;
            else if (handle.value().path() != path) // a portal older than handle_token
                follow(handle.value().path());
        });
    }

    // Ends the portal's side of a request still waiting; no answer is awaited.
    void close()
    {
        if (state == Waiting)
            QDBusConnection::sessionBus().send(
                QDBusMessage::createMethodCall(portalService, path, requestInterface, QStringLiteral("Close")));
    }

    State state = Waiting;
    QString uri;
    QElapsedTimer clock;

private slots:
    void onResponse(uint response, const QVariantMap& results)
    {
        if (state != Waiting)
            return;
        uri = results.value(QStringLiteral("uri")).toString();
        state = response == 0 && !uri.isEmpty() ? Answered : Failed;
    }

private:
    void follow(const QString& handle)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString response = QStringLiteral("Response");
        if (!path.isEmpty())
            bus.disconnect(portalService, path, requestInterface, response, this,
                           SLOT(onResponse(uint, QVariantMap)));
        path = handle;
        if (!bus.connect(portalService, path, requestInterface, response, this, SLOT(onResponse(uint, QVariantMap))))
            state = Failed;
    }

    QString path;
};

PortalScreenGrab::PortalScreenGrab(int timeLimit) : timeLimitMs(timeLimit) {}

PortalScreenGrab::~PortalScreenGrab()
{
    // Qt's bus connections end with the application: a request still open
    // then is left to the end of the process.
    if (QCoreApplication::instance())
        cancel();
    else
        static_cast<void>(request.release());
}

GrabState PortalScreenGrab::grabDesktop(ScreenPicture& picture)
{
    picture = ScreenPicture();
    if (!request) {
        request = std::make_unique<PortalRequest>();
        request->start(timeLimitMs);
    }
    if (request->state == PortalRequest::Waiting && request->clock.elapsed() < timeLimitMs)
        return GrabState::Pending;
    const bool answered = request->state == PortalRequest::Answered;
    const QString uri = request->uri;
    cancel();
    return answered && loadPicture(uri, picture) ? GrabState::Taken : GrabState::Failed;
}

void PortalScreenGrab::cancel()
{
    if (request)
        request->close();
    request.reset();
}

} // namespace vantel::platform

#include "portalscreengrab.moc"
