// Guards what the title bar draws: a dark, frameless bar whose indicators show
// their icons (SVG, and the PNG copy of the set) and their text; every icon of
// the set renders at indicator size, the empty one stays empty; an unreadable
// icon leaves the indicator blank with one warning; without Qt's SVG image
// plugin (a child process that cannot find it) Panor says so once and draws
// SVG icons from their PNG copies.
#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QtTest>

#include "panordata.h"
#include "pixels.h"
#include "xbartitle.h"
#include "xindicator.h"

namespace {

const QString kIcons = QStringLiteral(VANTEL_ICON_BUILD_DIR);

// An indicator set up the way the status library sets up its own.
XIndicator* makeIndicator(const QString& icon, const QString& text, Qt::ToolButtonStyle mode)
{
    auto* indicator = new XIndicator;
    xPerimeter perimeter;
    perimeter.xper_setAngle(false);
    perimeter.xper_setBorder(false);
    const int h = panor_guiData->panord_getInterfaceSize(PanorData::PANORD_INDICATOR).height();
    indicator->setFixedSize(h - 2, h - 2);
    indicator->xind_setPerimeter(perimeter);
    indicator->xind_setStyle(9);
    indicator->xctl_setStatus(XControl::XCTL_STATUS_ACTIVE);
    indicator->setToolButtonStyle(mode);
    if (!icon.isEmpty())
        indicator->xind_setIcon(kIcons + QLatin1Char('/') + icon, QSize(h - 2 * h / 10, h - 2 * h / 10));
    if (!text.isEmpty())
        indicator->xind_setText(text);
    return indicator;
}

int warnings = 0;
void countWarnings(QtMsgType type, const QMessageLogContext&, const QString&)
{
    warnings += type == QtWarningMsg ? 1 : 0;
}

QImage grabImage(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

const char kWithoutSvgPlugin[] = "--without-svg-plugin";

// In the child: SVG icons with image plugins out of reach, with and without
// a PNG copy beside them.
int drawWithoutSvgPlugin(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir noPlugins;
    QCoreApplication::setLibraryPaths({noPlugins.path()});
    QFile::copy(kIcons + QStringLiteral("/wifi_high.svg"), noPlugins.filePath(QStringLiteral("lone.svg")));

    XBarTitle bar;  // dark, so that the light ink of the icons shows
    XIndicator* copied = makeIndicator(QStringLiteral("wifi_high.svg"), QString(), Qt::ToolButtonIconOnly);
    XIndicator* again = makeIndicator(QStringLiteral("battery_full.svg"), QString(), Qt::ToolButtonIconOnly);
    XIndicator* lone = makeIndicator(QString(), QString(), Qt::ToolButtonIconOnly);
    lone->xind_setIcon(noPlugins.filePath(QStringLiteral("lone.svg")), QSize(24, 24));
    for (XIndicator* indicator : {copied, again, lone})
        indicator->setParent(&bar);
    const QImage fromCopy = grabImage(copied);
    const QImage fromLone = grabImage(lone);
    const bool copyDrawn = pixels::count(fromCopy, fromCopy.rect(), pixels::isInk) > 12;
    const bool loneBlank = pixels::count(fromLone, fromLone.rect(), pixels::isInk) == 0;
    return copyDrawn && loneBlank ? 0 : 1;
}

} // namespace

class TestPanorRender : public QObject
{
    Q_OBJECT

private slots:
    void barShowsIndicators();
    void pngCopyMatchesSvg();
    void everyIconRenders();
    void unreadableIconLeavesIndicatorBlank();
    void missingSvgPluginIsReported();
};

void TestPanorRender::barShowsIndicators()
{
    XBarTitle bar;
    bar.xbtle_setTitle(QStringLiteral("Diagnosis"));
    struct Spec { QString icon, text; Qt::ToolButtonStyle mode; };
    const QVector<Spec> specs = {
        {QStringLiteral("battery_half.svg"), QString(), Qt::ToolButtonIconOnly},
        {QStringLiteral("wifi_high.svg"), QString(), Qt::ToolButtonIconOnly},
        {QStringLiteral("internetonline.svg"), QString(), Qt::ToolButtonIconOnly},
        {QStringLiteral("camerror.svg"), QString(), Qt::ToolButtonIconOnly},
        {QStringLiteral("keyboard_white.png"), QString(), Qt::ToolButtonIconOnly},
        {QStringLiteral("brightness_high.svg"), QStringLiteral("75%"), Qt::ToolButtonTextOnly},
    };
    QVector<XIndicator*> indicators;
    for (const Spec& spec : specs) {
        indicators.append(makeIndicator(spec.icon, spec.text, spec.mode));
        indicators.last()->setParent(&bar);
        QVERIFY(bar.xbtle_addControl(indicators.last(), indicators.size(), 1));
        indicators.last()->show();  // as an indicator does once it has a status
    }
    bar.resize(400, bar.sizeHint().height());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));

    const QImage image = grabImage(&bar);
    QVERIFY(image.save(QStringLiteral(PANOR_TEST_OUTPUT_DIR "/panor_bar.png")));

    QVERIFY(pixels::isBar(image.pixel(image.width() / 2, 2)));
    // The title is drawn at the left, ahead of the indicators.
    QVERIFY(pixels::count(image, QRect(0, 0, indicators.first()->x(), image.height()), pixels::isInk) > 20);
    for (XIndicator* indicator : indicators) {
        const QRect area = indicator->geometry();
        QVERIFY2(pixels::count(image, area, pixels::isInk) > 12, qPrintable(indicator->xind_getIconPath()));
        // Frameless and flat: the corners show the bar.
        QVERIFY(pixels::isBar(image.pixel(area.topLeft())));
        QVERIFY(pixels::isBar(image.pixel(area.bottomRight())));
    }
    // The status colours survive: the online badge is green, the camera error red.
    QVERIFY(pixels::count(image, indicators.at(2)->geometry(), pixels::isGreen) > 10);
    QVERIFY(pixels::count(image, indicators.at(3)->geometry(), pixels::isRed) > 10);
    // The indicators end at the right end of the bar.
    QVERIFY(indicators.last()->geometry().right() > bar.width() - 12);
}

