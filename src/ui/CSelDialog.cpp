#include "ui/CSelDialog.h"

#include "core/Common.h"

#include <QComboBox>
#include <QDir>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>
#include <algorithm>
#include <set>

namespace {

// Only the first filter of the stored filter text counts (it ends at "||").
const QString kFilter = QStringLiteral("avi Files (*.avi)");
const QPoint kOffsetFromOwner(60, 100);

// The process-wide results; UI thread only.
QString& Folder()
{
    static QString folder;
    return folder;
}

QStringList& Paths()
{
    static QStringList paths;
    return paths;
}

}  // namespace

CSelDialog::CSelDialog(QWidget* owner, const QString& initialFolder, const Drives& drives)
    : QFileDialog(owner, Common::GetResourceString(kTitle), initialFolder), owner(owner), drives(drives)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilter(kFilter);

    QList<QUrl> places = {QUrl(QStringLiteral("file:")), QUrl::fromLocalFile(QDir::homePath())};
    for (const DriveInfo& drive : drives.Listed()) {
        places << QUrl::fromLocalFile(drive.root);
    }
    setSidebarUrls(places);
    SetControlTexts();
    HideFileTypes();

    connect(this, &QFileDialog::directoryEntered, this, &CSelDialog::OnFolderChange);
    // A folder picked in the look-in box sends the keys on to the list.
    if (auto* lookIn = findChild<QComboBox*>(QStringLiteral("lookInCombo"))) {
        connect(lookIn, &QComboBox::activated, this, [this] {
            if (QAbstractItemView* view = CurrentView()) {
                view->setFocus();
            }
        });
    }
    // OK confirms the shown folder when nothing is selected: the base class
    // disables it then, so it is enabled again after each of its updates.
    if (QPushButton* open = OpenButton()) {
        open->installEventFilter(this);
        open->setEnabled(true);
    }
}

bool CSelDialog::Run(QWidget* owner, const QString& initialFolder, const Drives& drives)
{
    CSelDialog picker(owner, initialFolder, drives);
    return picker.exec() == QDialog::Accepted;
}

QString CSelDialog::SelectedFolder()
{
    return Folder();
}

QStringList CSelDialog::SelectedPaths()
{
    return Paths();
}

void CSelDialog::showEvent(QShowEvent* event)
{
    QFileDialog::showEvent(event);
    if (!initDone) {
        initDone = true;
        OnInitDone();
    }
}

void CSelDialog::OnInitDone()
{
    Folder() = directory().absolutePath();
    SetControlTexts();
    HideFileTypes();
    PlaceNearOwner();
}

void CSelDialog::OnFolderChange(const QString& folder)
{
    // The computer's own view, the list of drives, is no folder: the last
    // folder shown stays the result (QDir would make "" the working folder).
    if (folder.isEmpty()) {
        return;
    }
    Folder() = QDir(folder).absolutePath();
}

void CSelDialog::SetControlTexts()
{
    setLabelText(QFileDialog::FileName, Common::GetResourceString(kFileNameLabel));
    setLabelText(QFileDialog::Accept, Common::GetResourceString(kAcceptText));
    setLabelText(QFileDialog::Reject, Common::GetResourceString(kRejectText));
}

void CSelDialog::HideFileTypes()
{
    if (auto* types = findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        types->hide();
    }
    if (auto* caption = findChild<QLabel*>(QStringLiteral("fileTypeLabel"))) {
        caption->hide();
    }
}

void CSelDialog::PlaceNearOwner()
{
    if (owner) {
        move(owner->frameGeometry().topLeft() + kOffsetFromOwner);
    }
}

QAbstractItemView* CSelDialog::CurrentView() const
{
    if (viewMode() == QFileDialog::Detail) {
        return findChild<QTreeView*>(QStringLiteral("treeView"));
    }
    return findChild<QListView*>(QStringLiteral("listView"));
}

QString CSelDialog::ShownFolder() const
{
    // The list's root is the folder shown; the computer's view (the drives)
    // has none, though directory() then answers ".".
    const QAbstractItemView* view = CurrentView();
    if (!view || !view->rootIndex().isValid()) {
        return {};
    }
    return view->rootIndex().data(QFileSystemModel::FilePathRole).toString();
}

QPushButton* CSelDialog::OpenButton() const
{
    auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    return buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
}

std::vector<PickerItem> CSelDialog::SelectedItems() const
{
    std::vector<PickerItem> items;
    const QAbstractItemView* view = CurrentView();
    if (!view || !view->selectionModel()) {
        return items;
    }
    // The list and the detail view share one selection; a detail row is
    // selected in every column, so one index per row is kept.
    QModelIndexList selected;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes()) {
        if (index.column() == 0) {
            selected << index;
        }
    }
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::set<QString> roots;
    for (const DriveInfo& drive : drives.Listed()) {
        roots.insert(drive.root);
    }
    for (const QModelIndex& index : selected) {
        PickerItem item;
        item.path = index.data(QFileSystemModel::FilePathRole).toString();
        item.displayName = index.data(Qt::DisplayRole).toString();
        item.isDir = QFileInfo(item.path).isDir();
        item.isMountRoot = item.isDir && roots.count(NormalizeRoot(item.path)) > 0;
        items.push_back(item);
    }
    return items;
}

void CSelDialog::accept()
{
    // The folder shown now, whichever way the picker got there; empty in
    // the computer's view, where only a selection can be confirmed.
    const QString shown = ShownFolder();
    const std::vector<PickerItem> items = SelectedItems();
    if (shown.isEmpty() && items.empty()) {
        return;
    }
    OnFolderChange(shown);
    Paths() = ComputeSelection(Folder(), items);
    QFileDialog::done(QDialog::Accepted);
}

bool CSelDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && watched == OpenButton()) {
        auto* open = static_cast<QPushButton*>(watched);
        if (!open->isEnabled()) {
            open->setEnabled(true);
        }
    }
    return QFileDialog::eventFilter(watched, event);
}
