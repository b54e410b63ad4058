// Ends programs the library no longer wants, politely: SIGTERM at once (a
// camera recording to the stick closes its file), SIGKILL after a grace of
// 3 s, and the process object deleted once the program has ended. Nobody
// waits: the caller goes on at once, and a program stuck in the kernel (a
// pulled stick) holds only its own process object, never the GUI thread.
// When the application object goes, what still runs gets the rest of its
// grace and SIGKILL; one the kernel still holds then is left to the system.
#ifndef PROGRAMENDER_H
#define PROGRAMENDER_H

#include <QDeadlineTimer>
#include <QHash>
#include <QObject>

class QProcess;

class ProgramEnder : public QObject
{
    Q_OBJECT
public:
    static const int kGraceMs = 3000;

    // Takes `process` over (from its parent) and ends its program; a process
    // object whose program has already ended is deleted later, as it is.
    static void end(QProcess* process);

private:
    ProgramEnder() = default;
    static ProgramEnder* instance();
    static void endAtExit();

    void take(QProcess* process);

    QHash<QProcess*, QDeadlineTimer> ending;
};

#endif
