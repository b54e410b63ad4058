#include "screenshot.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QPixmap>
#include <QTextStream>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <limits>

#include "xindicator.h"
#include "xinfo.h"

namespace {

// A poll comes about every two seconds; the first one up to a cycle after attaching.
constexpr int kMsPerPoll = 2000;
constexpr int kMsSpare = 10000;

QString rect(const QWidget* widget, const QWidget* window)
{
    const QPoint at = widget->mapTo(window, QPoint(0, 0));
    return QStringLiteral("%1 %2 %3 %4").arg(at.x()).arg(at.y()).arg(widget->width()).arg(widget->height());
}

bool isPollingThread(const QObject* object)
{
    return object->inherits("QThread") && object->metaObject()->indexOfSignal("updateStatus(bool)") >= 0;
}

} // namespace

Screenshot::Screenshot(QWidget* shownWindow, QWidget* titleBar, const QVector<XInfo*>& infos, int pollCount,
                       const QString& picture, QObject* parent)
    : QObject(parent), window(shownWindow), bar(titleBar), indicators(infos), polls(pollCount), file(picture)
{
    const qint64 limit = qint64(polls) * kMsPerPoll + kMsSpare;
    timeLimitMs = int(std::min<qint64>(limit, std::numeric_limits<int>::max()));
}

bool Screenshot::start(QString& error)
{
    const bool polled = std::any_of(indicators.cbegin(), indicators.cend(),
                                    [](const XInfo* info) { return info && info->xinfo_getEnable(); });
    if (!polled) {
        error = tr("no indicator is enabled, so nothing is polled");
        return false;
    }
    if (polls <= 0)
        QTimer::singleShot(0, this, &Screenshot::take);
    else
        QCoreApplication::instance()->installEventFilter(this);
    QTimer::singleShot(timeLimitMs, this, &Screenshot::giveUp);
    return true;
}

bool Screenshot::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MetaCall && isPollingThread(watched) && ++seen == polls) {
        QCoreApplication::instance()->removeEventFilter(this);
        // The poll itself runs after this filter: take the picture once it has.
        QTimer::singleShot(0, this, &Screenshot::take);
    }
    return false;
}

void Screenshot::take()
{
    // Indicators shown by this round's polls are laid out by posted requests.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QPixmap picture = window->grab();
    if (picture.isNull() || !picture.save(file, "PNG")) {
        std::fprintf(stderr, "vantel-demo: cannot save the picture to %s\n", qPrintable(file));
        QCoreApplication::exit(1);
        return;
    }
    saved = true;
    printGeometry(QFileInfo(file).absoluteFilePath(), picture.size());
    QCoreApplication::exit(0);
}

void Screenshot::giveUp()
{
    std::fprintf(stderr, "vantel-demo: %d of %d polls came within %d s; no picture taken\n", seen, polls,
                 timeLimitMs / 1000);
    QCoreApplication::exit(1);
}

void Screenshot::printGeometry(const QString& picturePath, const QSize& pictureSize) const
{
    QTextStream out(stdout);
    out << "picture " << pictureSize.width() << ' ' << pictureSize.height() << ' '
        << window->devicePixelRatioF() << ' ' << picturePath << '\n';
    out << "bar " << rect(bar, window) << '\n';
    for (const XInfo* info : indicators) {
        const XIndicator* widget = info ? info->xinfo_getWidget() : nullptr;
        if (!widget || !widget->isVisible())
            continue;
        const sLAYOUT_IMAGE image = info->xinfo_getImage();
        out << "indicator " << info->xinfo_getType() << ' ' << rect(widget, window) << ' '
            << image.size.width() << ' ' << image.size.height() << ' ' << image.path << '\n';
    }
}
