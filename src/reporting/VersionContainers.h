#pragma once

#include <optional>

#include "reporting/ByteReader.h"

// Where a file keeps its version resource block: a Windows executable or library (PE32 or PE32+)
// in its version resource, one of our own Linux executables in an ELF section. Both readers take
// the whole file and return a view into it, or nothing for a file that is not of their kind, has
// no version block, or is truncated or corrupt.
namespace tamsel {

// The name of the ELF section in which our build embeds the version block.
inline constexpr const char* kVersionSectionName = ".tamsel_version";

std::optional<Bytes> FindPeVersionBlock(Bytes file);
std::optional<Bytes> FindElfVersionBlock(Bytes file);
// The PE resource when there is one, else the ELF section.
std::optional<Bytes> FindVersionBlock(Bytes file);

}  // namespace tamsel
