#pragma once
// How a modal dialog is run: exec() in the program; tests put in a function
// that drives the dialog and returns its result without a nested loop.

#include <functional>

class QDialog;

using DialogRunner = std::function<int(QDialog&)>;

// dialog.exec()
int ExecDialog(QDialog& dialog);
