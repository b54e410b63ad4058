// The icon catalogue: 59 icon file names resolved once against the host's
// icon directories. Providers hand out the resolved paths.
#ifndef ICONCATALOGUE_H
#define ICONCATALOGUE_H

#include <QString>
#include <QVector>

struct structVANTEL_PROGRAMDATA;

struct IconEntry {
    QString name;
    QString dir;
    QString path;
    int kind = -1;
};

// Catalogue indices, in table order.
enum {
    ICON_NULL = 0,
    ICON_BATTERY_EMPTY = 1,
    ICON_BATTERY_CHARGE = 2,
    ICON_BATTERY_VERYLOW = 3,
    ICON_BATTERY_LOW = 4,
    ICON_BATTERY_HALF = 5,
    ICON_BATTERY_HIGH = 6,
    ICON_BATTERY_FULL = 7,
    ICON_WIFI_ON = 8,
    ICON_WIFI_VERYLOW = 9,
    ICON_WIFI_LOW = 10,
    ICON_WIFI_HALF = 11,
    ICON_WIFI_HIGH = 12,
    ICON_BLUETOOTH_ON = 13,
    ICON_BLUETOOTH_CONNECT = 14,
    ICON_ETHERNET_ON = 15,
    ICON_ETHERNET_CONNECTED = 16,
    ICON_ETHERNET_NOTEXTERNAL = 17,
    ICON_VCI_ON = 18,
    ICON_VCI_CONNECTED = 19,
    ICON_VCI_NOTCONNECTED = 20,
    ICON_DOWNLOAD_ON = 26,
    ICON_DOWNLOAD_FINISH = 27,
    ICON_LECTER = 31,
    ICON_OK = 32,
    ICON_INFO = 33,
    ICON_HELPWHITE = 34,
    ICON_ERROR = 35,
    ICON_BATTVEHERROR = 36,
    ICON_BATTVEHICON = 37,
    ICON_SCRCAPTICON = 38,
    ICON_SCRCAPTDISABLED = 39,
    ICON_SCRCAPTWORK = 40,
    ICON_SCRCAPTOK = 41,
    ICON_SCRCAPTERROR = 42,
    ICON_CAMICON = 43,
    ICON_CAMDISABLED = 44,
    ICON_CAMWORK = 45,
    ICON_CAMOK = 46,
    ICON_CAMERROR = 47,
    ICON_INTERNETONLINE = 48,
    ICON_INTERNETOFFLINE = 49,
    ICON_BRIGHTNESS_LOW = 50,
    ICON_BRIGHTNESS_HALF = 51,
    ICON_BRIGHTNESS_HIGH = 52,
    ICON_BRIGHTNESS_FULL = 53,
    ICON_KEYBOARD_WHITE = 54,
    ICON_KEYBOARD_ERROR = 55,
    ICON_KEYBOARD_WORK = 56,
    ICON_KEYBOARD_OK = 57,
    ICON_KEYBOARD_ERROR2 = 58,
    ICON_COUNT = 59
};

// Fills the names and resolves every entry (SVG falling back to PNG per file).
bool vantel_buildIcons(QVector<IconEntry>& icons, const structVANTEL_PROGRAMDATA& data);

// The resolved path of catalogue entry `index`; empty when the catalogue has
// not been built or the index is out of range.
QString vantel_iconPath(int index);

#endif
