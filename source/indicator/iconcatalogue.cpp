#include "indicator/iconcatalogue.h"

#include <QDir>
#include <QFileInfo>

#include "library/vantelglobals.h"
#include "vantelapi.h"

namespace {

// File names by catalogue index; null marks the unused slots.
const char* const kIconNames[ICON_COUNT] = {
    "null.svg",
    "battery_empty.svg", "battery_charge.svg", "battery_verylow.svg", "battery_low.svg",
    "battery_half.svg", "battery_high.svg", "battery_full.svg",
    "wifi_on.svg", "wifi_verylow.svg", "wifi_low.svg", "wifi_half.svg", "wifi_high.svg",
    "bluetooth_on.svg", "bluetooth_connect.svg",
    "ethernet_on.svg", "ethernet_connected.svg", "ethernet_notexternal.svg",
    "vci_on.svg", "vci_connected.svg", "vci_notconnected.svg",
    nullptr, nullptr, nullptr, nullptr, nullptr,
    "download_on.svg", "download_finish.svg",
    nullptr, nullptr, nullptr,
    "lecter.svg", "ok.svg", "info.svg", "helpwhite.svg", "error.svg",
    "battveherror.svg", "battvehicon.svg",
    "scrcapticon.svg", "scrcaptdisabled.svg", "scrcaptwork.svg", "scrcaptok.svg", "scrcapterror.svg",
    "camicon.svg", "camdisabled.svg", "camwork.svg", "camok.svg", "camerror.svg",
    "internetonline.svg", "internetoffline.svg",
    "brightness_low.svg", "brightness_half.svg", "brightness_high.svg", "brightness_full.svg",
    "keyboard_white.svg", "keyboard_error.svg", "keyboard_work.svg", "keyboard_ok.svg",
    "keyboard_error.svg",
};

} // namespace

bool vantel_buildIcons(QVector<IconEntry>& icons, const structVANTEL_PROGRAMDATA& data)
{
    if (icons.size() != ICON_COUNT)
        icons.resize(ICON_COUNT);

    for (int i = 0; i < ICON_COUNT; ++i) {
        if (kIconNames[i]) {
            icons[i].name = QLatin1String(kIconNames[i]);
            icons[i].kind = 0;
        }
    }

    for (IconEntry& entry : icons) {
        // A directory is kept once set: a later call resolves in the first directories.
        if (entry.dir.isEmpty())
            entry.dir = entry.kind == 1 ? data.pathImagesAlt : data.pathImages;
        const QString separator = QDir::separator();
        const QFileInfo file(entry.dir + separator + entry.name);
        if (!file.exists()) {
            const QFileInfo name(entry.name);
            if (name.completeSuffix() == QLatin1String("svg"))
                entry.name = name.baseName() + QLatin1String(".png");
        }
        entry.path = entry.dir + separator + entry.name;
    }
    return true;
}

QString vantel_iconPath(int index)
{
    if (index < 0 || index >= vantel_icons.size())
        return QString();
    return vantel_icons.at(index).path;
}
