// A host in miniature: links the installed libraries, calls them, and also
// resolves an entry point at run time as a host loading the library would.
#include <QApplication>
#include <QFile>
#include <QLibrary>
#include <QTextStream>

#include <tracel.h>
#include <vantelapi.h>
#include <xbartitle.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);

    unsigned long v[5] = {};
    if (VANTEL_GetLibVer(&v[0], &v[1], &v[2], &v[3], &v[4]) != 0)
        return 1;

    QLibrary library(QStringLiteral(VANTEL_LIBRARY));
    auto getVersion = reinterpret_cast<VANTEL_GetLibVer_t>(library.resolve("VANTEL_GetLibVer"));
    unsigned long major = 0, minor = 0, release = 0, build = 0, extra = 0;
    if (!getVersion || getVersion(&major, &minor, &release, &build, &extra) != 0 || build != v[3])
        return 2;

    const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"consumer");
    if (!log)
        return 3;
    TRACEL_PrintDebugLog(log, 4096, u"%s", u"consumer started");
    TRACEL_CloseDebugLog(log);

    XBarTitle bar;
    if (!QFile::exists(QStringLiteral(VANTEL_ICONS "/battery_full.svg")))
        return 4;

    out << "vantel " << v[0] << '.' << v[1] << '.' << v[2] << '.' << v[3] << Qt::endl;
    return 0;
}
