// Guards the demo host as a program: with no display it draws off screen by
// itself, and its screenshot mode saves a window whose title bar shows the
// battery and the vehicle battery indicators with their icons; bad options
// and a picture that cannot be saved end it with a clear failure.
#include <QApplication>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "panordata.h"
#include "xbartitle.h"

namespace {

struct Placed {
    QRect rect;
    QSize iconSize;
    QString iconPath;
};

// What the demo prints in screenshot mode: the picture, the bar, and each
// visible indicator by type.
struct Geometry {
    QSize picture;
    QRect bar;
    QMap<int, Placed> indicators;
};

Geometry parse(const QByteArray& output)
{
    Geometry g;
    for (const QByteArray& raw : output.split('\n')) {
        const QString line = QString::fromUtf8(raw);
        const QStringList f = line.split(QLatin1Char(' '));
        if (f.value(0) == QLatin1String("picture") && f.size() >= 3)
            g.picture = QSize(f[1].toInt(), f[2].toInt());
        else if (f.value(0) == QLatin1String("bar") && f.size() == 5)
            g.bar = QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
        else if (f.value(0) == QLatin1String("indicator") && f.size() >= 9)
            g.indicators.insert(f[1].toInt(), {QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()),
                                               QSize(f[6].toInt(), f[7].toInt()),
                                               f.mid(8).join(QLatin1Char(' '))});
    }
    return g;
}

// The icon file as it should look on the bar: drawn at `size` over the bar colour.
QImage iconOnBar(const QString& path, const QSize& size, const QColor& bar)
{
    QImageReader reader(path);
    reader.setScaledSize(size);
    QImage icon = reader.read();
    if (icon.isNull()) {  // no SVG plugin: the PNG copy beside it
        QString png = path;
        png.replace(QRegularExpression(QStringLiteral("\\.svg$")), QStringLiteral(".png"));
        icon = QImage(png).scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    QImage out(size, QImage::Format_RGB32);
    out.fill(bar);
    QPainter painter(&out);
    painter.drawImage(QPoint(0, 0), icon);
    return out;
}

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

// The best match of `expected` anywhere inside `area` of the picture.
double bestMatch(const QImage& picture, const QRect& area, const QImage& expected)
{
    double best = 255.0;
    for (int y = area.top(); y + expected.height() <= area.bottom() + 1; ++y)
        for (int x = area.left(); x + expected.width() <= area.right() + 1; ++x)
            best = qMin(best, meanDifference(picture, QPoint(x, y), expected));
    return best;
}

int pixelsOffBar(const QImage& picture, const QRect& area, const QColor& bar)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = picture.pixel(x, y);
            n += qAbs(qRed(c) - bar.red()) + qAbs(qGreen(c) - bar.green()) + qAbs(qBlue(c) - bar.blue()) > 60;
        }
    return n;
}

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the demo as from a shell without any display.
Run runDemo(const QStringList& arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
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

} // namespace

class tst_Demo : public QObject
{
    Q_OBJECT

private slots:
    void screenshotShowsTheBatteries();
    void refusals_data();
    void refusals();

private:
    QTemporaryDir dir;
};

void tst_Demo::screenshotShowsTheBatteries()
{
    const QString file = dir.filePath(QStringLiteral("demo.png"));
    const Run run = runDemo({QStringLiteral("--simulate"), QStringLiteral("--screenshot"), file,
                             QStringLiteral("--polls"), QStringLiteral("3"), QStringLiteral("--ini"),
                             dir.filePath(QStringLiteral("system.ini"))});
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("system.ini"))));

    QImage picture(file);
    QVERIFY(!picture.isNull());
    picture = picture.convertToFormat(QImage::Format_RGB32);
    const Geometry g = parse(run.out);
    QCOMPARE(picture.size(), g.picture);

    // The bar spans the window at its top, Panor's height, in the bar's colour.
    const XBarTitle reference;
    const QColor barColour = reference.palette().color(QPalette::Window);
    const int barHeight = panor_guiData->panord_getInterfaceSize(PanorData::PANORD_TITLEBAR).height();
    QCOMPARE(g.bar, QRect(0, 0, picture.width(), barHeight));
    QCOMPARE(QColor(picture.pixel(1, 1)), barColour);
    QVERIFY(QColor(picture.pixel(1, barHeight + 2)) != barColour);

    QVERIFY2(g.indicators.contains(0) && g.indicators.contains(8), run.out.constData());
    const Placed battery = g.indicators.value(0);
    const Placed vehicle = g.indicators.value(8);
    const int cell = panor_guiData->panord_getInterfaceSize(PanorData::PANORD_INDICATOR).height();
    for (const Placed& p : {battery, vehicle}) {
        QCOMPARE(p.rect.size(), QSize(cell - 2, cell - 2));
        QVERIFY(g.bar.contains(p.rect));
        QVERIFY(p.rect.left() > picture.width() / 2);  // the right-hand group
    }
    QVERIFY(battery.rect.right() < vehicle.rect.left());

    // The battery shows a charge icon, drawn where it sits; and not merely
    // anything: a blank cell would be far from it.
    QVERIFY2(QFileInfo(battery.iconPath).fileName().startsWith(QLatin1String("battery_")), qPrintable(battery.iconPath));
    QCOMPARE(battery.iconSize, QSize(cell - (2 * cell) / 10, cell - (2 * cell) / 10));
    const QImage expected = iconOnBar(battery.iconPath, battery.iconSize, barColour);
    const double match = bestMatch(picture, battery.rect, expected);
    QVERIFY2(match < 6.0, qPrintable(QString::number(match)));
    QImage blank(battery.iconSize, QImage::Format_RGB32);
    blank.fill(barColour);
    QVERIFY(meanDifference(expected, QPoint(0, 0), blank) > 5 * match);

    // The vehicle battery shows its icon with the reading beside or under it.
    QCOMPARE(QFileInfo(vehicle.iconPath).fileName(), QStringLiteral("battvehicon.svg"));
    QVERIFY(pixelsOffBar(picture, vehicle.rect, barColour) > vehicle.rect.width() * vehicle.rect.height() / 10);
}

void tst_Demo::refusals_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("polls not a number") << QStringList{QStringLiteral("--screenshot"), QStringLiteral("x.png"),
                                                       QStringLiteral("--polls"), QStringLiteral("two")}
                                        << 2 << "--polls";
    QTest::newRow("polls without screenshot") << QStringList{QStringLiteral("--polls"), QStringLiteral("2")} << 2
                                              << "--polls";
    QTest::newRow("no icon folder") << QStringList{QStringLiteral("--icons"), QStringLiteral("/nonexistent/icons")}
                                    << 2 << "/nonexistent/icons";
    QTest::newRow("picture cannot be saved")
        << QStringList{QStringLiteral("--simulate"), QStringLiteral("--screenshot"),
                       QStringLiteral("/nonexistent/demo.png"), QStringLiteral("--polls"), QStringLiteral("1")}
        << 1 << "cannot save the picture to /nonexistent/demo.png";
}

void tst_Demo::refusals()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const Run run = runDemo(arguments << QStringLiteral("--ini") << dir.filePath(QStringLiteral("refusals.ini")));
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
}

QTEST_MAIN(tst_Demo)
#include "tst_demo.moc"
