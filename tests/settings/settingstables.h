// Settings tables the suites and the settings tool share: the system table
// with its rows visible, and a small table with an enciphered entry, keyed
// with the library's fixed cipher key.
#ifndef SETTINGSTABLES_H
#define SETTINGSTABLES_H

#include "xinisystem.h"

// The cross-build fixtures: a text with Italian accents, and the cipher key
// the fixtures' ciphertexts use.
const quint64 kFixtureKey = 0x0F1E2D3C4B5A6978ull;
inline QString fixtureText()
{
    return QStringLiteral("Perché è già così: più né là, ciò è ñ €");
}

class SystemTable : public XIniSystem
{
public:
    const QVector<XIniEntry>& rows() const { return entries; }
};

class TextIni : public XIni
{
public:
    enum { Plain, Secret };

    explicit TextIni(const QString& file)
    {
        xini_setFileName(file);
        xini_setSize(2);
        entries[Plain] = {QStringLiteral("Testo"), QStringLiteral("PLAIN"), QString(), QString(), false};
        entries[Secret] = {QStringLiteral("Testo"), QStringLiteral("SECRET"), QString(), QString(), true};
    }
};

#endif
