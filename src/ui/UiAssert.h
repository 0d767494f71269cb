#pragma once
// Widgets are touched on the UI thread only; the windows' entry points check
// it in debug and sanitizer builds.

#include "platform/UiThread.h"

#include <QtGlobal>

namespace ui {

inline void AssertUiThread()
{
    Q_ASSERT(UiThread::IsUiThread());
}

}  // namespace ui
