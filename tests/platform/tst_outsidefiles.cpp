// Guards every file the Linux backend reads that someone else wrote (the
// registry file, the power scheme store, the mount table, a sysfs attribute,
// a supply's uevent): a FIFO, /dev/zero behind a symbolic link and a 100 MB
// file each read as no file, at once, without blocking or filling memory.
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "linux/linuxattribute.h"
#include "linux/linuxmounttable.h"
#include "linux/linuxpowerschemestore.h"
#include "linux/linuxpowersupply.h"
#include "linux/linuxregistry.h"

using namespace vantel::platform;

namespace {

// What one reader made of the file at `path` in `folder`: true when it read
// something from it.
using Reader = std::function<bool(const std::string& folder, const std::string& path)>;

struct Case {
    const char* name;
    const char* fileName; // where the reader looks, under the folder
    Reader read;
};

// The registry's key as the last lines of every hostile file, so that a
// reader that gets to the end of it reads a value.
const char kTail[] = "\n[HKEY_LOCAL_MACHINE\\Loader]\nSystemPath=/opt/loader/bin\n"
                     "a1841308-3541-4fab-bc81-f71556f20b4a 3c0bc021-c8a8-4e07-a973-6b14cbcb2b7e AC 300\n"
                     "36 25 8:1 / /media/stick rw - vfat /dev/sdb1 rw\n"
                     "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_CAPACITY=42\n";

const Case kCases[] = {
    {"registry", "vantel/registry.ini",
     [](const std::string& folder, const std::string&) {
         std::vector<std::string> strings;
         return LinuxRegistry(folder).readStringList("HKEY_LOCAL_MACHINE\\Loader", "SystemPath", strings)
                == REGISTRY_OK;
     }},
    {"power scheme store", "powerscheme.conf",
     [](const std::string&, const std::string& path) { return !LinuxPowerSchemeStore(path).values().empty(); }},
    {"mount table", "mountinfo", [](const std::string&, const std::string& path) { return !LinuxMountTable::readFile(path).empty(); }},
    {"sysfs attribute", "capacity",
     [](const std::string& folder, const std::string&) {
         const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
         LinuxAttribute attribute;
         const bool read = attribute.read(dir, "capacity");
         ::close(dir);
         return read;
     }},
    {"uevent", "BAT0/uevent",
     [](const std::string& folder, const std::string&) {
         const int dir = ::open((folder + "/BAT0").c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
         LinuxPowerSupply supply;
         int uevent = -1;
         std::string text;
         supply.read(dir, uevent, text);
         const bool read = supply.text(LinuxPowerSupply::Type) != nullptr;
         if (uevent >= 0)
             ::close(uevent);
         ::close(dir);
         return read;
     }},
};

} // namespace

class TestOutsideFiles : public QObject
{
    Q_OBJECT

private:
    // The reader of the row, on the file `make` puts at its place, must
    // answer within a second, and read something only from a plain file.
    void readWithinASecond(const std::function<bool(const QString& path)>& make, bool plain)
    {
        QFETCH(int, reader);
        const Case& c = kCases[reader];
        QTemporaryDir folder;
        const QString path = folder.filePath(QLatin1String(c.fileName));
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QVERIFY(make(path));
        const std::string root = folder.path().toStdString();
        const std::string file = path.toStdString();
        // On a thread of its own, so that a reader stuck on the file fails
        // the test instead of hanging it.
        auto answer = std::make_shared<std::promise<bool>>();
        std::future<bool> read = answer->get_future();
        std::thread([answer, reader = c.read, root, file] { answer->set_value(reader(root, file)); }).detach();
        if (read.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
            // A reader blocked in opening a FIFO gets its writer and ends.
            const int writer = ::open(file.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (writer >= 0)
                ::close(writer);
            QFAIL("still reading after a second");
        }
        QCOMPARE(read.get(), plain);
    }

private slots:
    // A FIFO, /dev/zero behind a symbolic link, and a sparse 100 MB file (no
    // disk used) whose readable lines come last, each read as no file; the
    // plain file with the readable lines only is read, so the refusals are
    // no accident.
    void outsideFile_data()
    {
        QTest::addColumn<int>("reader");
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"FIFO", "device behind a link", "huge file", "plain file"})
            for (int i = 0; i < int(sizeof(kCases) / sizeof(kCases[0])); ++i)
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(kind, kCases[i].name))) << i << kind;
    }

    void outsideFile()
    {
        QFETCH(int, reader);
        QFETCH(QString, kind);
        // An attribute is one short value.
        const QByteArray plain = QByteArray(kCases[reader].fileName) == "capacity" ? QByteArray("42\n") : QByteArray(kTail);
        readWithinASecond(
            [&](const QString& path) {
                if (kind == "FIFO")
                    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
                if (kind == "device behind a link")
                    return QFile::link(QStringLiteral("/dev/zero"), path);
                QFile file(path);
                if (kind == "plain file")
                    return file.open(QIODevice::WriteOnly) && file.write(plain) == plain.size();
                return file.open(QIODevice::WriteOnly) && file.resize(100 * 1024 * 1024) && file.seek(file.size())
                       && file.write(kTail) == qint64(sizeof(kTail) - 1);
            },
            kind == "plain file");
    }
};

QTEST_GUILESS_MAIN(TestOutsideFiles)
#include "tst_outsidefiles.moc"
