#pragma once

#include <QString>

// The process's headless OpenGL 4.5 core context: EGL on the surfaceless
// platform, no display and no window. Made once, current on the thread that
// first asks for it.
namespace VrnGlContext {
// False, with the reason, when no such context can be made here.
bool makeCurrent(QString& error);
// The renderer and version strings of the context, for reports.
QString description();
} // namespace VrnGlContext
