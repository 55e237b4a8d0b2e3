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

// Most entry points answer the same whatever they are given.
#pragma GCC diagnostic ignored "-Wunused-parameter"

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
    if (!count)
        return Fail(EGL_BAD_PARAMETER);
    *count = 0;
    return Ready(dpy);
}

static EGLBoolean ChooseConfig(EGLDisplay dpy, const EGLint* attributes, EGLConfig* configs,
                               EGLint size, EGLint* count)
{
    return GetConfigs(dpy, configs, size, count);
}

// An entry point that can only fail: as no configuration, surface or context can exist, every
// one named is a bad one (`error`), once the display is found ready, as EGL orders the checks.
// Its failure value (EGL_FALSE, EGL_NO_SURFACE, EGL_NO_CONTEXT) is zero.
#define FAILING(name, type, error, ...)                                                            \
    static type name(EGLDisplay dpy, __VA_ARGS__)                                                  \
    {                                                                                              \
        if (Ready(dpy))                                                                            \
            Fail(error);                                                                           \
        return (type)0;                                                                            \
    }
FAILING(GetConfigAttrib, EGLBoolean, EGL_BAD_CONFIG, EGLConfig c, EGLint a, EGLint* v)
FAILING(CreateWindowSurface, EGLSurface, EGL_BAD_CONFIG, EGLConfig c, EGLNativeWindowType w,
        const EGLint* a)
FAILING(CreatePixmapSurface, EGLSurface, EGL_BAD_CONFIG, EGLConfig c, EGLNativePixmapType p,
        const EGLint* a)
FAILING(CreatePbufferSurface, EGLSurface, EGL_BAD_CONFIG, EGLConfig c, const EGLint* a)
FAILING(CreatePbufferFromClientBuffer, EGLSurface, EGL_BAD_CONFIG, EGLenum t, EGLClientBuffer b,
        EGLConfig c, const EGLint* a)
FAILING(CreateContext, EGLContext, EGL_BAD_CONFIG, EGLConfig c, EGLContext s, const EGLint* a)
FAILING(DestroySurface, EGLBoolean, EGL_BAD_SURFACE, EGLSurface s)
FAILING(SwapBuffers, EGLBoolean, EGL_BAD_SURFACE, EGLSurface s)
FAILING(CopyBuffers, EGLBoolean, EGL_BAD_SURFACE, EGLSurface s, EGLNativePixmapType p)
FAILING(QuerySurface, EGLBoolean, EGL_BAD_SURFACE, EGLSurface s, EGLint a, EGLint* v)
FAILING(SurfaceAttrib, EGLBoolean, EGL_BAD_SURFACE, EGLSurface s, EGLint a, EGLint v)
FAILING(BindTexImage, EGLBoolean, EGL_BAD_SURFACE, EGLSurface s, EGLint b)
FAILING(ReleaseTexImage, EGLBoolean, EGL_BAD_SURFACE, EGLSurface s, EGLint b)
FAILING(DestroyContext, EGLBoolean, EGL_BAD_CONTEXT, EGLContext c)
FAILING(QueryContext, EGLBoolean, EGL_BAD_CONTEXT, EGLContext c, EGLint a, EGLint* v)
// Without a current context there is no swap interval to set.
FAILING(SwapInterval, EGLBoolean, EGL_BAD_CONTEXT, EGLint interval)
#undef FAILING

// Releasing the current context (none) succeeds; making any current fails.
static EGLBoolean MakeCurrent(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext context)
{
    if (context == EGL_NO_CONTEXT && draw == EGL_NO_SURFACE && read == EGL_NO_SURFACE)
        return Succeed();
    return Ready(dpy) ? Fail(EGL_BAD_CONTEXT) : EGL_FALSE;
}

// Without a current context these have nothing to wait for, and no thread anything to release.
static EGLBoolean WaitGL(void)
{
    return Succeed();
}

static EGLBoolean WaitNative(EGLint engine)
{
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
#define ENTRY(function)                                                                            \
    {                                                                                              \
        "egl" #function, (Function)function                                                        \
    }
static const struct {
    const char* name;
    Function function;
} kEntryPoints[] = {
    ENTRY(BindTexImage),
    ENTRY(ChooseConfig),
    ENTRY(CopyBuffers),
    ENTRY(CreateContext),
    ENTRY(CreatePbufferFromClientBuffer),
    ENTRY(CreatePbufferSurface),
    ENTRY(CreatePixmapSurface),
    ENTRY(CreateWindowSurface),
    ENTRY(DestroyContext),
    ENTRY(DestroySurface),
    ENTRY(GetConfigAttrib),
    ENTRY(GetConfigs),
    ENTRY(GetError),
    ENTRY(Initialize),
    ENTRY(MakeCurrent),
    ENTRY(QueryContext),
    ENTRY(QueryString),
    ENTRY(QuerySurface),
    ENTRY(ReleaseTexImage),
    ENTRY(ReleaseThread),
    ENTRY(SurfaceAttrib),
    ENTRY(SwapBuffers),
    ENTRY(SwapInterval),
    ENTRY(Terminate),
    ENTRY(WaitClient),
    ENTRY(WaitGL),
    ENTRY(WaitNative),
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
    return NULL;
}

static void SetDispatchIndex(const char* name, int index) {}

EXPORTED EGLBoolean __egl_Main(uint32_t version, const __EGLapiExports* exports,
                               __EGLvendorInfo* vendor, __EGLapiImports* imports)
{
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
