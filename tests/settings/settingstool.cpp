// The settings units from the command line, for the tests that need another
// process or the other Qt build:
//   write-text FILE TEXT | read-text FILE   TextIni: a plain and an enciphered entry
//   complete FILE                           load the system table, as the library does
//   host-complete FILE                      add missing keys through QSettings, as a Qt host does
// "--wait-for PATH" first waits until PATH exists, so racing processes start together.
#include "settingstesting.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

#include <cstdio>

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
    const QString file = args.value(1);
    if (command == QLatin1String("write-text")) {
        TextIni ini(file);
        return ini.xini_setValue(TextIni::Plain, args.value(2)) + ini.xini_setValue(TextIni::Secret, args.value(2));
    }
    if (command == QLatin1String("read-text")) {
        std::puts(qUtf8Printable(readText(file).join(QLatin1Char('\n'))));
        return 0;
    }
    if (command == QLatin1String("complete"))
        return SystemTable(file).xini_load(true);
    if (command == QLatin1String("host-complete")) {
        QSettings host(file, QSettings::IniFormat);
        const SystemTable table;
        for (const XIniEntry& row : table.rows()) {
            if (!host.contains(row.section + QLatin1Char('/') + row.key))
                host.setValue(row.section + QLatin1Char('/') + row.key, row.defValue);
        }
        host.sync();
        return host.status() == QSettings::NoError ? 0 : 1;
    }
    std::fputs("usage: see the head of settingstool.cpp\n", stderr);
    return 2;
}
