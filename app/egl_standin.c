// SPDX-License-Identifier: MIT
// A stand-in EGL vendor for libglvnd, chosen by vexalo-config only while its window opens on Qt's
// Wayland plugin. It answers for Wayland displays with a display that initializes, and can do
// nothing else: it has no configurations, so no surface or context can be made. Qt before 6.8
// draws the window's title bar only once its EGL buffer integration has an initialized display,
// though the window itself paints into shared memory; this vendor gives it one without loading
// a GL driver (Mesa's, and LLVM with it).
#include <stdatomic.h>
#include <stdbool.h>
#include <stddef.h>
#include <string.h>

#define EGL_NO_X11
#include <glvnd/libeglabi.h>

#define EXPORTED __attribute__((visibility("default")))

// The one display: its address is its handle.
static char display;
static atomic_bool initialized;
static _Thread_local EGLint lastError = EGL_SUCCESS;

static EGLBoolean Fail(EGLint error)
{
    lastError = error;
    return EGL_FALSE;
}

static EGLBoolean Succeed(void)
{
    lastError = EGL_SUCCESS;
    return EGL_TRUE;
}

// libglvnd hands a vendor only the displays it made, but one made before eglInitialize or
// after eglTerminate answers as EGL says.
static EGLBoolean Ready(EGLDisplay dpy)
{
    if (dpy != (EGLDisplay)&display)
        return Fail(EGL_BAD_DISPLAY);
    if (!atomic_load(&initialized))
        return Fail(EGL_NOT_INITIALIZED);
    return Succeed();
}

static EGLDisplay GetPlatformDisplay(EGLenum platform, void* nativeDisplay,
                                     const EGLAttrib* attributes)
{
    (void)attributes;
    lastError = EGL_SUCCESS;
    return platform == EGL_PLATFORM_WAYLAND_KHR && nativeDisplay ? (EGLDisplay)&display
                                                                 : EGL_NO_DISPLAY;
}

// libglvnd takes no vendor that supports neither GL nor GLES; contexts fail all the same.
static EGLBoolean GetSupportsApi(EGLenum api)
{
    return api == EGL_OPENGL_ES_API;
}

static const char* GetVendorString(int name)
{
    return name == __EGL_VENDOR_STRING_PLATFORM_EXTENSIONS
               ? "EGL_KHR_platform_wayland EGL_EXT_platform_wayland"
               : NULL;
}

static EGLBoolean Initialize(EGLDisplay dpy, EGLint* major, EGLint* minor)
{
    if (dpy != (EGLDisplay)&display)
        return Fail(EGL_BAD_DISPLAY);
    atomic_store(&initialized, true);
    if (major)
        *major = 1;
    if (minor)
        *minor = 4;
    return Succeed();
}

static EGLBoolean Terminate(EGLDisplay dpy)
{
    if (dpy != (EGLDisplay)&display)
        return Fail(EGL_BAD_DISPLAY);
    atomic_store(&initialized, false);
    return Succeed();
}

static const char* QueryString(EGLDisplay dpy, EGLint name)
{
    if (dpy == EGL_NO_DISPLAY && name == EGL_EXTENSIONS) {
        lastError = EGL_SUCCESS;
        return "EGL_EXT_client_extensions EGL_EXT_platform_base EGL_KHR_platform_wayland "
               "EGL_EXT_platform_wayland";
    }
    if (!Ready(dpy))
        return NULL;
    switch (name) {
    case EGL_VENDOR:
        return "vexalo-config stand-in";
    case EGL_VERSION:
        return "1.4 vexalo-config stand-in";
    case EGL_CLIENT_APIS:
        return "OpenGL_ES";
    case EGL_EXTENSIONS:
        return "";
    default:
        Fail(EGL_BAD_PARAMETER);
        return NULL;
    }
}

// No configurations: an honest answer that leaves nothing to make a surface or context from.
static EGLBoolean GetConfigs(EGLDisplay dpy, EGLConfig* configs, EGLint size, EGLint* count)
{
    (void)configs;
    (void)size;
    if (!count)
        return Fail(EGL_BAD_PARAMETER);
    *count = 0;
    return Ready(dpy);
}

static EGLBoolean ChooseConfig(EGLDisplay dpy, const EGLint* attributes, EGLConfig* configs,
                               EGLint size, EGLint* count)
{
    (void)attributes;
    return GetConfigs(dpy, configs, size, count);
}

