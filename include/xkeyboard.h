#ifndef XKEYBOARD_H
#define XKEYBOARD_H

/// @file
/// XKeyboard, the on-screen keyboard indicator's provider.

#include <QObject>
#include <QProcess>
#include <QString>

#include "vantel_export.h"

/// The on-screen keyboard indicator's provider: shown while the platform's
/// keyboard program exists; a click opens the keyboard, and the host may close
/// its window.
///
/// Thread: the GUI thread only; the host finds it with
/// `findChild<XKeyboard*>()` on its indicator.
///
/// Without the keyboard program: HARDWARE_OFF, and the indicator stays
/// hidden. Without an X server its window is never found: a click starts
/// the program again, and KeyBoardClose() closes nothing. On a Wayland
/// compositor that lists no windows to its clients (cage), the keyboard is
/// started as the library's own child, one at a time: KeyBoardClose() ends
/// it with SIGTERM (SIGKILL after a grace of 3 s), and so does the
/// provider's end.
class VANTEL_EXPORT XKeyboard : public QObject
{
    Q_OBJECT
public:
    /// Takes the keyboard program and its window class for the running
    /// Windows version, once.
    explicit XKeyboard(QObject* parent = nullptr);
    /// The keyboard itself stays open, but for one of the library's own.
    ~XKeyboard() override;

    /// One status query: HARDWARE_OFF while the keyboard program is not
    /// there (once found, it is not looked for again), else XINFORET_OK with
    /// the keyboard icon.
    int xkb_getStatus(QString& value, QString& icon);

    /// Opens the keyboard; where the version looks first, only when its window
    /// is not open yet. The argument is not used.
    void KeyBoardLaunch(QString);
    /// Asks the keyboard's window to close, when there is one; else ends the
    /// keyboard the library started as its own child.
    void KeyBoardClose();

public slots:
    /// A click launches the keyboard, once until the next status query.
    void slt_InternalCommunication(int val, int par, int opt);
    /// Fits QProcess::finished: closes the keyboard window.
    void slt_kbClosed(int exitCode, QProcess::ExitStatus exitStatus);

private:
    void startKeyboard();

    qint32 state = -1;
    QString valueText;
    QString iconPath;
    QString keyboardProgram;
    bool launchPending = false;
    QProcess* process = nullptr;
    unsigned versionWord = 0;
    QString windowClass;
    QString shell;
};

#endif
