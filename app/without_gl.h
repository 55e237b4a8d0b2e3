// SPDX-License-Identifier: MIT
#pragma once

namespace vexalo {

// How the window opens on Qt's Wayland plugin without the GL stack, which it never uses: it
// paints into shared memory, yet Qt's EGL buffer integration would load Mesa's driver and LLVM
// (some 50 MiB and 50 ms) while it opens.
enum class WithoutGl {
    // As Qt chooses: not on Wayland, or the user chose Qt's buffer integration or the EGL
    // vendors already.
    AsQtChooses,
    // QT_WAYLAND_CLIENT_BUFFER_INTEGRATION=none: Qt 6.8 and later draw the title bar without
    // it; earlier ones where the compositor draws it (xdg-decoration: sway, KDE).
    NoBufferIntegration,
    // libglvnd offered only the stand-in EGL vendor (__EGL_VENDOR_LIBRARY_FILENAMES): Qt
    // before 6.8 draws the title bar only with a buffer integration that has an initialized EGL
    // display, and the stand-in gives it one without a driver (GNOME's mutter, weston).
    StandInEglVendor,
};

// Whether Qt will open the window natively on Wayland, as QT_QPA_PLATFORM and WAYLAND_DISPLAY
// say.
bool NativeOnWayland();

// Chooses before Qt starts, and sets the variable the choice needs.
WithoutGl OpenWithoutGl();

// Takes that variable back once the window is shown, where Qt has read it, so the renderer
// gets the user's own environment.
void TakeBack(WithoutGl choice);

} // namespace vexalo
