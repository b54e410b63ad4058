// Guards the icon catalogue: per-file SVG to PNG fallback in a directory that
// mixes both, the shared keyboard icon, and directories kept from the first
// build.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "indicator/iconcatalogue.h"
#include "vantelapi.h"

namespace {

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class tst_IconCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void resolvesPerFile()
    {
        QTemporaryDir dir;
        touch(dir.filePath(QStringLiteral("battery_full.svg")));
        touch(dir.filePath(QStringLiteral("wifi_on.png")));
        touch(dir.filePath(QStringLiteral("keyboard_error.png")));
        structVANTEL_PROGRAMDATA data;
        data.pathImages = dir.path();
        data.pathImagesAlt = dir.filePath(QStringLiteral("alt"));

        QVector<IconEntry> icons;
        QVERIFY(vantel_buildIcons(icons, data));
        QCOMPARE(icons.size(), 59);
        const QString base = dir.path() + QLatin1Char('/');
        QCOMPARE(icons[ICON_BATTERY_FULL].path, base + "battery_full.svg");
        QCOMPARE(icons[ICON_WIFI_ON].path, base + "wifi_on.png");
        QCOMPARE(icons[ICON_WIFI_ON].name, QStringLiteral("wifi_on.png"));
        QCOMPARE(icons[ICON_WIFI_VERYLOW].path, base + "wifi_verylow.png");  // neither exists
        QCOMPARE(icons[ICON_KEYBOARD_ERROR].path, icons[ICON_KEYBOARD_ERROR2].path);
        QCOMPARE(icons[ICON_KEYBOARD_ERROR].path, base + "keyboard_error.png");
    }

    // A later build resolves the names again, in the directories of the first.
    void keepsFirstDirectories()
    {
        QTemporaryDir first;
        QTemporaryDir second;
        touch(second.filePath(QStringLiteral("wifi_on.svg")));
        structVANTEL_PROGRAMDATA data;
        data.pathImages = first.path();

        QVector<IconEntry> icons;
        vantel_buildIcons(icons, data);
        QCOMPARE(icons[ICON_WIFI_ON].path, first.path() + "/wifi_on.png");

        touch(first.filePath(QStringLiteral("wifi_on.svg")));
        data.pathImages = second.path();
        vantel_buildIcons(icons, data);
        QCOMPARE(icons[ICON_WIFI_ON].path, first.path() + "/wifi_on.svg");
    }
};

QTEST_GUILESS_MAIN(tst_IconCatalogue)
#include "tst_iconcatalogue.moc"
