// Guards the registry's Linux backend: values read from the registry file
// under the configured /etc (a missing file holds nothing), a value of
// several strings as repeated lines in order, names matched whatever their
// case, comments, blanks and other keys ignored; and the simulated tablet's
// values set from outside.
#include <QTemporaryDir>
#include <QtTest>

#include "linux/linuxregistry.h"
#include "platform.h"
#include "vantelsimulation.h"

using namespace vantel::platform;

namespace {

const std::string loader = "HKEY_LOCAL_MACHINE\\Loader";

QStringList read(Registry& registry, const std::string& key, const std::string& name, long& result)
{
    std::vector<std::string> strings{"stale"};
    result = registry.readStringList(key, name, strings);
    QStringList list;
    for (const std::string& string : strings)
        list << QString::fromStdString(string);
    return list;
}

} // namespace

class TestLinuxRegistry : public QObject
{
    Q_OBJECT

private slots:
    void readsTheFile()
    {
        QTemporaryDir etc;
        LinuxRegistry registry(etc.path().toStdString());
        QCOMPARE(QString::fromStdString(registry.fileName()), etc.path() + "/vantel/registry.ini");
        long result = -1;
        QCOMPARE(read(registry, loader, "SystemPath", result), QStringList());
        QCOMPARE(result, long(REGISTRY_NOT_FOUND)); // no file

        QVERIFY(QDir(etc.path()).mkpath("vantel"));
        QFile file(etc.path() + "/vantel/registry.ini");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("; the loader's folders\r\n"
                   "[HKEY_LOCAL_MACHINE\\Other]\n"
                   "SystemPath=/not/this\n"
                   "  [ hkey_local_machine\\loader ]  \n"
                   "# SystemPath=/commented\n"
                   "systempath = /opt/loader/bin \r\n"
                   "Other=/nor/this\n"
                   "SystemPath=\n"
                   "no equals sign\n"
                   "SYSTEMPATH=/opt/with blanks,and=commas\n"
                   "Empty=\n");
        file.close();
        QCOMPARE(read(registry, loader, "SystemPath", result),
                 QStringList({"/opt/loader/bin", "/opt/with blanks,and=commas"}));
        QCOMPARE(result, long(REGISTRY_OK));
        QCOMPARE(read(registry, loader, "Empty", result), QStringList());
        QCOMPARE(result, long(REGISTRY_OK)); // present, but no string
        QCOMPARE(read(registry, loader, "Missing", result), QStringList());
        QCOMPARE(result, long(REGISTRY_NOT_FOUND));
        QCOMPARE(read(registry, "HKEY_LOCAL_MACHINE", "SystemPath", result), QStringList());
        QCOMPARE(result, long(REGISTRY_NOT_FOUND));
    }

    void simulatedTabletValues()
    {
        VantelSimulation sim;
        long result = -1;
        sim.setRegistryValue("HKEY_LOCAL_MACHINE\\Loader", "SystemPath", {"/a", "/b"});
        QCOMPARE(read(registry(), "hkey_local_machine\\LOADER", "systemPath", result), QStringList({"/a", "/b"}));
        QCOMPARE(result, long(REGISTRY_OK));
        sim.setRegistryValue("HKEY_LOCAL_MACHINE\\Loader", "SystemPath", {});
        QCOMPARE(read(registry(), loader, "SystemPath", result), QStringList());
        QCOMPARE(result, long(REGISTRY_NOT_FOUND));
    }
};

QTEST_GUILESS_MAIN(TestLinuxRegistry)
#include "tst_linuxregistry.moc"
