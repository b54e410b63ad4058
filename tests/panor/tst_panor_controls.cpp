// Guards the controls' contract with their host: registration by name and id
// (and its cleanup when a control dies), the bar's order by side and position
// (also when controls are deleted while in it) which leaves showing them to
// their owner, tooltip and accessible name
// from the text, what each tool-button style shows, and the control statuses.
#include <QAccessible>
#include <QtTest>

#include "panor.h"
#include "pixels.h"
#include "xbartitle.h"
#include "xindicator.h"

namespace {

const QString kIcons = QStringLiteral(VANTEL_ICON_BUILD_DIR);

QImage grabImage(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestPanorControls : public QObject
{
    Q_OBJECT

private slots:
    void registrationByNameAndId();
    void registrationEndsWithTheControl();
    void barOrdersControlsByPosition();
    void barLeavesVisibilityToOwner();
    void barSurvivesDeletedControls();
    void textNamesTheIndicator();
    void styleDecidesTextAndIcon_data();
    void styleDecidesTextAndIcon();
    void statusDecidesClicks_data();
    void statusDecidesClicks();
};

void TestPanorControls::registrationByNameAndId()
{
    XIndicator battery;
    PANOR_cltSet(&battery, QStringLiteral("xinfo_battery"), 1, 5000, -1);
    QCOMPARE(PANOR_cltFind(QStringLiteral("xinfo_battery")), &battery);
    QCOMPARE(PANOR_cltFind(5000), &battery);
    QCOMPARE(battery.objectName(), QStringLiteral("xinfo_battery"));
    QCOMPARE(battery.property("panor_id").toInt(), 5000);
    QCOMPARE(battery.property("panor_kind").toInt(), 1);
    QCOMPARE(battery.property("panor_group").toInt(), -1);

    // Registered again under another name: the old keys no longer find it.
    PANOR_cltSet(&battery, QStringLiteral("xinfo_wifi"), 1, 5002, -1);
    QCOMPARE(PANOR_cltFind(QStringLiteral("xinfo_battery")), nullptr);
    QCOMPARE(PANOR_cltFind(5000), nullptr);
    QCOMPARE(PANOR_cltFind(5002), &battery);

    QObject anonymous;
    PANOR_cltSet(&anonymous, QString(), 0, -1, -1);
    QCOMPARE(PANOR_cltFind(QString()), nullptr);
    QCOMPARE(PANOR_cltFind(-1), nullptr);
    PANOR_cltSet(nullptr, QStringLiteral("nothing"), 1, 77, -1);
    QCOMPARE(PANOR_cltFind(77), nullptr);
}

void TestPanorControls::registrationEndsWithTheControl()
{
    // Two indicators without a provider share a name and an id.
    auto* modem = new XIndicator;
    auto* gps = new XIndicator;
    PANOR_cltSet(modem, QStringLiteral("null"), 1, 2999, -1);
    PANOR_cltSet(gps, QStringLiteral("null"), 1, 2999, -1);
    QCOMPARE(PANOR_cltFind(2999), gps);

    delete gps;
    QCOMPARE(PANOR_cltFind(2999), modem);
    QCOMPARE(PANOR_cltFind(QStringLiteral("null")), modem);
    modem->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(PANOR_cltFind(2999), nullptr);
    QCOMPARE(PANOR_cltFind(QStringLiteral("null")), nullptr);
}

void TestPanorControls::barOrdersControlsByPosition()
{
    XBarTitle bar;
    XControl third, first, second, menu, secondToo;
    bar.xbtle_addControl(&third, 3, 1);
    bar.xbtle_addControl(&first, 1, 1);
    bar.xbtle_addControl(&menu, 9, XBarTitle::XBTLE_SIDE_LEFT);
    bar.xbtle_addControl(&second, 2, 7);  // an unknown side counts as the right
    bar.xbtle_addControl(&secondToo, 2, 1);
    QCOMPARE(bar.xbtle_getControls(), (QList<QWidget*>{&menu, &first, &second, &secondToo, &third}));
    QVERIFY(!bar.xbtle_addControl(nullptr, 0, 1));

    // Adding a control again moves it.
    bar.xbtle_addControl(&third, 0, 1);
    QCOMPARE(bar.xbtle_getControls(), (QList<QWidget*>{&menu, &third, &first, &second, &secondToo}));

    bar.resize(500, bar.sizeHint().height());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    const QList<QWidget*> order = bar.xbtle_getControls();
    for (QWidget* control : order)
        control->show();
    QCoreApplication::processEvents();
    for (int i = 1; i < order.size(); ++i)
        QVERIFY(order.at(i)->x() > order.at(i - 1)->x());
    // The title's room lies between the two sides.
    QVERIFY(third.x() - menu.geometry().right() > 300);
    QVERIFY(secondToo.geometry().right() < bar.width());
}

void TestPanorControls::barLeavesVisibilityToOwner()
{
    XBarTitle bar;
    XControl fresh, shown, hidden, late;
    shown.setParent(&bar);
    shown.show();
    hidden.setParent(&bar);
    hidden.hide();
    bar.xbtle_addControl(&fresh, 1, 1);
    bar.xbtle_addControl(&shown, 2, 1);
    bar.xbtle_addControl(&hidden, 3, 1);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    late.setParent(&bar);
    bar.xbtle_addControl(&late, 4, 1);
    QCoreApplication::processEvents();
    QVERIFY(!fresh.isVisible());
    QVERIFY(shown.isVisible());
    QVERIFY(!hidden.isVisible());
    QVERIFY(!late.isVisible());
    fresh.show();
    QVERIFY(fresh.isVisible());
}

void TestPanorControls::barSurvivesDeletedControls()
{
    auto* bar = new XBarTitle;
    auto* a = new XIndicator;
    auto* b = new XIndicator;
    auto* c = new XIndicator;
    for (XIndicator* indicator : {a, b, c}) {
        indicator->setParent(bar);
        bar->xbtle_addControl(indicator, bar->xbtle_getControls().size() + 1, 1);
        indicator->show();
    }
    bar->show();
    delete b;
    a->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(bar->xbtle_getControls(), (QList<QWidget*>{c}));

    // New controls still find their place among what is left.
    XIndicator* d = new XIndicator;
    bar->xbtle_addControl(d, 0, 1);
    d->show();
    QCOMPARE(bar->xbtle_getControls(), (QList<QWidget*>{d, c}));
    bar->resize(300, bar->sizeHint().height());
    QCoreApplication::processEvents();
    QVERIFY(d->isVisible() && c->isVisible());
    QVERIFY(d->geometry().right() < c->x());

    // A control given another parent leaves the bar, even when it comes back.
    QWidget elsewhere;
    c->setParent(&elsewhere);
    c->setParent(bar);
    QCOMPARE(bar->xbtle_getControls(), (QList<QWidget*>{d}));
    bar->xbtle_addControl(new XIndicator, 5, 1);
    QCOMPARE(bar->xbtle_getControls().size(), 2);

    // The status library releases its indicators late, possibly after the bar.
    c->deleteLater();
    delete bar;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestPanorControls::textNamesTheIndicator()
{
    XIndicator indicator;
    indicator.xind_setIcon(kIcons + QStringLiteral("/battery_half.svg"), QSize(24, 24));
    QCOMPARE(indicator.accessibleName(), QStringLiteral("battery half"));
    QVERIFY(indicator.toolTip().isEmpty());

    indicator.xind_setText(QStringLiteral("47%"));
    QCOMPARE(indicator.toolTip(), QStringLiteral("47%"));
    QCOMPARE(indicator.xind_getText(), QStringLiteral("47%"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&indicator);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("47%"));
    QCOMPARE(accessible->role(), QAccessible::Button);
}

void TestPanorControls::styleDecidesTextAndIcon_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("icon");
    QTest::addColumn<bool>("text");
    QTest::newRow("icon only") << int(Qt::ToolButtonIconOnly) << 28 << true << false;
    QTest::newRow("text only") << int(Qt::ToolButtonTextOnly) << 28 << false << true;
    QTest::newRow("beside, wide") << int(Qt::ToolButtonTextBesideIcon) << 80 << true << true;
    QTest::newRow("beside, square") << int(Qt::ToolButtonTextBesideIcon) << 28 << true << true;
    QTest::newRow("under") << int(Qt::ToolButtonTextUnderIcon) << 28 << true << true;
}

void TestPanorControls::styleDecidesTextAndIcon()
{
    QFETCH(int, mode);
    QFETCH(int, width);
    QFETCH(bool, icon);
    QFETCH(bool, text);
    XBarTitle bar;  // for its dark palette
    auto* indicator = new XIndicator(&bar);
    indicator->setFixedSize(width, 28);
    indicator->xind_setStyle(XIndicator::XIND_STYLE_FLAT);
    indicator->setToolButtonStyle(Qt::ToolButtonStyle(mode));
    // A green picture and light text tell each other apart.
    indicator->xind_setIcon(kIcons + QStringLiteral("/ok.svg"), QSize(24, 24));
    indicator->xind_setText(QStringLiteral("ON"));
    const QImage image = grabImage(indicator);
    QCOMPARE(pixels::count(image, image.rect(), pixels::isGreen) > 20, icon);
    QCOMPARE(pixels::count(image, image.rect(), pixels::isInk) > 6, text);
    if (icon && text && width == 80) {
        const QRect green = pixels::bounds(image, pixels::isGreen);
        const QRect ink = pixels::bounds(image, pixels::isInk);
        QVERIFY(ink.left() > green.right());  // text beside, after the picture
    }
}

void TestPanorControls::statusDecidesClicks_data()
{
    QTest::addColumn<bool>("indicator");
    QTest::newRow("control") << false;
    QTest::newRow("indicator") << true;
}

void TestPanorControls::statusDecidesClicks()
{
    QFETCH(bool, indicator);
    QScopedPointer<XControl> control(indicator ? new XIndicator : new XControl);
    control->setFixedSize(28, 28);
    control->show();
    QVERIFY(QTest::qWaitForWindowExposed(control.data()));
    QSignalSpy clicks(control.data(), &QAbstractButton::clicked);

    const struct { XControl::eCONTROL_STATUS status; bool enabled; bool clicks; } cases[] = {
        {XControl::XCTL_STATUS_DISABLED, false, false},
        {XControl::XCTL_STATUS_PASSIVE, true, false},
        {XControl::XCTL_STATUS_ACTIVE, true, true},
        {XControl::XCTL_STATUS_ALERT, true, true},
    };
    for (const auto& c : cases) {
        clicks.clear();
        control->xctl_setStatus(c.status);
        QCOMPARE(control->xctl_getStatus(), c.status);
        QCOMPARE(control->isEnabled(), c.enabled);
        QTest::mouseClick(control.data(), Qt::LeftButton);
        QCOMPARE(clicks.count(), c.clicks ? 1 : 0);
    }
    // The alert status shows, and a value outside the set changes nothing.
    QVERIFY(pixels::count(grabImage(control.data()), QRect(0, 0, 28, 28), pixels::isRed) > 200);
    control->xctl_setStatus(static_cast<XControl::eCONTROL_STATUS>(7));
    QCOMPARE(control->xctl_getStatus(), XControl::XCTL_STATUS_ALERT);
}

QTEST_MAIN(TestPanorControls)
#include "tst_panor_controls.moc"
