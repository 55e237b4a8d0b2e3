// SPDX-License-Identifier: MIT
#include "launch/plan.h"

#include "core/error.h"
#include "core/translate.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace vexalo {
namespace {

// Little-endian numbers of the image, read at their place in `bytes`.
std::uint32_t Number(const unsigned char* bytes, std::size_t size)
{
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;)
        value = value << 8 | bytes[i];
    return value;
}

// The PE signature's offset and the optional header, read whole; nullopt without "MZ".
struct PeHeaders {
    off_t signature = 0;
    bool valid = false; // the signature, and an optional header neither missing nor cut short
    std::array<unsigned char, pe::kOptionalHeaderAt + pe::kPe32PlusMinimalSize> head{};
};

std::optional<PeHeaders> ReadPeHeaders(int fd)
{
    std::array<unsigned char, pe::kDosHeaderSize> dos{};
    if (::pread(fd, dos.data(), dos.size(), 0) < 2 || dos[0] != 'M' || dos[1] != 'Z')
        return std::nullopt;
    PeHeaders headers;
    headers.signature = static_cast<off_t>(Number(&dos[pe::kSignatureOffsetAt], 4));
    const ssize_t got = ::pread(fd, headers.head.data(), headers.head.size(), headers.signature);
    const auto has = [got](std::size_t bytes) { return got >= static_cast<ssize_t>(bytes); };
    if (!has(pe::kOptionalHeaderAt) ||
        std::memcmp(headers.head.data(), pe::kSignature, pe::kSignatureSize) != 0)
        return headers;
    const std::size_t declared = Number(&headers.head[pe::kOptionalHeaderSizeAt], 2);
    const std::uint16_t magic =
        has(pe::kOptionalHeaderAt + 2) ? Number(&headers.head[pe::kOptionalHeaderAt], 2) : 0;
    const std::size_t minimal = magic == pe::kPe32Magic       ? pe::kPe32MinimalSize
                                : magic == pe::kPe32PlusMagic ? pe::kPe32PlusMinimalSize
                                                              : SIZE_MAX;
    // The file must hold the header as large as it says it is.
    std::array<unsigned char, 1> last{};
    headers.valid =
        declared >= minimal && has(pe::kOptionalHeaderAt + minimal) &&
        ::pread(fd, last.data(), 1,
                headers.signature + static_cast<off_t>(pe::kOptionalHeaderAt + declared - 1)) == 1;
    return headers;
}

// The optional header's Subsystem; 0 for an image that is not valid.
std::uint16_t SubsystemOf(const PeHeaders& headers)
{
    return headers.valid ? static_cast<std::uint16_t>(
                               Number(&headers.head[pe::kOptionalHeaderAt + pe::kSubsystemAt], 2))
                         : 0;
}

// Firmware's programs, which Wine does not run. Given to it, one ended with status 0 and a
// crash window.
constexpr bool IsFirmwareSubsystem(std::uint16_t subsystem)
{
    return subsystem >= pe::kFirstEfiSubsystem && subsystem <= pe::kLastEfiSubsystem;
}

} // namespace

std::optional<std::uint16_t> WindowsMachineOf(int fd)
{
    const std::optional<PeHeaders> headers = ReadPeHeaders(fd);
    if (!headers)
        return std::nullopt;
    if (!headers->valid)
        return kNoPeHeader;
    return static_cast<std::uint16_t>(Number(&headers->head[pe::kMachineAt], 2));
}

Content ContentOf(int fd)
{
    if (const auto machine = WindowsMachineOf(fd)) {
        if (*machine == kNoPeHeader)
            throw Error(kRendererName, LaunchError::InvalidWindowsProgram);
        if (IsFirmwareSubsystem(SubsystemOf(*ReadPeHeaders(fd))))
            throw Error(kRendererName, LaunchError::FirmwareProgram);
        return {Kind::Windows, *machine};
    }
    // Enough for any "#!" line the kernel itself reads.
    std::array<char, 4096> head{};
    const ssize_t got = ::pread(fd, head.data(), head.size(), 0);
    if (got < 0)
        return {Kind::Program}; // opened only to run
    const std::string_view start(head.data(), static_cast<std::size_t>(got));
    if (start.starts_with("#!")) {
        // The kernel reports both of these as a missing file, which the user then looks for
        // in vain: the script is there.
        const std::string_view line = start.substr(0, start.find('\n'));
        if (line.ends_with('\r'))
            throw Error(kRendererName, LaunchError::CarriageReturn);
        std::string_view interpreter = line.substr(2);
        interpreter.remove_prefix(
            std::min(interpreter.find_first_not_of(" \t"), interpreter.size()));
        interpreter = interpreter.substr(0, interpreter.find_first_of(" \t"));
        if (struct stat status{};
            !interpreter.empty() && ::stat(std::string(interpreter).c_str(), &status) != 0)
            throw Error(
                kRendererName, LaunchError::MissingInterpreter,
                Format(Translate("Launch", "its interpreter %1 is missing"), {interpreter}));
        return {Kind::Script};
    }
    if (start.starts_with("\x7f"
                          "ELF") ||
        start.find('\0') != std::string_view::npos)
        return {Kind::Program};
    return {Kind::Text};
}

