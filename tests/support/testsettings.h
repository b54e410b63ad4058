// A settings object loaded from a real file, as VANTEL_SetProgramData loads
// it, installed as the library's settings.
#ifndef TESTSETTINGS_H
#define TESTSETTINGS_H

#include <QFile>
#include <QString>

#include "library/vantelglobals.h"
#include "settings/xinisystem.h"

// Writes `text` to `path` (none when empty), loads it and makes it vantel_settings.
inline bool installTestSettings(const QString& path, const QByteArray& text)
{
    QFile::remove(path);
    if (!text.isEmpty()) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return false;
    }
    delete vantel_settings;
    vantel_settings = new XIniSystem;
    return vantel_settings->xinisys_init(path) == 0 && vantel_settings->xini_load(true) == 0;
}

#endif
