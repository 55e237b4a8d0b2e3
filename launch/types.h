// SPDX-License-Identifier: MIT
#pragma once

// What every room of launch/ shares: the renderer's name, the tool's own reasons not to start
// it, where it is looked for, and the tool's window that activation starts from.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <type_traits>

struct xcb_connection_t;
struct wl_display;
struct wl_surface;
struct wl_seat;

namespace vexalo {

// The renderer's bare name.
inline constexpr char kRendererName[] = "opengl.exe";

// The tool's own reasons not to start the renderer, beside the system's errno values.
enum class LaunchError {
    ForeignOwner = 1,       // the working directory's copy is owned by another user
    WritableByOthers,       // the working directory's copy may be changed by other users
    InvalidWindowsProgram,  // starts with "MZ" but has no PE header inside the file
    NeedsWine,              // a Windows program, and no wine was found
    NotFound,               // in none of the places looked in
    ForeignMachine,         // a Windows program for a processor Wine here does not run
    NeedsWine32,            // a 32-bit Windows program, and Wine has no 32-bit part
    NeedsWine64,            // a 64-bit Windows program, and Wine has no 64-bit part
    WineFailed,             // "wine start" ended with a failure
    NotRegularFile,         // a folder, FIFO, socket or device of the renderer's name
    NoExecMount,            // on a file system mounted noexec
    MissingInterpreter,     // a script whose "#!" interpreter does not exist
    CarriageReturn,         // a script whose "#!" line ends in CR (Windows line endings)
    Unexamined,             // something on the way whose owner or ACL cannot be read
    SeveralNames,           // several files whose names differ from the renderer's only in case
    WineRenames,            // a path that Wine would turn into the name of another file
    FirmwareProgram,        // a PE image for UEFI firmware, which Wine does not run
    NeedsWineWith32Bit,     // a 32-bit Windows program, and no wine was found
    WinePathTooLong,        // Wine could not use the working directory: too long a path
    WinePrefixWithout32Bit, // a 32-bit program, and the Wine prefix has no 32-bit system
    WineDiskFull,           // Wine ran out of space while it made or updated its prefix
};

// Returns the category of LaunchError codes; its messages are one line each.
const std::error_category& LaunchCategory();

// Returns `error` as a code of LaunchCategory().
std::error_code make_error_code(LaunchError error);

// Where the renderer is looked for, in this order. Names are the kernel's bytes.
// The tool's directory and PATH are the user's own choice, trusted as a shell trusts PATH.
// The working directory may be anybody's folder: its copy runs only if nobody but the user
// and root could have changed the way to it (the file, each link and each folder).
struct SearchPlaces {
    std::string toolDirectory; // the tool's own; Wine is looked for here too
    // The working directory's name. It is searched as the process's own working directory,
    // also where the system cannot name it (empty: longer than PATH_MAX, say).
    std::string workingDirectory;
    std::string path; // PATH's syntax; only absolute entries count, also for Wine
};

// How long a Windows renderer's "wine start" is waited for. It ends once the program is
// created: within a second with a ready Wine prefix, 7 to 12 s while Wine makes a new one.
inline constexpr std::chrono::seconds kWineStartBound{60};

// Waits until `fd` is readable or `bound` has passed. The window passes one that keeps it
// painted while Wine starts; without one the wait blocks.
using WaitForReadable = std::function<void(int fd, std::chrono::milliseconds bound)>;

// The tool's window and the user's input that ran the command, as its display system names
// them. Activation (X11 startup notification, a Wayland xdg_activation_v1 token) needs them.
struct ToolWindow {
    std::string xDisplay; // the X display the window is on; empty on Wayland
    xcb_connection_t* xcb = nullptr;
    std::uint32_t xWindow = 0;
    std::uint32_t xTime = 0; // the server time of the click or key press; 0 for now
    wl_display* wlDisplay = nullptr;
    wl_surface* wlSurface = nullptr;
    struct WaylandInput {
        wl_seat* seat = nullptr;
        std::uint32_t serial = 0;
    };
    // Asked only when the compositor has a seat: a toolkit may take one for granted.
    std::function<WaylandInput()> wlInput;
};

} // namespace vexalo

template <> struct std::is_error_code_enum<vexalo::LaunchError> : std::true_type {
};
