// A host built out of the tree against the installed packages: it opens the
// library with the installed icon set, gets the fourteen indicators, puts them
// on a title bar, waits for a poll and closes; the settings file must then exist. Exit 0 when all of it worked.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "vantelapi.h"
#include "xbartitle.h"
#include "xinfo.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The icon folder as the package's CMake or pkg-config file gives it.
    const QString icons = QStringLiteral(VANTEL_ICON_DIR);
    QTemporaryDir home;
    if (!home.isValid() || !QDir(icons).exists(QStringLiteral("battery_full.svg"))) {
        std::fprintf(stderr, "vantel-consumer: no temporary folder, or no icon set in %s\n", qPrintable(icons));
        return 1;
    }
    structVANTEL_PROGRAMDATA data;
    data.pathImages = data.pathImagesAlt = icons;
    data.pathIni = home.filePath(QStringLiteral("system.ini"));
    XBarTitle bar;
    QVector<XInfo*> indicators;
    int next = 0;
    if (VANTEL_OpenLib() != VANTEL_RET_OK || VANTEL_InitLib() != VANTEL_RET_OK
        || VANTEL_SetProgramData(&data) != VANTEL_RET_OK || VANTEL_getProgramInfo(indicators) != VANTEL_RET_OK
        || indicators.size() != IND_TYPE_COUNT || VANTEL_indicatorAdd(&bar, 0, next) != VANTEL_RET_OK) {
        std::fprintf(stderr, "vantel-consumer: the library did not open (%d indicators)\n",
                     int(indicators.size()));
        return 1;
    }
    QTimer::singleShot(2500, &app, &QCoreApplication::quit);
    QApplication::exec();
    VANTEL_CloseLib();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::printf("vantel-consumer: %d indicators, last position %d, settings %s\n", int(indicators.size()), next,
                QFileInfo::exists(data.pathIni) ? "written" : "missing");
    return QFileInfo::exists(data.pathIni) ? 0 : 1;
}
