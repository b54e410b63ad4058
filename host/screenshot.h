// Screenshot mode: after the Nth poll, a PNG of the window, then the end of
// the program. A poll is one queued call to the library's polling thread
// object, in this thread, that runs every connected indicator's query: an
// application-wide event filter counts those calls, knowing of the thread
// only its signal updateStatus(bool). The geometry of the bar and of the
// visible indicators goes to stdout, for whoever checks the picture.
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
