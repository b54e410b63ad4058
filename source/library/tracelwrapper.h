// The library's handle on its debug log: one Tracel object, opened by
// VANTEL_OpenLib and released by VANTEL_CloseLib.
#ifndef TRACELWRAPPER_H
#define TRACELWRAPPER_H

#include <QObject>
#include <QString>

#include "tracel.h"

class Tracel : public QObject
{
public:
    explicit Tracel(QObject* parent = nullptr);
    ~Tracel() override;

    void trc_open(QString name);
    void trc_close();
    void trc_print(int mask, QString text, bool enabled);
    void trc_message(QtMsgType type, const char* msg);

    bool trc_isOpen() const { return handle != 0; }

private:
    TRACEL_HANDLE handle = 0;
};

#endif
