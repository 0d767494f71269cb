#include "ui/CLoadingDlg.h"

#include "platform/widgets/DialogBuilder.h"
#include "ui/UiAssert.h"

CLoadingDlg::CLoadingDlg(QWidget* parent) : QDialog(parent)
{
    ui::AssertUiThread();
    DialogBuilder::Build(DialogTemplate::Get(static_cast<int>(LoadingDlgId::Template)), this);
}
