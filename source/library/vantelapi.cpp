#include "vantelapi.h"

#include <QtDebug>

#include <utility>

#include "capture/removablevolumes.h"
#include "library/librarycontext.h"
#include "library/vantelglobals.h"
#include "library/vantelthread.h"
#include "library/vanteltrace.h"
#include "settings/xinisystem.h"
#include "xbartitle.h"
#include "xindicator.h"
#include "xinfo.h"

Tracel* vantel_log = nullptr;
VantelThread* vantel_thread = nullptr;
structVANTEL_PROGRAMDATA* vantel_programData = nullptr;
XIniSystem* vantel_settings = nullptr;
QVector<IconEntry> vantel_icons;
QString vantel_capturePath;
QVector<XInfo*> vantel_indicators;

namespace {

const unsigned long kVersion[5] = {1, 2, 7, 3130, 0};

void vantel_openLog()
{
    if (vantel_log)
        return;
    vantel_log = new Tracel(nullptr);
    vantel_log->trc_open(QStringLiteral("vantel.dll"));
    VANTEL_TRACE(TRC_MASK_DEBUG, QStringLiteral("vantel v.%1.%2.%3.%4 %5")
                                     .arg(kVersion[0])
                                     .arg(kVersion[1])
                                     .arg(kVersion[2])
                                     .arg(kVersion[3])
                                     .arg(QString()));
}

void vantel_stopThread()
{
    for (XInfo* indicator : std::as_const(vantel_indicators)) {
        if (indicator)
            QObject::disconnect(vantel_thread, &VantelThread::updateStatus, indicator,
                                qOverload<bool>(&XInfo::xinfo_getStatus));
    }
    // A thread held past the stop's wait is left, never terminated: killed,
    // it could leave a lock of the log or of the host held for good. Its
    // object goes once it has ended; connected before the stop, as the
    // thread may be held in its finished() already.
    QObject::connect(vantel_thread, &QThread::finished, vantel_thread, &QObject::deleteLater);
    vantel_thread->stop();
    vantel_thread->quit();
}

} // namespace

int VANTEL_OpenLib()
{
    vantel_thread = nullptr;
    vantel_settings = nullptr;
    vantel_indicators.clear();
    LibraryContext::open();
    vantel_openLog();
    return VANTEL_RET_OK;
}

int VANTEL_InitLib()
{
    vantel_thread = new VantelThread(nullptr);
    vantel_thread->start(QThread::InheritPriority);
    // A host's VANTEL_indicatorAdd right after this must not lose its state
    // to the 1 that the thread writes when it starts.
    vantel_thread->waitForInitialState();
    if (vantel_thread->isRunning()) {
        VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("vantel_thread->isRunning() start"));
        return VANTEL_RET_OK;
    }
    VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("vantel_thread->isRunning() false"));
    return VANTEL_RET_FAIL;
}

int VANTEL_GetLibVer(unsigned long* major, unsigned long* minor, unsigned long* release,
                     unsigned long* build, unsigned long* extra)
{
    if (!major || !minor || !release || !build || !extra)
        return VANTEL_RET_BADARG;
    *major = kVersion[0];
    *minor = kVersion[1];
    *release = kVersion[2];
    *build = kVersion[3];
    *extra = kVersion[4];
    return VANTEL_RET_OK;
}

int VANTEL_CloseLib()
{
    if (vantel_thread)
        vantel_stopThread();

    if (vantel_log) {
        vantel_log->deleteLater();
        vantel_log = nullptr;
    }
    if (vantel_thread) {
        // A thread still running goes once it has ended.
        if (!vantel_thread->isRunning())
            vantel_thread->deleteLater();
        vantel_thread = nullptr;
    }
    if (vantel_settings) {
        vantel_settings->deleteLater();
        vantel_settings = nullptr;
    }
    for (XInfo* indicator : std::as_const(vantel_indicators)) {
        if (indicator)
            indicator->deleteLater();
    }
    vantel_indicators.clear();
    LibraryContext::close();
    return VANTEL_RET_OK;
}

int VANTEL_SetProgramData(structVANTEL_PROGRAMDATA* data)
{
    if (!data)
        return VANTEL_RET_BADARG;
    vantel_programData = data;
    vantel_buildIcons(vantel_icons, *data);

    // A second call replaces the settings; the indicators read them at set-up.
    if (vantel_settings)
        vantel_settings->deleteLater();
    vantel_settings = new XIniSystem(nullptr);
    int result = vantel_settings->xinisys_init(data->pathIni);
    if (result == 0)
        result = vantel_settings->xini_load(true);
    if (result != 0) {
        QString message;
        vantel_settings->xini_getErrorMessage(result, message);
        qWarning().noquote() << message;
        return VANTEL_RET_FAIL;
    }
    vantel_findCaptureVolume();
    return VANTEL_RET_OK;
}

int VANTEL_getProgramInfo(QVector<XInfo*>& out)
{
    qDeleteAll(vantel_indicators);
    vantel_indicators.clear();
    vantel_indicators.resize(IND_TYPE_COUNT);
    for (int type = 0; type < IND_TYPE_COUNT; ++type) {
        vantel_indicators[type] = new XInfo(nullptr);
        vantel_indicators[type]->xinfo_init(type, -1);
    }
    out = vantel_indicators;
    return VANTEL_RET_OK;
}

int VANTEL_indicatorAdd(XBarTitle* bar, int start, int& next)
{
    if (!bar)
        return VANTEL_RET_BADARG;
    int position = start;
    for (XInfo* indicator : std::as_const(vantel_indicators)) {
        position += 1;
        if (!indicator)
            continue;
        if (XIndicator* widget = indicator->xinfo_getWidget()) {
            widget->setParent(bar);
            bar->xbtle_addControl(widget, position, 1);
        }
        if (vantel_thread && indicator->xinfo_getEnable()) {
            const bool connected = QObject::connect(vantel_thread, &VantelThread::updateStatus, indicator,
                                                    qOverload<bool>(&XInfo::xinfo_getStatus),
                                                    Qt::UniqueConnection);
            if (!connected)
                qDebug() << "VANTEL_indicatorAdd" << " Not connected!";
        }
    }
    next = position;
    VANTEL_setIndicatorsStatus(INDICATORS_RUN);
    return VANTEL_RET_OK;
}

int VANTEL_setIndicatorsStatus(int status)
{
    for (XInfo* indicator : std::as_const(vantel_indicators)) {
        if (!indicator)
            continue;
        if (status == INDICATORS_SLEEP) {
            if (vantel_thread)
                QObject::disconnect(vantel_thread, &VantelThread::updateStatus, indicator,
                                    qOverload<bool>(&XInfo::xinfo_getStatus));
            indicator->xinfo_setSleep(true);
        } else if (status == INDICATORS_RUN) {
            indicator->xinfo_setSleep(false);
        }
    }
    if (vantel_thread)
        vantel_thread->setState(status);
    return VANTEL_RET_OK;
}
