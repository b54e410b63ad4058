// vantel-demo-keyboard: a keyboard for the demo's simulated tablet. Its keys
// type into a line of its own; it takes no focus from the demo, and it ends
// when its window is asked to close, as a real on-screen keyboard does.
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "standinkeyboard.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Qt names the window's WM_CLASS class after the application.
    QApplication::setApplicationName(QLatin1String(kStandInKeyboardClass));

    QWidget window;
    window.setWindowTitle(QStringLiteral("On-screen keyboard (demo stand-in)"));
    window.setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    auto* typed = new QLabel;
    typed->setFrameShape(QFrame::StyledPanel);
    typed->setMinimumHeight(typed->fontMetrics().height() + 8);
    auto* keys = new QGridLayout;
    const char* const rows[] = {"1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    for (int row = 0; row < 4; ++row) {
        const QString letters = QLatin1String(rows[row]);
        for (int column = 0; column < letters.size(); ++column) {
            auto* key = new QPushButton(letters.at(column));
            key->setFocusPolicy(Qt::NoFocus);
            key->setFixedSize(36, 36);
            QObject::connect(key, &QPushButton::clicked, typed,
                             [typed, letter = letters.at(column)] { typed->setText(typed->text() + letter); });
            keys->addWidget(key, row, column);
        }
    }
    auto* space = new QPushButton(QStringLiteral("space"));
    space->setFocusPolicy(Qt::NoFocus);
    QObject::connect(space, &QPushButton::clicked, typed, [typed] { typed->setText(typed->text() + QLatin1Char(' ')); });
    keys->addWidget(space, 4, 2, 1, 6);

    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(typed);
    layout->addLayout(keys);
    window.show();
    return QApplication::exec();
}
