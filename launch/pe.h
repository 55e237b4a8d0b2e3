// SPDX-License-Identifier: MIT
#pragma once

// The places in a Windows program (a PE image) that the tool reads: the DOS header's pointer
// to the PE signature, the file header after it, and the optional header that Wine's loader
// needs whole. Offsets of the file and optional headers count from the signature and from the
// optional header's start.

#include <cstddef>
#include <cstdint>

namespace vexalo::pe {

inline constexpr std::size_t kDosHeaderSize = 0x40;
inline constexpr std::size_t kSignatureOffsetAt = 0x3C; // e_lfanew, 4 bytes
inline constexpr char kSignature[] = "PE\0";            // with its terminator: "PE\0\0"
inline constexpr std::size_t kSignatureSize = 4;
inline constexpr std::size_t kMachineAt = kSignatureSize;                 // file header's Machine
inline constexpr std::size_t kOptionalHeaderSizeAt = kSignatureSize + 16; // SizeOfOptionalHeader
inline constexpr std::size_t kOptionalHeaderAt = kSignatureSize + 20;     // past the file header

// The optional header's Magic, and the smallest such header of each kind: its standard and
// Windows fields, without data directories.
inline constexpr std::uint16_t kPe32Magic = 0x10b;
inline constexpr std::uint16_t kPe32PlusMagic = 0x20b;
inline constexpr std::size_t kPe32MinimalSize = 96;
inline constexpr std::size_t kPe32PlusMinimalSize = 112;
inline constexpr std::size_t kSubsystemAt = 68; // the same in PE32 and PE32+

// Subsystems of UEFI firmware's programs: applications, boot and runtime drivers, option ROMs.
inline constexpr std::uint16_t kFirstEfiSubsystem = 10;
inline constexpr std::uint16_t kLastEfiSubsystem = 13;

// Machines that Wine runs on a PC.
inline constexpr std::uint16_t kI386 = 0x14c;
inline constexpr std::uint16_t kAmd64 = 0x8664;

} // namespace vexalo::pe
