#include "settings/dialogs/DialogRunner.h"

#include <QDialog>

int ExecDialog(QDialog& dialog)
{
    return dialog.exec();
}
