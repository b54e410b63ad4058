// The demo's window: the Panor title bar with the title at the left and the
// library's indicators at the right, the panel of what the host receives,
// the host's own controls, and a status line.
#ifndef DEMOWINDOW_H
#define DEMOWINDOW_H

#include <QWidget>

class CaptureFolders;
class DemoApplication;
class HostControls;
class InformationPanel;
class LibrarySession;
class QLabel;
class VantelSimulation;
class XBarTitle;

class DemoWindow : public QWidget
{
    Q_OBJECT
public:
    // Attaches the opened `library` to the window's bar. `simulation` may be
    // null (the real machine); otherwise its scenario steps drive the status
    // line and the vehicle battery reading.
    DemoWindow(DemoApplication& app, LibrarySession& library, VantelSimulation* simulation,
               QWidget* parent = nullptr);

    XBarTitle* titleBar() const { return bar; }

private:
    void showScenarioStep(int step, const QString& description);

    LibrarySession& library;
    XBarTitle* bar = nullptr;
    InformationPanel* panel = nullptr;
    HostControls* controls = nullptr;
    CaptureFolders* captures = nullptr;
    QLabel* status = nullptr;
};

#endif
