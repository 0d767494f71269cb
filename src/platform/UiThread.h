#pragma once
// Hand-off of work to the UI thread, the thread that owns the application
// object. QtCore only.
//
// Invoke blocks its caller until the task has run; Post returns at once. The
// tasks and their completion travel through our own mutex/condition-variable
// queues; the UI thread is woken through an eventfd watched by a
// QSocketNotifier, so the main loop and every nested loop (modal dialogs,
// menus) serve Invoke while it waits.

#include <functional>
#include <string>

class QObject;

namespace UiThread {

// Makes the calling thread the UI thread. Runs once, after the application
// object exists; again only after Close.
void Install();

bool IsUiThread();

// Runs fn on the UI thread and returns when it has run: inline on the UI
// thread, otherwise queued (tasks run in arrival order) while the caller
// waits. True when fn ran; false at once without running it when no UI
// thread is installed or after Close (a waiting call then wakes with false).
// An exception thrown by fn is rethrown here.
bool Invoke(const std::function<void()>& fn);

// Queues fn to run once on the UI thread from its event loop and returns at
// once. The task is dropped when context (if given) has been deleted by then,
// and by Close. False when the task was not queued.
bool Post(QObject* context, std::function<void()> fn);

// As Post, but dropped while a task with the same key is queued or running.
bool PostCoalesced(const std::string& key, QObject* context, std::function<void()> fn);

// UI thread only: runs the queued Invoke tasks and nothing else. While it
// runs, nested loops started by those tasks serve Invoke tasks only.
void ServePending();

// Whether the calling thread is running an Invoke task.
bool InInvokeTask();

// UI thread only: stops the hand-off. Waiting Invoke calls return false,
// queued tasks are dropped, later calls fail at once.
void Close();

}  // namespace UiThread
