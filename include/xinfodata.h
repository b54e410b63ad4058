#ifndef XINFODATA_H
#define XINFODATA_H

/// @file
/// The status contract between an indicator and its provider: the status
/// codes a provider's query returns, the indicator types, the display modes,
/// the click code, and the report and image records the two share.

#include <QMetaType>
#include <QSize>
#include <QString>

/// Result of every provider status query.
enum {
    XINFORET_OK = 0,      ///< a new report: the indicator redraws and shows its button
    XINFORET_FAIL = 1,    ///< the query failed: the button hides
    STATUS_UNCHANGED = 2, ///< the same as the last report: the button stays as it is
    XINFORET_IDLE = 3,    ///< nothing to report: the button keeps what it shows
    HARDWARE_OFF = 4      ///< the device is missing or off: the button hides
};

/// Indicator types; the type is also the indicator's index in the library's vector.
enum {
    IND_TYPE_BATTERY = 0,
    IND_TYPE_BLUETOOTH = 1,
    IND_TYPE_WIFI = 2,
    IND_TYPE_ETHERNET = 3,
    IND_TYPE_VCI = 4,
    IND_TYPE_MODEM = 5,
    IND_TYPE_DOWNLOAD = 6,
    IND_TYPE_GPS = 7,
    IND_TYPE_BATTERYVEHICLE = 8,
    IND_TYPE_SCREENCAPTURE = 9,
    IND_TYPE_CAMERA = 10,
    IND_TYPE_INTERNET = 11,
    IND_TYPE_BRIGHTNESS = 12,
    IND_TYPE_KEYBOARD = 13,
    IND_TYPE_COUNT = 14
};

/// Display modes.
enum {
    XINFO_MODE_ICON = 0,
    XINFO_MODE_TEXT = 1,
    XINFO_MODE_TEXTICON = 2
};

/// A click, sent by an indicator to its provider or to the host.
enum { XINFO_MSG_CLICKED = 804 };

/// Thread states handed to VANTEL_setIndicatorsStatus.
enum {
    INDICATORS_SLEEP = 1,
    INDICATORS_RUN = 2
};

/// A provider's report: the text to show and the full path of the icon file.
struct _XINFODATA {
    QString value; ///< the text, shown in the text display modes
    QString icon;  ///< the icon file's full path
};

/// The image last shown on an indicator.
struct sLAYOUT_IMAGE {
    int id = 0;       ///< not used by this library
    QString path;     ///< the picture's file
    QSize size{0, 0}; ///< the size it is drawn at, in logical pixels
    int flags = 0;    ///< not used by this library
};
/// The name of sLAYOUT_IMAGE in the property system (XInfo::xinfo_image).
typedef sLAYOUT_IMAGE sImage;

/// Registered under the name hosts see in the property system.
Q_DECLARE_METATYPE(sImage)

#endif
