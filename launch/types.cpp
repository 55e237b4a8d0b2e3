// SPDX-License-Identifier: MIT
#include "launch/types.h"

#include <string>

namespace vexalo {
namespace {

class LaunchErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "vexalo-launch"; }
    std::string message(int code) const override
    {
        switch (static_cast<LaunchError>(code)) {
        case LaunchError::ForeignOwner:
            return "owned by another user, not started";
        case LaunchError::WritableByOthers:
            return "writable by other users, not started";
        case LaunchError::InvalidWindowsProgram:
            return "not a valid Windows program";
        case LaunchError::NeedsWine:
            return "a Windows program; install Wine to start it";
        case LaunchError::NotFound:
            return "not found beside vexalo-config, in the working directory or in PATH";
        case LaunchError::ForeignMachine:
            return "a Windows program for a processor that Wine on this machine cannot run";
        case LaunchError::NeedsWine32:
            return "a 32-bit Windows program; install Wine's 32-bit part (on Debian: dpkg "
                   "--add-architecture i386, then apt install wine32:i386)";
        case LaunchError::NeedsWine64:
            return "a 64-bit Windows program; install Wine's 64-bit part (on Debian: apt "
                   "install wine64)";
        case LaunchError::WineFailed:
            return "Wine could not start it";
        case LaunchError::NotRegularFile:
            return "not a regular file";
        case LaunchError::NoExecMount:
            return "on a file system that does not allow running programs (mounted noexec)";
        case LaunchError::MissingInterpreter:
            return "its interpreter is missing";
        case LaunchError::CarriageReturn:
            return "its first line ends with a carriage return (Windows line endings)";
        case LaunchError::Unexamined:
            return "could not be checked, not started";
        case LaunchError::SeveralNames:
            return "several files of this name in different case, none started";
        case LaunchError::WineRenames:
            return "a name Wine would change, so it could start another file; not started";
        case LaunchError::FirmwareProgram:
            return "a program for UEFI firmware, not a Windows program that Wine runs";
        case LaunchError::NeedsWineWith32Bit:
            return "a 32-bit Windows program; install Wine with its 32-bit part";
        case LaunchError::WinePathTooLong:
            return "Wine could not start it: its folder's path is longer than Windows programs "
                   "can use (259 characters)";
        case LaunchError::WinePrefixWithout32Bit:
            return "Wine could not start it: the Wine prefix was made without Wine's 32-bit part";
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