static EGLBoolean GetConfigAttrib(EGLDisplay dpy, EGLConfig config, EGLint attribute, EGLint* value)
{
    (void)config;
    (void)attribute;
    (void)value;
    return Ready(dpy) ? Fail(EGL_BAD_CONFIG) : EGL_FALSE;
}

static EGLSurface CreateWindowSurface(EGLDisplay dpy, EGLConfig config, EGLNativeWindowType win,
                                      const EGLint* attributes)
{
    (void)config;
    (void)win;
    (void)attributes;
    if (Ready(dpy))
        Fail(EGL_BAD_CONFIG);
    return EGL_NO_SURFACE;
}

static EGLSurface CreatePixmapSurface(EGLDisplay dpy, EGLConfig config, EGLNativePixmapType pixmap,
                                      const EGLint* attributes)
{
    (void)pixmap;
    return CreateWindowSurface(dpy, config, 0, attributes);
}

static EGLSurface CreatePbufferSurface(EGLDisplay dpy, EGLConfig config, const EGLint* attributes)
{
    return CreateWindowSurface(dpy, config, 0, attributes);
}

static EGLSurface CreatePbufferFromClientBuffer(EGLDisplay dpy, EGLenum type,
                                                EGLClientBuffer buffer, EGLConfig config,
                                                const EGLint* attributes)
{
    (void)type;
    (void)buffer;
    return CreateWindowSurface(dpy, config, 0, attributes);
}

static EGLContext CreateContext(EGLDisplay dpy, EGLConfig config, EGLContext share,
                                const EGLint* attributes)
{
    (void)config;
    (void)share;
    (void)attributes;
    if (Ready(dpy))
        Fail(EGL_BAD_CONFIG);
    return EGL_NO_CONTEXT;
}

// As no surface or context can exist, every one named is a bad one.
static EGLBoolean SurfaceCall(EGLDisplay dpy, EGLSurface surface)
{
    (void)surface;
    return Ready(dpy) ? Fail(EGL_BAD_SURFACE) : EGL_FALSE;
}

static EGLBoolean ContextCall(EGLDisplay dpy, EGLContext context)
{
    (void)context;
    return Ready(dpy) ? Fail(EGL_BAD_CONTEXT) : EGL_FALSE;
}

static EGLBoolean DestroySurface(EGLDisplay dpy, EGLSurface surface)
{
    return SurfaceCall(dpy, surface);
}

static EGLBoolean SwapBuffers(EGLDisplay dpy, EGLSurface surface)
{
    return SurfaceCall(dpy, surface);
}

static EGLBoolean CopyBuffers(EGLDisplay dpy, EGLSurface surface, EGLNativePixmapType target)
{
    (void)target;
    return SurfaceCall(dpy, surface);
}

static EGLBoolean QuerySurface(EGLDisplay dpy, EGLSurface surface, EGLint attribute, EGLint* value)
{
    (void)attribute;
    (void)value;
    return SurfaceCall(dpy, surface);
}

static EGLBoolean SurfaceAttrib(EGLDisplay dpy, EGLSurface surface, EGLint attribute, EGLint value)
{
    (void)attribute;
    (void)value;
    return SurfaceCall(dpy, surface);
}

static EGLBoolean BindTexImage(EGLDisplay dpy, EGLSurface surface, EGLint buffer)
{
    (void)buffer;
    return SurfaceCall(dpy, surface);
}

static EGLBoolean ReleaseTexImage(EGLDisplay dpy, EGLSurface surface, EGLint buffer)
{
    (void)buffer;
    return SurfaceCall(dpy, surface);
}

static EGLBoolean DestroyContext(EGLDisplay dpy, EGLContext context)
{
    return ContextCall(dpy, context);
}

static EGLBoolean QueryContext(EGLDisplay dpy, EGLContext context, EGLint attribute, EGLint* value)
{
    (void)attribute;
    (void)value;
    return ContextCall(dpy, context);
}

// Releasing the current context (none) succeeds; making any current fails.
static EGLBoolean MakeCurrent(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext context)
{
    if (context == EGL_NO_CONTEXT && draw == EGL_NO_SURFACE && read == EGL_NO_SURFACE)
        return Succeed();
    return ContextCall(dpy, context);
}

