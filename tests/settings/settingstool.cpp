// A small command-line face of the settings units, run by the cross-build and
// two-process tests (and once, to write the committed fixtures):
//   encipher TEXT | decipher CIPHERTEXT       with the fixtures' test key
//   write-text FILE TEXT | read-text FILE     TextIni: a plain and an enciphered entry
//   complete FILE                             load the system table, as the library does
//   host-complete FILE                        add missing keys through QSettings, as a Qt host does
// "--wait-for PATH" first waits until PATH exists, so racing processes start together.
#include "keycipher.h"
#include "settingstables.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QThread>

#include <cstdio>

namespace {

void print(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

int hostComplete(const QString& file)
{
    SystemTable table;
    table.xinisys_defineKeys();
    QSettings host(file, QSettings::IniFormat);
    for (const XIniEntry& row : table.rows()) {
        const QString path = row.section + QLatin1Char('/') + row.key;
        if (!host.contains(path))
            host.setValue(path, row.defValue);
    }
    host.sync();
    return host.status() == QSettings::NoError ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() >= 2 && args.at(0) == QLatin1String("--wait-for")) {
        while (!QFileInfo::exists(args.at(1)))
            QThread::usleep(200);
        args = args.mid(2);
    }
    const QString command = args.value(0);
    const QString arg = args.value(1);

    if (command == QLatin1String("encipher")) {
        print(KeyCipher(kFixtureKey).encipherText(arg));
    } else if (command == QLatin1String("decipher")) {
        KeyCipher cipher(kFixtureKey);
        print(cipher.decipherText(arg));
        return cipher.lastError();
    } else if (command == QLatin1String("write-text")) {
        TextIni ini(arg);
        return ini.xini_setValue(TextIni::Plain, args.value(2)) + ini.xini_setValue(TextIni::Secret, args.value(2));
    } else if (command == QLatin1String("read-text")) {
        TextIni ini(arg);
        const int result = ini.xini_load(false);
        print(ini.xini_entryValue(TextIni::Plain));
        print(ini.xini_entryValue(TextIni::Secret));
        return result;
    } else if (command == QLatin1String("complete")) {
        XIniSystem ini;
        return ini.xinisys_init(arg) + ini.xini_load(true);
    } else if (command == QLatin1String("host-complete")) {
        return hostComplete(arg);
    } else {
        std::fputs("usage: see the head of settingstool.cpp\n", stderr);
        return 2;
    }
    return 0;
}
