#include "xkeyboard.h"

#include <QFileInfo>

#include "indicator/iconcatalogue.h"
#include "platform.h"
#include "providers/statusreport.h"
#include "univ_modules/programender.h"
#include "xinfodata.h"

bool vantel_keyboardAppFound = false;

namespace {

enum {
    KB_STATE_NEW = -1,
    KB_STATE_MISSING = 0,
    KB_STATE_READY = 1,
    KB_STATE_LAUNCHED = 3
};

} // namespace

XKeyboard::XKeyboard(QObject* parent)
    : QObject(parent)
    , iconPath(vantel_iconPath(ICON_NULL))
    , versionWord(vantel::platform::windowsVersion().versionWord())
{
    const vantel::platform::KeyboardProgram keyboard = vantel::platform::keyboardProgram(versionWord);
    keyboardProgram = QString::fromStdString(keyboard.program);
    windowClass = QString::fromStdString(keyboard.windowClass);
    shell = QString::fromStdString(keyboard.shell);
}

// The shell that opens the keyboard ends on its own time, never ours; a
// keyboard of our own (below) ends with us.
XKeyboard::~XKeyboard()
{
    ProgramEnder::end(process);
    process = nullptr;
}

int XKeyboard::xkb_getStatus(QString& value, QString& icon)
{
    VANTEL_TRACE_HEADER("XKeyboard::xkb_getStatus");
    if (!vantel_keyboardAppFound && !keyboardProgram.isEmpty() && QFileInfo(keyboardProgram).isFile())
        vantel_keyboardAppFound = true;
    if (state == KB_STATE_NEW || state == KB_STATE_MISSING) {
        launchPending = false;
        state = KB_STATE_READY;
    }
    valueText = QString();
    int ret = XINFORET_OK;
    if (!vantel_keyboardAppFound) {
        state = KB_STATE_MISSING;
        iconPath = vantel_iconPath(ICON_NULL);
        ret = HARDWARE_OFF;
    } else if (state == KB_STATE_READY) {
        iconPath = vantel_iconPath(ICON_KEYBOARD_WHITE);
    } else if (state == KB_STATE_LAUNCHED) {
        launchPending = false;
        iconPath = vantel_iconPath(ICON_KEYBOARD_WHITE);
        state = KB_STATE_READY;
    }
    value = valueText;
    icon = iconPath;
    VANTEL_TRACE(TRC_MASK_NORMAL, vantel_statusReport(QString::number(state), valueText, iconPath, ret));
    return ret;
}

void XKeyboard::KeyBoardLaunch(QString)
{
    if (!process) {
        process = new QProcess(this);
        // Nobody reads what the shell writes.
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
    }
    if (versionWord > vantel::platform::WV_WINDOWS7
        || !vantel::platform::desktopWindows().findWindow(windowClass.toStdString()))
        startKeyboard();
    state = KB_STATE_LAUNCHED;
}

void XKeyboard::startKeyboard()
{
    if (!shell.isEmpty()) {
        process->start(shell, {keyboardProgram}, QIODevice::ReadWrite);
        return;
    }
    // Where the desktop does not show the keyboard's window, only its process
    // tells it is open and only a signal closes it: there the keyboard is our
    // child, one at a time.
    if (!vantel::platform::desktopWindows().seesEveryWindow()) {
        if (process->state() == QProcess::NotRunning)
            process->start(keyboardProgram, QStringList());
        return;
    }
    // Started by itself the keyboard would be this process's child and end
    // with the provider; detached it outlives it, as it outlives the shell
    // that opens it elsewhere.
    process->setProgram(keyboardProgram);
    process->setArguments({});
    process->startDetached();
}

void XKeyboard::KeyBoardClose()
{
    vantel::platform::DesktopWindows& windows = vantel::platform::desktopWindows();
    if (const vantel::platform::WindowHandle window = windows.findWindow(windowClass.toStdString())) {
        windows.closeWindow(window);
        return;
    }
    // A keyboard of our own whose window cannot be seen: SIGTERM.
    if (process && shell.isEmpty() && process->state() != QProcess::NotRunning) {
        ProgramEnder::end(process);
        process = nullptr;
    }
}

void XKeyboard::slt_InternalCommunication(int val, int, int)
{
    if (val != XINFO_MSG_CLICKED || launchPending)
        return;
    launchPending = true;
    KeyBoardLaunch(QString());
}

void XKeyboard::slt_kbClosed(int, QProcess::ExitStatus)
{
    KeyBoardClose();
}