// Without a current context these have nothing to wait for.
static EGLBoolean SwapInterval(EGLDisplay dpy, EGLint interval)
{
    (void)interval;
    return Ready(dpy) ? Fail(EGL_BAD_CONTEXT) : EGL_FALSE;
}

static EGLBoolean WaitGL(void)
{
    return Succeed();
}

static EGLBoolean WaitNative(EGLint engine)
{
    (void)engine;
    return Succeed();
}

static EGLBoolean WaitClient(void)
{
    return Succeed();
}

static EGLBoolean ReleaseThread(void)
{
    return Succeed();
}

static EGLint GetError(void)
{
    const EGLint error = lastError;
    lastError = EGL_SUCCESS;
    return error;
}

// Every EGL 1.4 entry point libglvnd requires of a vendor, by name.
typedef void (*Function)(void);
#define ENTRY(name, function)                                                                      \
    {                                                                                              \
        name, (Function)function                                                                   \
    }
static const struct {
    const char* name;
    Function function;
} kEntryPoints[] = {
    ENTRY("eglBindTexImage", BindTexImage),
    ENTRY("eglChooseConfig", ChooseConfig),
    ENTRY("eglCopyBuffers", CopyBuffers),
    ENTRY("eglCreateContext", CreateContext),
    ENTRY("eglCreatePbufferFromClientBuffer", CreatePbufferFromClientBuffer),
    ENTRY("eglCreatePbufferSurface", CreatePbufferSurface),
    ENTRY("eglCreatePixmapSurface", CreatePixmapSurface),
    ENTRY("eglCreateWindowSurface", CreateWindowSurface),
    ENTRY("eglDestroyContext", DestroyContext),
    ENTRY("eglDestroySurface", DestroySurface),
    ENTRY("eglGetConfigAttrib", GetConfigAttrib),
    ENTRY("eglGetConfigs", GetConfigs),
    ENTRY("eglGetError", GetError),
    ENTRY("eglInitialize", Initialize),
    ENTRY("eglMakeCurrent", MakeCurrent),
    ENTRY("eglQueryContext", QueryContext),
    ENTRY("eglQueryString", QueryString),
    ENTRY("eglQuerySurface", QuerySurface),
    ENTRY("eglReleaseTexImage", ReleaseTexImage),
    ENTRY("eglReleaseThread", ReleaseThread),
    ENTRY("eglSurfaceAttrib", SurfaceAttrib),
    ENTRY("eglSwapBuffers", SwapBuffers),
    ENTRY("eglSwapInterval", SwapInterval),
    ENTRY("eglTerminate", Terminate),
    ENTRY("eglWaitClient", WaitClient),
    ENTRY("eglWaitGL", WaitGL),
    ENTRY("eglWaitNative", WaitNative),
};
#undef ENTRY

// GL functions included: with none, libglvnd's GL entry points do nothing.
static void* GetProcAddress(const char* name)
{
    for (size_t i = 0; i < sizeof kEntryPoints / sizeof kEntryPoints[0]; ++i) {
        if (strcmp(name, kEntryPoints[i].name) == 0) {
            // The vendor interface passes functions as object pointers, as dlsym does.
            void* address;
            memcpy(&address, &kEntryPoints[i].function, sizeof address);
            return address;
        }
    }
    return NULL;
}

// No EGL extension functions to dispatch.
static void* GetDispatchAddress(const char* name)
{
    (void)name;
    return NULL;
}

static void SetDispatchIndex(const char* name, int index)
{
    (void)name;
    (void)index;
}

EXPORTED EGLBoolean __egl_Main(uint32_t version, const __EGLapiExports* exports,
                               __EGLvendorInfo* vendor, __EGLapiImports* imports)
{
    (void)exports;
    (void)vendor;
    if (EGL_VENDOR_ABI_GET_MAJOR_VERSION(version) != EGL_VENDOR_ABI_MAJOR_VERSION)
        return EGL_FALSE;
    // Only the members every 0.x version has; the optional ones libglvnd left empty.
    imports->getPlatformDisplay = GetPlatformDisplay;
    imports->getSupportsAPI = GetSupportsApi;
    imports->getVendorString = GetVendorString;
    imports->getProcAddress = GetProcAddress;
    imports->getDispatchAddress = GetDispatchAddress;
    imports->setDispatchIndex = SetDispatchIndex;
    return EGL_TRUE;
}
