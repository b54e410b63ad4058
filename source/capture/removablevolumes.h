// The removable disk that screen captures and camera pictures go to: the
// search for the first removable volume, and the helpers that build the
// capture directory and a unique, time-stamped file name on it.
#ifndef REMOVABLEVOLUMES_H
#define REMOVABLEVOLUMES_H

#include <QString>

// The root path of the first removable volume in enumeration order (for
// instance "/media/tech/STICK/"), or an empty string.
QString vantel_firstRemovableVolume();

// vantel_capturePath = the first removable volume's root, or empty.
void vantel_findCaptureVolume();

// QDir::cleanPath(base) + the platform separator + name.
QString vantel_joinPath(QString base, QString name);

// True, with `path` set to base/name, when that directory exists or (with
// `create`) could be made one level deep; `path` is untouched otherwise.
bool vantel_checkDir(QString base, QString name, QString& path, bool create);

// The absolute path of the first free name prefix+yyyyMMdd_hhmmss+suffix.ext
// in `dir`, then with the numbers 1 to 61 after the time stamp; false when
// all 62 exist.
bool vantel_uniqueFileName(QString dir, QString prefix, QString suffix, QString extension, QString& filePath);

#endif
