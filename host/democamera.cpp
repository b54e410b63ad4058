// vantel-demo-camera: the camera application of the demo's simulated tablet.
// The library starts it, with the argument string "MODE=2", when the camera
// indicator is clicked; it shows a window saying how it was started.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Vantel demo camera"));
    auto* said = new QLabel(arguments.isEmpty()
                                ? QStringLiteral("Started without arguments")
                                : QStringLiteral("Started with %1").arg(arguments.join(QLatin1Char(' '))));
    QFont big = said->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    said->setFont(big);
    auto* who = new QLabel(QStringLiteral("process %1").arg(QApplication::applicationPid()));
    who->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral("Close"));
    QObject::connect(close, &QPushButton::clicked, &window, &QWidget::close);

    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(said);
    layout->addWidget(who);
    layout->addWidget(close, 0, Qt::AlignRight);
    window.show();
    return QApplication::exec();
}
