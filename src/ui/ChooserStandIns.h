#pragma once
// Stand-ins for the start-up drive dialog and the file-and-folder picker
// until the real ones are wired in.

#include "ui/MainWindowServices.h"

// Answers as a cancel without showing anything: the viewer starts with an
// empty list.
StartupDriveChooser DriveChooserStandIn();

// The folder chooser: the chosen folder is both the folder reported and the
// one path opened.
OpenPicker FolderPickerStandIn();