// Each architecture's Windows side (<arch>-windows/ntdll.dll) and the Unix side that runs
// it (<arch>-unix/ntdll.so), in Wine's library directories beside its bin/. Debian installs
// the 32-bit part (wine32:i386) apart from the 64-bit one; a WoW64 build runs 32-bit programs
// on its 64-bit Unix side.
WineSupport WineRuns(const std::string& wine, std::uint16_t machine)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(wine.c_str(), nullptr),
                                                           &std::free);
    std::string prefix = real ? real.get() : wine;
    for (int up = 0; up < 2; ++up)
        prefix.resize(std::min(prefix.size(), prefix.rfind('/')));
    // An empty file stands for nothing: a part hidden by a bind mount counts as missing.
    const auto has = [](const std::string& file) {
        struct stat status {};
        return ::stat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
    };
    bool anyPart = false;
    for (const char* libraries : {"/lib/wine/", "/lib64/wine/", "/lib32/wine/",
                                  "/lib/x86_64-linux-gnu/wine/", "/lib/i386-linux-gnu/wine/"}) {
        const std::string at = prefix + libraries;
        const bool windows32 = has(at + "i386-windows/ntdll.dll");
        const bool windows64 = has(at + "x86_64-windows/ntdll.dll");
        const bool unix32 = has(at + "i386-unix/ntdll.so");
        const bool unix64 = has(at + "x86_64-unix/ntdll.so");
        anyPart = anyPart || windows32 || windows64 || unix32 || unix64;
        if ((machine == kI386 && windows32 && (unix32 || unix64)) ||
            (machine == kAmd64 && windows64 && unix64))
            return WineSupport::Runs;
    }
    return anyPart ? WineSupport::Lacks : WineSupport::Unknown;
}

ExecPlan PlanStart(const Found& renderer, const SearchPlaces& places,
                   std::vector<std::string> environment)
{
    const auto [kind, machine] = ContentOf(renderer.file.get());
    ExecPlan plan;
    plan.environment = std::move(environment);
    // A script is started by its name, which its interpreter opens again and which it sees as
    // $0 ("cd \"$(dirname \"$0\")\"" finds its folder); a program runs from the descriptor.
    plan.argv = {renderer.path};
    switch (kind) {
    case Kind::Windows: {
        // Installing Wine would not help a program for another processor.
        if (machine != kI386 && machine != kAmd64)
            throw Error(kRendererName, LaunchError::ForeignMachine);
        const std::optional<std::string> wine = FindWine(places);
        if (!wine)
            throw Error(kRendererName, machine == kI386 ? LaunchError::NeedsWineWith32Bit
                                                        : LaunchError::NeedsWine);
        if (WineRuns(*wine, machine) == WineSupport::Lacks)
            throw Error(kRendererName,
                        machine == kI386 ? LaunchError::NeedsWine32 : LaunchError::NeedsWine64);
        // The one form that keeps the working directory (so the renderer reads the
        // config.txt just written), opens its window maximized and completes the startup
        // notification; "start" ends once the program is created.
        plan.argv = {*wine, "start", "/d", ".", "/max", "/unix", renderer.path};
        plan.path = *wine;
        plan.waitForExit = true;
        plan.machine = machine;
        break;
    }
    case Kind::Program:
        plan.fd = renderer.file.get();
        break;
    case Kind::Text:
        plan.shellArgv = {"/bin/sh", renderer.path};
        [[fallthrough]];
    case Kind::Script:
        plan.path = renderer.path;
        break;
    }
    return plan;
}

} // namespace vexalo
