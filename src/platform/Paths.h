#pragma once
// Where things are on this machine. Paths use '/'.

#include <QString>

namespace Paths {

// The current working directory, the full path (getcwd).
QString WorkingFolder();

// The folder of the running program and its file name without the last
// extension; both from /proc/self/exe, so they work before a
// QCoreApplication exists.
QString ProgramFolder();
QString ProgramBaseName();

// The per-user configuration folder of the viewer: $XDG_CONFIG_HOME when it
// is absolute, else $HOME/.config when HOME is absolute, then
// "/KestrovViewer". Empty when neither is usable.
QString ConfigFolder();

// The user's documents folder, or the home folder when there is none.
QString DocumentsFolder();

// folder + '/' + name, with exactly one '/' between them.
QString Join(const QString& folder, const QString& name);

}  // namespace Paths
