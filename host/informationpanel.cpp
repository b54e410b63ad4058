#include "informationpanel.h"

#include <QDateTime>
#include <QHeaderView>

#include "xinfodata.h"
#include "xinternet.h"

namespace {

// The battery provider's warning code.
constexpr int kBatteryWarning = 801;
// The panel forgets the oldest entries beyond this many.
constexpr int kMaxEntries = 500;

// "E:" for the one-bit drive mask 16; the mask in figures otherwise.
QString driveName(int idVolume)
{
    for (int bit = 0; bit < 26; ++bit) {
        if (idVolume == (1 << bit))
            return QStringLiteral("%1:").arg(QChar(QLatin1Char('A').unicode() + bit));
    }
    return QStringLiteral("mask %1").arg(idVolume);
}

} // namespace

InformationPanel::InformationPanel(QWidget* parent)
    : QTreeWidget(parent)
{
    setColumnCount(3);
    setHeaderLabels({tr("Time"), tr("Signal"), tr("Meaning")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    header()->setStretchLastSection(true);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
}

QString InformationPanel::indicatorName(int type)
{
    static const char* const names[IND_TYPE_COUNT] = {
        "battery",        "Bluetooth", "Wi-Fi",    "Ethernet",   "VCI",      "modem",      "download",
        "GPS", "vehicle battery", "screen capture", "camera", "internet", "brightness", "keyboard"};
    if (type < 0 || type >= IND_TYPE_COUNT)
        return tr("indicator %1").arg(type);
    return QString::fromLatin1(names[type]);
}

QString InformationPanel::describe(int type, int val, int par, int opt)
{
    if (val == kBatteryWarning)
        return tr("battery warning, message %1, charge %2 %").arg(par).arg(opt);
    if (val == XINFO_MSG_CLICKED)
        return tr("click on indicator %1 (%2)").arg(par).arg(indicatorName(par));
    return tr("information %1 from the %2 indicator (%3, %4)").arg(val).arg(indicatorName(type)).arg(par).arg(opt);
}

void InformationPanel::addInformation(int type, int val, int par, int opt)
{
    addEntry(QStringLiteral("sig_Information(%1, %2, %3)").arg(val).arg(par).arg(opt),
             describe(type, val, par, opt));
}

void InformationPanel::addInternetStatus(int status)
{
    addEntry(QStringLiteral("sig_changeStatus(%1)").arg(status),
             status == XINT_ONLINE ? tr("internet reachable") : tr("internet not reachable"));
}

void InformationPanel::addUsbDiskAdded(int idVolume)
{
    addEntry(QStringLiteral("AddUsbDisk(%1)").arg(idVolume), tr("removable disk %1 arrived").arg(driveName(idVolume)));
}

void InformationPanel::addUsbDiskRemoved(int idVolume)
{
    addEntry(QStringLiteral("RemoveUsbDisk(%1)").arg(idVolume), tr("removable disk %1 left").arg(driveName(idVolume)));
}

void InformationPanel::addScreenshot(const QString& path)
{
    addEntry(tr("screen capture"), tr("picture saved: %1").arg(path));
}

void InformationPanel::addEntry(const QString& source, const QString& text)
{
    auto* item = new QTreeWidgetItem({QTime::currentTime().toString(QStringLiteral("hh:mm:ss")), source, text});
    item->setToolTip(2, text); // a long path is elided in the column
    insertTopLevelItem(0, item);
    while (topLevelItemCount() > kMaxEntries)
        delete takeTopLevelItem(topLevelItemCount() - 1);
}
