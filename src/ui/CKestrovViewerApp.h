#pragma once
// The program: the process set-up, then the start-up checks, the main window
// and its modal run.

#include "ui/MainWindowServices.h"

#include <functional>

struct AppServices {
    // What must work before any window: PNG images can be read.
    std::function<bool()> startupChecks;
    // The main window's services; called only once the checks passed.
    std::function<MainWindowServices()> makeWindowServices;

    static AppServices ForProgram();
};

class CKestrovViewerApp {
public:
    // The Qt application (its own options such as -platform; other arguments
    // are ignored), the C numeric locale, the UI thread, the font faces and
    // the message boxes; then InitInstance. The exit code.
    int Run(int argc, char** argv);

    // The start-up checks, then the main window run modally: 0 after a
    // close, 1 when a check or the libvlc binding failed (the user was told).
    int InitInstance(AppServices services);

    // PNG images can be read (the skin and the snapshots are PNG).
    static bool CanReadPng();
};
