#pragma once
// The file-and-folder picker of the open command: Qt's own (never the
// desktop's) file dialog, whose confirmation returns every item selected in
// its list, files, folders and drives alike, or the shown folder when
// nothing is selected. The results stay in two process-wide values.

#include "platform/Drives.h"
#include "ui/PickerSelection.h"

#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <vector>

class QAbstractItemView;
class QPushButton;

class CSelDialog : public QFileDialog {
    Q_OBJECT
public:
    static constexpr int kFileNameLabel = 289;  // "выбранного файла :"
    static constexpr int kAcceptText = 290;     // "Подтвердить"
    static constexpr int kRejectText = 302;     // "Отменить"
    static constexpr int kTitle = 241;          // "Открыть"

    // Opens at initialFolder, owned by (and shown near) owner; the drives'
    // roots are offered beside the list and confirmed as roots.
    CSelDialog(QWidget* owner, const QString& initialFolder, const Drives& drives);

    // Runs a picker modally; true when confirmed, the results then in
    // SelectedFolder and SelectedPaths.
    static bool Run(QWidget* owner, const QString& initialFolder, const Drives& drives = Drives());

    // The folder the picker shows (no trailing '/' but for the root); it
    // follows the picker while it runs and keeps the last one after.
    static QString SelectedFolder();
    // The paths of the last confirmation (Cancel leaves them).
    static QStringList SelectedPaths();

    void OnInitDone();
    void OnFolderChange(const QString& folder);
    void SetControlTexts();
    void PlaceNearOwner();
    // The list's selected items in list order.
    std::vector<PickerItem> SelectedItems() const;

    // The confirmation: Enter, OK and a double-click on a file alike.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractItemView* CurrentView() const;
    // The folder the list shows; empty in the computer's view.
    QString ShownFolder() const;
    QPushButton* OpenButton() const;
    void HideFileTypes();

    QWidget* owner;
    Drives drives;
    bool initDone = false;
};
