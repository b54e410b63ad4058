// What the host receives, newest first, each with its time: the indicators'
// information signals put into words (battery warnings with their message
// number, clicks with the indicator's type), the internet provider's changes
// of reachability, the removable disks the application object announced and
// the screen captures saved onto them.
#ifndef INFORMATIONPANEL_H
#define INFORMATIONPANEL_H

#include <QString>
#include <QTreeWidget>

class InformationPanel : public QTreeWidget
{
    Q_OBJECT
public:
    explicit InformationPanel(QWidget* parent = nullptr);

    static QString indicatorName(int type);
    // `type` is the indicator that passed the signal on.
    static QString describe(int type, int val, int par, int opt);

public slots:
    void addInformation(int type, int val, int par, int opt);
    void addInternetStatus(int status);
    void addUsbDiskAdded(int idVolume);
    void addUsbDiskRemoved(int idVolume);
    void addScreenshot(const QString& path);

private:
    void addEntry(const QString& source, const QString& text);
};

#endif
