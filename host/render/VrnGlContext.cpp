#include "VrnGlContext.h"

#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glcorearb.h>

#include <QByteArray>
#include <QMutex>
#include "VrnMutexLocker.h"
#include <QtGlobal>

namespace {
struct ContextState
{
    bool tried = false;
    bool ok = false;
    QString error;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
};

ContextState& state()
{
    static ContextState s;
    return s;
}

QString eglError(const char* what)
{
    return QStringLiteral("%1 failed (EGL error 0x%2)").arg(QString::fromLatin1(what)).arg(eglGetError(), 4, 16, QLatin1Char('0'));
}

bool create(ContextState& s)
{
    // Without a GPU the surfaceless platform falls back to the software
    // rasteriser anyway; asking for it keeps pictures identical from machine to machine.
    if (qEnvironmentVariableIsEmpty("VRN_RENDER_HARDWARE") && qEnvironmentVariableIsEmpty("LIBGL_ALWAYS_SOFTWARE"))
        qputenv("LIBGL_ALWAYS_SOFTWARE", "1");
    s.display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (s.display == EGL_NO_DISPLAY) {
        s.error = QStringLiteral("no EGL display on the surfaceless platform");
        return false;
    }
    EGLint major = 0, minor = 0;
    if (!eglInitialize(s.display, &major, &minor)) {
        s.error = eglError("eglInitialize");
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        s.error = eglError("eglBindAPI(OpenGL)");
        return false;
    }
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    const QByteArray extensions = eglQueryString(s.display, EGL_EXTENSIONS);
    const bool noConfig = extensions.contains("EGL_KHR_no_config_context");
    if (!noConfig && (!eglChooseConfig(s.display, configAttributes, &config, 1, &configs) || configs < 1)) {
        s.error = eglError("eglChooseConfig");
        return false;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 4, EGL_CONTEXT_MINOR_VERSION, 5,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    s.context = eglCreateContext(s.display, noConfig ? EGL_NO_CONFIG_KHR : config, EGL_NO_CONTEXT, contextAttributes);
    if (s.context == EGL_NO_CONTEXT) {
        s.error = eglError("creating an OpenGL 4.5 core context");
        return false;
    }
    return true;
}
} // namespace

bool VrnGlContext::makeCurrent(QString& error)
{
    static QMutex mutex;
    VrnMutexLocker lock(&mutex);
    ContextState& s = state();
    if (!s.tried) {
        s.tried = true;
        s.ok = create(s);
    }
    if (!s.ok) {
        error = QStringLiteral("no headless OpenGL 4.5 context: %1").arg(s.error);
        return false;
    }
    if (eglGetCurrentContext() != s.context && !eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, s.context)) {
        error = eglError("eglMakeCurrent");
        return false;
    }
    return true;
}

QString VrnGlContext::description()
{
    QString error;
    if (!makeCurrent(error))
        return error;
    return QStringLiteral("%1, OpenGL %2")
        .arg(QString::fromLatin1(reinterpret_cast<const char*>(glGetString(GL_RENDERER))),
             QString::fromLatin1(reinterpret_cast<const char*>(glGetString(GL_VERSION))));
}
