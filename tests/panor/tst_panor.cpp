// Guards Panor's contract with its host and what it draws. Controls:
// registration by name and id (ending when a control dies), the bar's order
// by side and position, also when controls are deleted or moved while in it,
// showing left to each control's owner, tooltip and accessible name from the
// text, the statuses that decide whether a control clicks. Drawing: a dark,
// frameless bar whose indicators show their icons (SVG and PNG), status
// colours and text (the picture is saved for a person to look at); every
// icon file the catalogue names is in the set as SVG with a PNG copy, and
// draws; without Qt's SVG image plugin Panor says so once and draws the PNG
// copies; on high-DPI screens an indicator and its icon keep their physical
// size. Screen settings and a missing plugin run in a child
// process of this test.
#include <QImageReader>
#include <QProcess>
#include <QtTest>
#include <cstdio>

#include "indicator/iconcatalogue.h"
#include "panor.h"
#include "panordata.h"
#include "vantelapi.h"
#include "xbartitle.h"
#include "xindicator.h"

namespace {

const QString kIcons = QStringLiteral(VANTEL_ICON_BUILD_DIR);

// Colour classes, the test's own idea of the bar and the icons' light ink.
bool isBar(QRgb c) { return qRed(c) < 0x24 && qGreen(c) < 0x28 && qBlue(c) < 0x2e; }
bool isInk(QRgb c) { return qRed(c) > 0xb0 && qGreen(c) > 0xb0 && qBlue(c) > 0xb0; }
bool isGreen(QRgb c) { return qGreen(c) > qRed(c) + 80 && qGreen(c) > qBlue(c) + 30; }
bool isRed(QRgb c) { return qRed(c) > qGreen(c) + 80 && qRed(c) > qBlue(c) + 80; }
bool isOpaque(QRgb c) { return qAlpha(c) > 0x80; }

// How many pixels of `area` match; `box` grows around them.
int count(const QImage& image, const QRect& area, bool (*match)(QRgb), QRect* box = nullptr)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (match(image.pixel(x, y))) {
                ++n;
                if (box)
                    *box |= QRect(x, y, 1, 1);
            }
    return n;
}

QImage grabImage(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// An indicator in `bar`, set up the way the status library sets up its own.
XIndicator* addIndicator(XBarTitle* bar, const QString& icon, const QString& text, Qt::ToolButtonStyle mode)
{
    auto* indicator = new XIndicator(bar);
    xPerimeter perimeter;
    perimeter.xper_setAngle(false);
    perimeter.xper_setBorder(false);
    const int h = panor_guiData->panord_getInterfaceSize(PanorData::PANORD_INDICATOR).height();
    indicator->setFixedSize(h - 2, h - 2);
    indicator->xind_setPerimeter(perimeter);
    indicator->xind_setStyle(XIndicator::XIND_STYLE_FLAT | XIndicator::XIND_STYLE_HOVER);
    indicator->setToolButtonStyle(mode);
    indicator->xind_setIcon(QDir(kIcons).filePath(icon), QSize(h - 2 * h / 10, h - 2 * h / 10));
    indicator->xind_setText(text);
    bar->xbtle_addControl(indicator, bar->xbtle_getControls().size(), 1);
    indicator->show(); // as an indicator does once it has a status
    return indicator;
}

// In the child: "dpi" prints the indicator cell and the width its icon is
// drawn at, in physical pixels; "noplugin" draws SVG icons with the image
// plugins out of reach, one with a PNG copy beside it, one without.
int child(int argc, char** argv)
{
    QApplication app(argc, argv);
    XBarTitle bar;
    if (qstrcmp(argv[2], "dpi") == 0) {
        const QPixmap grab = addIndicator(&bar, QStringLiteral("battery_full.svg"), QString(), Qt::ToolButtonIconOnly)->grab();
        const QImage image = grab.toImage().convertToFormat(QImage::Format_ARGB32);
        QRect icon;
        count(image, image.rect(), isInk, &icon);
        const int cell = panor_guiData->panord_getInterfaceSize(PanorData::PANORD_INDICATOR).height();
        std::printf("%d %d\n", qRound(cell * grab.devicePixelRatio()), icon.width());
        return 0;
    }
    QTemporaryDir noPlugins;
    QCoreApplication::setLibraryPaths({noPlugins.path()});
    QFile::copy(kIcons + QStringLiteral("/wifi_high.svg"), noPlugins.filePath(QStringLiteral("lone.svg")));
    const QImage copied = grabImage(addIndicator(&bar, QStringLiteral("wifi_high.svg"), QString(), Qt::ToolButtonIconOnly));
    const QImage lone = grabImage(addIndicator(&bar, noPlugins.filePath(QStringLiteral("lone.svg")), QString(), Qt::ToolButtonIconOnly));
    return count(copied, copied.rect(), isInk) > 12 && count(lone, lone.rect(), isInk) == 0 ? 0 : 1;
}

QString runChild(const char* mode, const QString& variable = QString(), const QString& value = QString())
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!variable.isEmpty())
        env.insert(variable, value);
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QString::fromLatin1(mode)});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("failed");
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

} // namespace