void TestPanorRender::pngCopyMatchesSvg()
{
    QScopedPointer<XIndicator> svg(makeIndicator(QStringLiteral("wifi_half.svg"), QString(), Qt::ToolButtonIconOnly));
    QScopedPointer<XIndicator> png(makeIndicator(QStringLiteral("wifi_half.png"), QString(), Qt::ToolButtonIconOnly));
    const QImage a = grabImage(svg.data());
    const QImage b = grabImage(png.data());
    QCOMPARE(a.size(), b.size());
    qint64 difference = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            difference += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)))
                          + std::abs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y)));
    QVERIFY(pixels::count(a, a.rect(), pixels::isOpaque) > 40);
    // Rendered once at 24 px and once scaled down from the large copy: the
    // same picture up to anti-aliasing.
    QVERIFY2(difference / (a.width() * a.height()) < 12, qPrintable(QString::number(difference)));
}

void TestPanorRender::everyIconRenders()
{
    const QStringList names = QDir(kIcons).entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    QCOMPARE(names.size(), 50);
    const int columns = 10, cell = 32, side = 24;
    QImage sheet(columns * cell, (int(names.size()) + columns - 1) / columns * cell, QImage::Format_ARGB32);
    sheet.fill(QColor(0x1c, 0x20, 0x26));
    QPainter painter(&sheet);
    for (int i = 0; i < names.size(); ++i) {
        for (const QString& suffix : {QStringLiteral(".svg"), QStringLiteral(".png")}) {
            const QString file = QFileInfo(names.at(i)).completeBaseName() + suffix;
            QImageReader reader(kIcons + QLatin1Char('/') + file);
            reader.setScaledSize(QSize(side, side));
            const QImage icon = reader.read().convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(!icon.isNull(), qPrintable(file + QLatin1String(": ") + reader.errorString()));
            const int opaque = pixels::count(icon, icon.rect(), pixels::isOpaque);
            if (file.startsWith(QLatin1String("null.")))
                QVERIFY2(pixels::count(icon, icon.rect(), [](QRgb c) { return qAlpha(c) > 0; }) == 0, qPrintable(file));
            else
                QVERIFY2(opaque > 30, qPrintable(file));
            if (suffix == QLatin1String(".svg"))
                painter.drawImage((i % columns) * cell + 4, (i / columns) * cell + 4, icon);
        }
    }
    painter.end();
    QVERIFY(sheet.save(QStringLiteral(PANOR_TEST_OUTPUT_DIR "/panor_icons_24px.png")));
}

void TestPanorRender::unreadableIconLeavesIndicatorBlank()
{
    QScopedPointer<XIndicator> blank(makeIndicator(QString(), QString(), Qt::ToolButtonIconOnly));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Panor: no picture from icon .*absent\\.svg")));
    QScopedPointer<XIndicator> missing(makeIndicator(QStringLiteral("absent.svg"), QString(), Qt::ToolButtonIconOnly));
    // Every poll hands the same path again: it is reported once, not each time.
    warnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(countWarnings);
    missing->xind_setIcon(kIcons + QStringLiteral("/absent.svg"), QSize(24, 24));
    missing->xind_setIcon(kIcons + QStringLiteral("/absent.svg"), QSize(20, 20));
    qInstallMessageHandler(previous);
    QCOMPARE(warnings, 0);
    QCOMPARE(grabImage(missing.data()), grabImage(blank.data()));
}

void TestPanorRender::missingSvgPluginIsReported()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kWithoutSvgPlugin)});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);
    const QString errors = QString::fromUtf8(child.readAllStandardError());
    QCOMPARE(errors.count(QStringLiteral("Panor: the Qt SVG image plugin is missing")), 1);
}

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], kWithoutSvgPlugin) == 0)
        return drawWithoutSvgPlugin(argc, argv);
    QApplication app(argc, argv);
    TestPanorRender test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_panor_render.moc"
