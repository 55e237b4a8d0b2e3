// SPDX-License-Identifier: MIT
#include "launch/types.h"

#include "core/translate.h"

#include <QtGlobal>
#include <string>

namespace vexalo {
namespace {

class LaunchErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "vexalo-launch"; }
    std::string message(int code) const override
    {
        return Translate("Launch", Text(static_cast<LaunchError>(code)));
    }

private:
    // Each text says what to do where the user can do something; commands are as typed on
    // Debian, where Wine's 32-bit part comes from the i386 architecture.
    static const char* Text(LaunchError code)
    {
        switch (code) {
        case LaunchError::ForeignOwner:
            return QT_TRANSLATE_NOOP("Launch", "owned by another user, not started");
        case LaunchError::WritableByOthers:
            return QT_TRANSLATE_NOOP("Launch", "writable by other users, not started");
        case LaunchError::InvalidWindowsProgram:
            return QT_TRANSLATE_NOOP("Launch",
                                     "not a valid Windows program; copy or download it again");
        case LaunchError::NeedsWine:
            return QT_TRANSLATE_NOOP(
                "Launch",
                "a Windows program; install Wine to start it: sudo apt update && sudo apt "
                "install wine");
        case LaunchError::NotFound:
            return QT_TRANSLATE_NOOP(
                "Launch", "not found beside vexalo-config, in the working directory or in PATH");
        case LaunchError::ForeignMachine:
            return QT_TRANSLATE_NOOP(
                "Launch",
                "a Windows program for a processor that Wine on this machine cannot run; get "
                "the renderer's build for PCs (x86)");
        case LaunchError::NeedsWine32:
            return QT_TRANSLATE_NOOP(
                "Launch",
                "a 32-bit Windows program; install Wine's 32-bit part: sudo dpkg "
                "--add-architecture i386 && sudo apt update && sudo apt install wine32:i386");
        case LaunchError::NeedsWine64:
            return QT_TRANSLATE_NOOP(
                "Launch",
                "a 64-bit Windows program; install Wine's 64-bit part: sudo apt update && "
                "sudo apt install wine64");
        case LaunchError::WineFailed:
            return QT_TRANSLATE_NOOP("Launch", "Wine could not start it");
        case LaunchError::NotRegularFile:
            return QT_TRANSLATE_NOOP("Launch", "not a regular file");
        case LaunchError::NoExecMount:
            return QT_TRANSLATE_NOOP(
                "Launch", "on a file system that does not allow running programs (mounted noexec)");
        case LaunchError::MissingInterpreter:
            return QT_TRANSLATE_NOOP("Launch", "its interpreter is missing");
        case LaunchError::CarriageReturn:
            return QT_TRANSLATE_NOOP(
                "Launch", "its first line ends with a carriage return (Windows line endings)");
        case LaunchError::Unexamined:
            return QT_TRANSLATE_NOOP("Launch", "could not be checked, not started");
        case LaunchError::SeveralNames:
            return QT_TRANSLATE_NOOP("Launch",
                                     "several files of this name in different case, none started");
        case LaunchError::WineRenames:
            return QT_TRANSLATE_NOOP(
                "Launch", "a name Wine would change, so it could start another file; not started");
        case LaunchError::FirmwareProgram:
            return QT_TRANSLATE_NOOP(
                "Launch",
                "a program for UEFI firmware, not a Windows program that Wine runs; get the "
                "renderer's Windows build");
        case LaunchError::NeedsWineWith32Bit:
            return QT_TRANSLATE_NOOP(
                "Launch", "a 32-bit Windows program; install Wine with its 32-bit part: sudo dpkg "
                          "--add-architecture i386 && sudo apt update && sudo apt install wine "
                          "wine32:i386");
        case LaunchError::WinePathTooLong:
            return QT_TRANSLATE_NOOP(
                "Launch",
                "Wine could not start it: its folder's path is longer than Windows programs "
                "can use (259 characters); move the folder higher up, as into ~/Games");
        case LaunchError::WinePrefixWithout32Bit:
            return QT_TRANSLATE_NOOP(
                "Launch",
                "Wine could not start it: the Wine prefix was made before Wine's 32-bit part "
                "was installed");
        case LaunchError::WineDiskFull:
            return QT_TRANSLATE_NOOP(
                "Launch",
                "Wine could not set itself up: the drive that holds the Wine prefix is full");
        }
        return "unknown launch error";
    }
};

} // namespace

const std::error_category& LaunchCategory()
{
    static const LaunchErrorCategory category;
    return category;
}

std::error_code make_error_code(LaunchError error)
{
    return {static_cast<int>(error), LaunchCategory()};
}

} // namespace vexalo
