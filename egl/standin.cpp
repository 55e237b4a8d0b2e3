// SPDX-License-Identifier: MIT
#include "egl/standin.h"

#include "core/fd.h"
#include "core/private_files.h"
#include "core/resolve_path.h"
#include "launch/trust.h"

#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vexalo {
namespace {

// What the descriptor has open, by a name for this process alone: its digits hold no ':',
// whatever the install's path holds, and nobody can make it lead anywhere else.
std::string NameOf(const Fd& fd)
{
    return "/proc/self/fd/" + std::to_string(fd.get());
}

// A folder entered or a link followed on the way, judged as the renderer's way is; what the
// trust rule refuses ends the walk.
std::error_code Judge(const PathStep& step)
{
    const auto refusal = StepRefusal(step);
    return refusal ? refusal->code() : std::error_code();
}

// The vendor beside the running binary, open for reading, when it and every folder on its way,
// / included, are the user's or root's and nobody else may change them; else none. Found from
// the binary, never from a path fixed when it was built: a moved install finds its own.
Fd OpenJudgedLibrary()
{
    std::string path = RunningBinaryFolder();
    if (path.empty())
        return Fd();
    path += VEXALO_EGL_STANDIN_DIR_FROM_BINDIR "/" VEXALO_EGL_STANDIN_LIBRARY;
    const Fd root(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    PathEnd end;
    if (!root.valid() || RefusalOf(root.get(), "/", root.get()) ||
        ResolvePath(root.get(), "/", path, Judge, end) || !end.exists)
        return Fd();
    Fd library(::openat(end.folder.get(), end.name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!library.valid() || ::fstat(library.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        RefusalOf(library.get(), InDirectory(end.folderName, end.name), end.folder.get()))
        return Fd();
    return library;
}

// Whether the file holds every part of itself the loader maps: a library cut short (a copy
// interrupted, a full disk) would be mapped past its end, and the first touch there kills the
// process with SIGBUS.
bool WholeLibrary(int fd)
{
    ElfW(Ehdr) header{};
    struct stat status {};
    if (::pread(fd, &header, sizeof header, 0) != static_cast<ssize_t>(sizeof header) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_phentsize != sizeof(ElfW(Phdr)) || ::fstat(fd, &status) != 0)
        return false;
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (header.e_phoff > size)
        return false;
    for (unsigned i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment{};
        const std::uint64_t at = header.e_phoff + std::uint64_t{i} * sizeof segment;
        if (at + sizeof segment > size ||
            ::pread(fd, &segment, sizeof segment, static_cast<off_t>(at)) !=
                static_cast<ssize_t>(sizeof segment) ||
            (segment.p_type == PT_LOAD &&
             (segment.p_offset > size || segment.p_filesz > size - segment.p_offset)))
            return false;
    }
    return true;
}

// Whether libglvnd will take the library as a vendor: whole, it loads and has the vendor
// interface's entry. A damaged one would leave libglvnd no vendor at all, and Qt no title bar.
// Loaded now, it stays: libglvnd's own load by the same name finds it loaded.
bool LoadsAsVendor(const Fd& library)
{
    if (!WholeLibrary(library.get()))
        return false;
    void* handle = ::dlopen(NameOf(library).c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (handle && !::dlsym(handle, "__egl_Main")) {
        ::dlclose(handle);
        return false;
    }
    return handle != nullptr;
}

// The manifest naming `library`, in memory of this process, sealed once written: nothing can
// change it afterwards, and there is no file anybody else could swap.
Fd SealedManifest(const std::string& library)
{
    Fd manifest(::memfd_create("egl_standin.json", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    const std::string text =
        R"({"file_format_version": "1.0.0", "ICD": {"library_path": ")" + library + "\"}}\n";
    if (!manifest.valid() ||
        ::write(manifest.get(), text.data(), text.size()) != static_cast<ssize_t>(text.size()) ||
        ::fcntl(manifest.get(), F_ADD_SEALS,
                F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) != 0)
        return Fd();
    return manifest;
}

} // namespace

std::string StandInEglManifest()
{
    // Open for the life of the process: libglvnd opens both by these names only when Qt first
    // asks it for a display.
    static Fd library, manifest;
    if (!manifest.valid()) {
        library = OpenJudgedLibrary();
        if (library.valid() && LoadsAsVendor(library))
            manifest = SealedManifest(NameOf(library));
        if (!manifest.valid())
            library = Fd();
    }
    return manifest.valid() ? NameOf(manifest) : std::string();
}

} // namespace vexalo
