#include "xcamera.h"

#include <QFile>

#include "capture/diskfollower.h"
#include "indicator/iconcatalogue.h"
#include "providers/statusreport.h"
#include "settings/xinisystem.h"
#include "univ_modules/xprocess.h"
#include "xinfodata.h"

bool vantel_cameraAppFound = false;

namespace {

const DiskActionIcons kIcons = {ICON_CAMICON, ICON_CAMWORK, ICON_CAMOK, ICON_CAMERROR};

} // namespace

XCamera::XCamera(QObject* parent)
    : QObject(parent)
    , iconPath(vantel_iconPath(ICON_NULL))
    , disk(new DiskFollower(this))
    , cameraApp(vantel_settings ? vantel_settings->xini_entryValue(DATA_CAMERA_APP) : QString())
    , runner(new xprocess(parent))
{
}

// Deleting the runner ends a camera application it still runs.
XCamera::~XCamera()
{
    delete runner;
}

int XCamera::xcam_getStatus(QString& value, QString& icon)
{
    VANTEL_TRACE_HEADER("XCamera::xcam_getStatus");
    bool available = false;
    if (disk->reachable()) {
        // Once found, the file is not looked for again in the library's life.
        if (!vantel_cameraAppFound && !cameraApp.isEmpty() && QFile::exists(cameraApp))
            vantel_cameraAppFound = true;
        available = vantel_cameraAppFound;
    }
    valueText.clear();

    // The launch waits for the application to start, so it never stays pending.
    const int ret = disk->step(
        state, available, kIcons, iconPath,
        [this] {
            launch();
            return launchResult == XPRC_OK ? ActionOutcome::Succeeded : ActionOutcome::Failed;
        },
        [] { return ActionOutcome::Pending; });

    value = valueText;
    icon = iconPath;
    VANTEL_TRACE(TRC_MASK_NORMAL, vantel_statusReport(QString::number(state), valueText, iconPath, ret));
    return ret;
}

// Blocks until the application has started, or for at most 30 s.
void XCamera::launch()
{
    if (!runner) {
        launchResult = XPRC_GENERAL_ERROR;
        return;
    }
    launchResult = runner->xprc_run(nullptr, QString(), cameraApp, QStringLiteral("MODE=2"), launchMessage, false);
}

void XCamera::slt_InternalCommunication(int val, int, int)
{
    disk->message(val);
}

void XCamera::AddUsbDisk(int idVolume)
{
    disk->AddUsbDisk(idVolume);
}

void XCamera::RemoveUsbDisk(int idVolume)
{
    disk->RemoveUsbDisk(idVolume);
}
