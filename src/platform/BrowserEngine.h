#pragma once
// What the embedded browser engine needs before the application object
// exists. The program's start-up and every test main that makes a browser
// call it first.

namespace platform {

// Shares OpenGL contexts between windows (the engine asks for it before the
// application object), and, for a process running as root with
// QTWEBENGINE_DISABLE_SANDBOX unset, switches Chromium's sandbox off:
// Chromium refuses to start as root with it on.
void PrepareBrowserEngine();

}  // namespace platform