class TestPanor : public QObject
{
    Q_OBJECT

private slots:
    void registrationFollowsTheControl()
    {
        auto* battery = new XIndicator;
        PANOR_cltSet(battery, QStringLiteral("xinfo_battery"), 1, 5000, -1);
        QCOMPARE(PANOR_cltFind(QStringLiteral("xinfo_battery")), battery);
        QCOMPARE(PANOR_cltFind(5000), battery);
        QCOMPARE((QVariantList{battery->objectName(), battery->property("panor_kind"), battery->property("panor_group")}),
                 (QVariantList{QStringLiteral("xinfo_battery"), 1, -1}));

        // Registered again: the old keys no longer find it. Indicators without a
        // provider share a name and an id; the latest registered is found.
        auto* gps = new XIndicator;
        PANOR_cltSet(battery, QStringLiteral("null"), 1, 2999, -1);
        PANOR_cltSet(gps, QStringLiteral("null"), 1, 2999, -1);
        QCOMPARE(PANOR_cltFind(QStringLiteral("xinfo_battery")), nullptr);
        QCOMPARE(PANOR_cltFind(5000), nullptr);
        QCOMPARE(PANOR_cltFind(2999), gps);
        delete gps;
        QCOMPARE(PANOR_cltFind(2999), battery);
        QCOMPARE(PANOR_cltFind(QStringLiteral("null")), battery);
        battery->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(PANOR_cltFind(2999), nullptr);
        QCOMPARE(PANOR_cltFind(QStringLiteral("null")), nullptr);
        PANOR_cltSet(nullptr, QStringLiteral("nothing"), 1, 77, -1); // ignored
    }

    void barOrdersControlsByPosition()
    {
        XBarTitle bar;
        XControl third, first, second, menu, secondToo;
        bar.xbtle_addControl(&third, 3, 1);
        bar.xbtle_addControl(&first, 1, 1);
        bar.xbtle_addControl(&menu, 9, XBarTitle::XBTLE_SIDE_LEFT);
        bar.xbtle_addControl(&second, 2, 7); // an unknown side counts as the right
        bar.xbtle_addControl(&secondToo, 2, 1);
        bar.xbtle_addControl(&third, 0, 1); // adding again moves it
        QVERIFY(!bar.xbtle_addControl(nullptr, 0, 1));
        const QList<QWidget*> order{&menu, &third, &first, &second, &secondToo};
        QCOMPARE(bar.xbtle_getControls(), order);

        bar.resize(500, bar.sizeHint().height());
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QVERIFY(!first.isVisible()); // until its owner shows it
        for (QWidget* control : order)
            control->show();
        QCoreApplication::processEvents();
        for (int i = 1; i < order.size(); ++i)
            QVERIFY(order.at(i)->x() > order.at(i - 1)->x());
        // The title's room lies between the two sides.
        QVERIFY(third.x() - menu.geometry().right() > 300);
    }

    void barSurvivesDeletedControls()
    {
        auto* bar = new XBarTitle;
        QVector<XIndicator*> in; // at positions 1 to 4
        for (int position = 1; position <= 4; ++position) {
            in.append(new XIndicator(bar));
            bar->xbtle_addControl(in.last(), position, 1);
            in.last()->show();
        }
        bar->resize(300, bar->sizeHint().height());
        bar->show();
        delete in[0];
        in[1]->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // A newcomer still finds its place among what is left.
        auto* d = new XIndicator;
        bar->xbtle_addControl(d, 3, 1);
        d->show();
        QCOMPARE(bar->xbtle_getControls(), (QList<QWidget*>{in[2], d, in[3]}));
        QCoreApplication::processEvents();
        QVERIFY(in[2]->x() < d->x() && d->x() < in[3]->x());

        // A control given another parent leaves the bar, even when it comes back.
        QWidget elsewhere;
        in[2]->setParent(&elsewhere);
        in[2]->setParent(bar);
        QCOMPARE(bar->xbtle_getControls(), (QList<QWidget*>{d, in[3]}));

        // The status library releases its indicators late, possibly after the bar.
        in[3]->deleteLater();
        delete bar;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void textNamesTheIndicator()
    {
        XIndicator indicator;
        indicator.xind_setIcon(QStringLiteral(VANTEL_ICON_BUILD_DIR "/battery_half.svg"), QSize(24, 24));
        QCOMPARE(indicator.accessibleName(), QStringLiteral("battery half"));
        QVERIFY(indicator.toolTip().isEmpty());

        indicator.xind_setText(QStringLiteral("47%"));
        QCOMPARE(indicator.toolTip(), QStringLiteral("47%"));
        QCOMPARE(indicator.accessibleName(), QStringLiteral("47%"));
    }

    void statusDecidesClicks()
    {
        XIndicator control;
        control.setFixedSize(28, 28);
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        QSignalSpy clicks(&control, &QAbstractButton::clicked);
        // Disabled and passive controls take no click; a status outside the set is ignored.
        for (XControl::eCONTROL_STATUS status : {XControl::XCTL_STATUS_DISABLED, XControl::XCTL_STATUS_PASSIVE,
                                                 XControl::XCTL_STATUS_ACTIVE, XControl::XCTL_STATUS_ALERT}) {
            control.xctl_setStatus(status);
            QTest::mouseClick(&control, Qt::LeftButton);
        }
        QCOMPARE(clicks.count(), 2);
        control.xctl_setStatus(static_cast<XControl::eCONTROL_STATUS>(7));
        QCOMPARE(control.xctl_getStatus(), XControl::XCTL_STATUS_ALERT);
    }

    void barShowsIndicators()
    {
        XBarTitle bar;
        bar.xbtle_setTitle(QStringLiteral("Diagnosis"));
        QVector<XIndicator*> indicators;
        for (const char* icon : {"battery_half.svg", "wifi_high.svg", "internetonline.svg", "camerror.svg", "keyboard_white.png"})
            indicators.append(addIndicator(&bar, QLatin1String(icon), QString(), Qt::ToolButtonIconOnly));
        // The green icon with text: left out for text only, shown with text beside it.
        for (Qt::ToolButtonStyle mode : {Qt::ToolButtonTextOnly, Qt::ToolButtonTextBesideIcon})
            indicators.append(addIndicator(&bar, QStringLiteral("ok.svg"), QStringLiteral("75%"), mode));
        bar.resize(400, bar.sizeHint().height());
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));

