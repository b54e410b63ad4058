#ifndef XBATTERY_H
#define XBATTERY_H

/// @file
/// XBattery, the battery indicator's provider, and its warning rows.

#include <QObject>
#include <QString>
#include <QVector>

#include "vantel_export.h"

/// The information value of a battery warning: sig_Battery(801, message, level).
enum { XBAT_MSG_WARNING = 801 };

/// One row of the battery warning table of the settings.
struct XBatteryWarning {
    int threshold = -1;  ///< charge percentage at or below which the row applies; -1 disables it
    int message = -1;    ///< handed to the host when the row fires
    bool active = false; ///< fired during the present descent
};

/// The battery indicator's provider: the charge as a text and a battery icon,
/// and warnings to the host when the charge falls to the levels of the
/// settings, once per descent.
///
/// Thread: the GUI thread only, where the library makes it as a child of its indicator.
///
/// Without a battery: the power status reads as mains with an unknown
/// charge (255), so the indicator shows the charging icon and no warning
/// fires; when the power status cannot be read at all, the query fails and
/// the indicator hides.
class VANTEL_EXPORT XBattery : public QObject
{
    Q_OBJECT
public:
    /// Reads the warning table from the settings, once.
    explicit XBattery(QObject* parent);
    ~XBattery() override;

    /// One status query: the charge as "42%" in `value`, the icon for it in
    /// `icon` (the empty battery while a warning row applies) and
    /// XINFORET_OK; XINFORET_FAIL when the power status cannot be read.
    /// Fires a warning row's sig_Battery on the way down.
    int xbat_getStatus(QString& value, QString& icon);

    /// The charge percentage as reported (0 to 100, 255 when unknown) with
    /// `onMains`; -1 and false when the power status cannot be read.
    int getBatteryLevel(bool& onMains);

    /// Whether a warning row has fired and not been reset.
    bool xbat_criticalStatus();
    /// Whether `level` (a percentage; -1 on mains, never critical) is at or
    /// below the threshold of the last enabled row.
    bool xbat_criticalStatus(int level);
    /// Fires the first enabled row whose threshold `level` reaches, unless it
    /// has fired already; on mains (-1) resets every row.
    void xbat_warningStatus(int level);
    /// Marks `row` as fired, the others not, and emits sig_Battery once for
    /// it; an index outside the table is ignored.
    void xbat_warningEnable(int row);
    /// Marks every row as not fired, so the next descent warns again.
    void xbat_warningReset();

signals:
    /// A warning: `val` XBAT_MSG_WARNING (801), `par` the row's message
    /// number, `opt` the charge percentage. The indicator passes it on as
    /// XInfo::sig_Information.
    void sig_Battery(int val, int par, int opt);

public slots:
    /// A click on the indicator; it changes nothing.
    void slt_InternalCommunication(int val, int par, int opt);

private:
    int level = 0; ///< the last percentage, -1 on mains
    QString valueText;
    int textPercent = -1; ///< what valueText says, -1 before the first report
    QString iconPath;
    QVector<XBatteryWarning> warnings;
};

#endif
