// What an indicator of each type is: its Panor registration, the provider it
// makes and how it asks it, where its clicks go, and the settings rules that
// enable it and choose its mode. XInfo reads its row and nothing else of the
// type, so a new indicator is its provider and one row here.
#ifndef INDICATORKIND_H
#define INDICATORKIND_H

#include <QString>

class QObject;
class XInfo;

// The settings an enable or mode rule reads, and the indicator's own values
// for a rule that keeps them.
struct IndicatorSettings {
    int platform; // DATA_PLATFORM
    bool enable;  // the indicator's, as it is
    int mode;     // the indicator's, as it is
    static int number(int key);
    static bool flag(int key) { return number(key) == 1; }
};

struct IndicatorKind {
    const char* name; // Panor registration
    int id;
    // The provider, a child of `indicator` and wired to it; null for a type
    // that has none (its queries fail).
    QObject* (*make)(XInfo* indicator);
    int (*status)(QObject* provider, QString& value, QString& icon);
    // A click goes to the provider (sig_InternalCommunication), else to the host.
    bool clickToProvider;
    bool (*enabled)(const IndicatorSettings& settings);
    int (*mode)(const IndicatorSettings& settings);
};

// The row of `type`; a type out of range has the row of no provider.
const IndicatorKind& vantel_indicatorKind(int type);

#endif