        const QImage image = grabImage(&bar);
        QVERIFY(image.save(QStringLiteral(PANOR_TEST_OUTPUT_DIR "/panor_bar.png")));
        // The title is drawn at the left, ahead of the indicators.
        QVERIFY(count(image, QRect(0, 0, indicators.first()->x(), image.height()), isInk) > 20);
        for (XIndicator* indicator : indicators) {
            const QRect area = indicator->geometry();
            QVERIFY2(count(image, area, isInk) > 12, qPrintable(indicator->xind_getIconPath()));
            // Frameless and flat: the corners show the bar.
            QVERIFY(isBar(image.pixel(area.topLeft())) && isBar(image.pixel(area.bottomRight())));
        }
        QVERIFY(count(image, indicators.at(2)->geometry(), isGreen) > 10);
        QVERIFY(count(image, indicators.at(3)->geometry(), isRed) > 10);
        QCOMPARE(count(image, indicators.at(5)->geometry(), isGreen), 0);
        QVERIFY(count(image, indicators.at(6)->geometry(), isGreen) > 10);
        // The indicators end at the right end of the bar.
        QVERIFY(indicators.last()->geometry().right() > bar.width() - 12);
    }

    void everyCatalogueIconDraws()
    {
        structVANTEL_PROGRAMDATA data;
        data.pathImages = kIcons;
        QVector<IconEntry> icons;
        QVERIFY(vantel_buildIcons(icons, data));
        for (const IconEntry& entry : icons) {
            if (entry.name.isEmpty())
                continue; // an unused slot
            QVERIFY2(entry.name.endsWith(QLatin1String(".svg")), qPrintable(entry.name + QLatin1String(" is not in the set")));
            for (const QString& path : {entry.path, entry.path.chopped(3) + QLatin1String("png")}) {
                QImageReader reader(path);
                reader.setScaledSize(QSize(24, 24));
                const QImage icon = reader.read().convertToFormat(QImage::Format_ARGB32);
                const int opaque = count(icon, icon.rect(), isOpaque);
                QVERIFY2(!icon.isNull() && (entry.name == QLatin1String("null.svg") ? opaque == 0 : opaque > 30), qPrintable(path));
            }
        }
    }

    void missingSvgPluginFallsBackToPng()
    {
        QCOMPARE(runChild("noplugin").count(QStringLiteral("Panor: the Qt SVG image plugin is missing")), 1);
    }

    void highDpiKeepsPhysicalSize()
    {
        // Qt 6 turns a high logical DPI into a pixel ratio; Qt 5 leaves it to Panor.
        const struct { const char* variable; const char* value; int cell; } screens[] = {
            {"QT_FONT_DPI", "144", 45}, {"QT_SCALE_FACTOR", "2", 60}}; // cell: physical pixels
        for (const auto& screen : screens) {
            const QStringList out = runChild("dpi", QString::fromLatin1(screen.variable), QString::fromLatin1(screen.value))
                                        .split(QLatin1Char('\n')).first().split(QLatin1Char(' '));
            // The battery fills nearly its whole icon, at the screen's size.
            const int icon = screen.cell - 2 * screen.cell / 10;
            QVERIFY2(out.size() == 2 && out[0].toInt() == screen.cell && out[1].toInt() >= icon * 85 / 100
                         && out[1].toInt() <= icon,
                     qPrintable(screen.variable + QLatin1Char(' ') + out.join(QLatin1Char(' '))));
        }
    }
};

int main(int argc, char** argv)
{
    if (argc > 2 && qstrcmp(argv[1], "--child") == 0)
        return child(argc, argv);
    QApplication app(argc, argv);
    TestPanor test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panor.moc"
