#include "library/tracelwrapper.h"

namespace {

// QString::utf16() is const ushort* in Qt 5 and const char16_t* in Qt 6.
const char16_t* utf16(const QString& text)
{
    return reinterpret_cast<const char16_t*>(text.utf16());
}

} // namespace

Tracel::Tracel(QObject* parent)
    : QObject(parent)
{
}

Tracel::~Tracel()
{
    trc_close();
}

void Tracel::trc_open(QString name)
{
    if (handle == 0)
        handle = TRACEL_OpenDebugLog(utf16(name));
}

void Tracel::trc_close()
{
    if (handle != 0) {
        TRACEL_CloseDebugLog(handle);
        handle = 0;
    }
}

void Tracel::trc_print(int mask, QString text, bool enabled)
{
    if (handle != 0 && enabled)
        TRACEL_PrintDebugLog(handle, mask, u"%s", utf16(text));
}

void Tracel::trc_message(QtMsgType type, const char* msg)
{
    if (handle == 0)
        return;
    const QString text(msg);
    switch (type) {
    case QtDebugMsg:
        TRACEL_PrintDebugLog(handle, 1024, u"%s", utf16(text));
        break;
    case QtWarningMsg:
        TRACEL_PrintDebugLog(handle, 512, u"[WARNING]:%s", utf16(text));
        break;
    case QtCriticalMsg:
        TRACEL_PrintDebugLog(handle, 256, u"[CRITICAL]:%s", utf16(text));
        break;
    case QtFatalMsg:
        // Logged only: ending the process is the host's decision.
        TRACEL_PrintDebugLog(handle, 256, u"[FATAL]:%s", utf16(text));
        break;
    default:
        break;
    }
}
