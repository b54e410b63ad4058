#include "xscreencapture.h"

#include <QGuiApplication>
#include <QSaveFile>
#include <QScreen>

#include "capture/diskfollower.h"
#include "capture/pngencoder.h"
#include "capture/removablevolumes.h"
#include "indicator/iconcatalogue.h"
#include "platform.h"
#include "providers/statusreport.h"
#include "xinfodata.h"

namespace {

const DiskActionIcons kIcons = {ICON_SCRCAPTICON, ICON_SCRCAPTWORK, ICON_SCRCAPTOK, ICON_SCRCAPTERROR};

// What a capture has come to: pending while the platform has not answered.
ActionOutcome outcome(bool pending, bool saved)
{
    return pending ? ActionOutcome::Pending : saved ? ActionOutcome::Succeeded : ActionOutcome::Failed;
}

// The whole virtual desktop from its origin, every screen's area in one
// picture; null where the desktop cannot be read. A Wayland desktop is read
// by the platform, whatever Qt platform the host runs on: Qt cannot. Its
// answer may come at a later poll (`Pending`).
vantel::platform::GrabState grabDesktop(QScreen* screen, QPixmap& picture)
{
    using vantel::platform::GrabState;
    picture = QPixmap();
    if (vantel::platform::ScreenGrab* grab = vantel::platform::backend().screenGrab()) {
        vantel::platform::ScreenPicture desktop;
        const GrabState state = grab->grabDesktop(desktop);
        if (state == GrabState::Taken) {
            // A copy: the raster pixmap would share the image's memory, which
            // goes with `desktop`.
            const QImage image(reinterpret_cast<const uchar*>(desktop.pixels.data()), desktop.width, desktop.height,
                               desktop.width * 4, QImage::Format_RGB32);
            picture = QPixmap::fromImage(image.copy());
        }
        return state;
    }
    if (!screen)
        return GrabState::Failed;
    const QRect desktop = screen->virtualGeometry();
    picture = screen->grabWindow(0, 0, 0, desktop.width(), desktop.height());
    return GrabState::Taken;
}

// The file gets its name only once it is whole and flushed to the disk
// (QSaveFile writes an unnamed or temporary file beside it), so a full or
// pulled disk leaves no half a PNG behind, and the outcome icon means the
// stick may be pulled.
bool savePng(const QPixmap& picture, const QString& file)
{
    const QByteArray png = PngEncoder().encode(picture.toImage());
    if (png.isEmpty())
        return false;
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(png) == png.size() && out.commit();
}

} // namespace

XScreenCapture::XScreenCapture(QObject* parent)
    : QObject(parent)
    , iconPath(vantel_iconPath(ICON_NULL))
    , disk(new DiskFollower(this))
    , desktop(QGuiApplication::primaryScreen())
{
}

XScreenCapture::~XScreenCapture()
{
    dropPendingGrab();
}

int XScreenCapture::xscc_getStatus(QString& value, QString& icon)
{
    VANTEL_TRACE_HEADER("XScreenCapture::xscc_getStatus");
    const bool present = disk->reachable();
    if (!present)
        dropPendingGrab();
    valueText = QString();
    // A pending grab is asked again at each query: the platform's answer, if it has come.
    const auto capture = [this] {
        const bool saved = xscc_captureproc();
        return outcome(grabPending, saved);
    };
    const int ret = disk->step(state, present, kIcons, iconPath, capture,
                               [&] { return grabPending ? capture() : ActionOutcome::Pending; });

    value = valueText;
    icon = iconPath;
    VANTEL_TRACE(TRC_MASK_NORMAL, vantel_statusReport(QString::number(state), valueText, iconPath, ret));
    return ret;
}

bool XScreenCapture::xscc_captureproc()
{
    // Checked again at each poll of a pending grab: the disk may have changed.
    const QString path = disk->path();
    QString root;
    QString directory;
    QString file;
    if (path.isEmpty() || !vantel_checkDir(path, QString(), root, false)
        || !vantel_checkDir(root, QStringLiteral("Screenshot"), directory, true)
        || !vantel_uniqueFileName(directory, QStringLiteral("img"), QString(), QStringLiteral("png"), file)) {
        dropPendingGrab();
        return false;
    }

    if (!desktop) // the screen it was made with has gone
        desktop = QGuiApplication::primaryScreen();
    const vantel::platform::GrabState grabbed = grabDesktop(desktop, picture);
    grabPending = grabbed == vantel::platform::GrabState::Pending;
    return grabbed == vantel::platform::GrabState::Taken && savePng(picture, file);
}

void XScreenCapture::dropPendingGrab()
{
    if (!grabPending)
        return;
    grabPending = false;
    if (vantel::platform::ScreenGrab* grab = vantel::platform::backend().screenGrab())
        grab->cancel();
}

void XScreenCapture::slt_capture()
{
    const bool saved = xscc_captureproc();
    disk->settle(outcome(grabPending, saved), state, kIcons, iconPath);
}

void XScreenCapture::slt_InternalCommunication(int val, int, int)
{
    disk->message(val);
}

void XScreenCapture::AddUsbDisk(int idVolume)
{
    disk->AddUsbDisk(idVolume);
}

void XScreenCapture::RemoveUsbDisk(int idVolume)
{
    disk->RemoveUsbDisk(idVolume);
}
