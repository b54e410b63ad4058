// Guards the demo host as a program run from a shell without a display: it
// draws off screen by itself, and its screenshot mode saves a window whose
// title bar shows the battery icon where the demo says it drew it, and the
// simulated tablet's keyboard beside it; the simulated tablet's settings are
// a copy that leaves the host's file alone; a bad option ends it with a clear
// failure.
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "testcompositor.h"

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Run with no display, or with the one `display` names.
Run runDemo(const QStringList& arguments, const QProcessEnvironment& display = QProcessEnvironment())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    env.insert(display);
    QProcess demo;
    demo.setProcessEnvironment(env);
    demo.start(QStringLiteral(VANTEL_DEMO), arguments);
    Run run;
    if (!demo.waitForFinished(90000)) {
        demo.kill();
        demo.waitForFinished();
        return run;
    }
    run.exitCode = demo.exitStatus() == QProcess::NormalExit ? demo.exitCode() : -1;
    run.out = demo.readAllStandardOutput();
    run.err = demo.readAllStandardError();
    return run;
}

// The icon file as it should look on the bar: drawn at `size` over the bar colour.
QImage iconOnBar(const QString& path, const QSize& size, const QColor& bar)
{
    QImageReader reader(path);
    reader.setScaledSize(size);
    QImage icon = reader.read();
    if (icon.isNull()) // no SVG plugin: the PNG copy beside it
        icon = QImage(path.chopped(3) + "png").scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage out(size, QImage::Format_RGB32);
    out.fill(bar);
    QPainter(&out).drawImage(QPoint(0, 0), icon);
    return out;
}

// The mean difference of a colour channel between `expected` and the picture at `at`.
double meanDifference(const QImage& picture, const QPoint& at, const QImage& expected)
{
    qint64 sum = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb a = picture.pixel(at.x() + x, at.y() + y);
            const QRgb b = expected.pixel(x, y);
            sum += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
        }
    return double(sum) / (3.0 * expected.width() * expected.height());
}

} // namespace

class tst_Demo : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void screenshotShowsTheBattery_data()
    {
        QTest::addColumn<bool>("wayland");
        QTest::newRow("off screen") << false;
        // A Qt host on Qt's Wayland platform, in a window of a real compositor.
        QTest::newRow("wayland") << true;
    }

    void screenshotShowsTheBattery()
    {
        QFETCH(bool, wayland);
        TestCompositor compositor;
        QProcessEnvironment display;
        if (wayland) {
            QVERIFY2(compositor.start(TestCompositor::Sway), qPrintable(compositor.error()));
            display.insert("QT_QPA_PLATFORM", "wayland");
            display.insert("WAYLAND_DISPLAY", compositor.socket());
            display.insert("XDG_RUNTIME_DIR", compositor.runtimeDir());
        }
        const QString file = dir.filePath("demo.png");
        QFile::remove(file);
        const Run run = runDemo(
            {"--simulate", "--screenshot", file, "--polls", "3", "--ini", dir.filePath("system.ini")}, display);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        // The simulated tablet's settings (its internet and camera) are a
        // copy: the host's file is left as it was.
        QVERIFY(!QFileInfo::exists(dir.filePath("system.ini")));
        QImage picture(file);
        QVERIFY(!picture.isNull());
        picture = picture.convertToFormat(QImage::Format_RGB32);

        // It prints "picture W H ..." and "indicator TYPE X Y W H ICONW ICONH ICONPATH"; the battery is type 0.
        QSize size;
        QRect cell;
        QSize iconSize;
        QString iconPath;
        QString keyboardIcon;
        for (const QByteArray& line : run.out.split('\n')) {
            const QStringList f = QString::fromUtf8(line).split(' ');
            if (f.value(0) == "picture" && f.size() >= 3)
                size = QSize(f[1].toInt(), f[2].toInt());
            if (f.value(0) == "indicator" && f.value(1) == "0" && f.size() >= 9) {
                cell = QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt());
                iconSize = QSize(f[6].toInt(), f[7].toInt());
                iconPath = f.mid(8).join(' ');
            }
            if (f.value(0) == "indicator" && f.value(1) == "13" && f.size() >= 9)
                keyboardIcon = QFileInfo(f.mid(8).join(' ')).fileName();
        }
        QVERIFY2(keyboardIcon.startsWith("keyboard_white."), run.out.constData());
        QCOMPARE(picture.size(), size);
        QVERIFY2(QFileInfo(iconPath).fileName().startsWith("battery_"), run.out.constData());
        QVERIFY(picture.rect().contains(cell) && cell.left() > picture.width() / 2); // the bar's right-hand group

        // The icon drawn somewhere in its cell, and not merely anything: a
        // blank cell would be far from it.
        const QColor bar = picture.pixel(1, 1);
        const QImage expected = iconOnBar(iconPath, iconSize, bar);
        double best = 255.0;
        for (int y = cell.top(); y + iconSize.height() <= cell.bottom() + 1; ++y)
            for (int x = cell.left(); x + iconSize.width() <= cell.right() + 1; ++x)
                best = qMin(best, meanDifference(picture, QPoint(x, y), expected));
        QVERIFY2(best < 6.0, qPrintable(QString::number(best)));
        QImage blank(iconSize, QImage::Format_RGB32);
        blank.fill(bar);
        QVERIFY(meanDifference(expected, QPoint(0, 0), blank) > 5 * best);
    }

    void badOption()
    {
        const Run run = runDemo({"--screenshot", "x.png", "--polls", "two", "--ini", dir.filePath("bad.ini")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("--polls"), run.err.constData());
    }
};

QTEST_MAIN(tst_Demo)
#include "tst_demo.moc"
