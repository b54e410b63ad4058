// Screenshot mode: after the Nth poll, a PNG of the window, then the end of
// the program. Polls reach an indicator as queued calls from the library's
// polling thread, so an event filter on one polled indicator counts them
// without any knowledge of the library's inside. The geometry of the bar and
// of the visible indicators goes to stdout, for whoever checks the picture.
#ifndef SCREENSHOT_H
#define SCREENSHOT_H

#include <QObject>
#include <QString>
#include <QVector>

class QWidget;
class XInfo;

class Screenshot : public QObject
{
    Q_OBJECT
public:
    Screenshot(QWidget* window, QWidget* bar, const QVector<XInfo*>& indicators, int polls,
               const QString& file, QObject* parent = nullptr);

    // Starts counting, and the time limit. False, with the reason in `error`,
    // when no indicator is polled.
    bool start(QString& error);
    bool isSaved() const { return saved; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void take();
    void giveUp();
    void printGeometry(const QString& picturePath, const QSize& pictureSize) const;

    QWidget* window;
    QWidget* bar;
    QVector<XInfo*> indicators;
    int polls;
    int seen = 0;
    int timeLimitMs = 0;
    bool saved = false;
    QString file;
};

#endif
