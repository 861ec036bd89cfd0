#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/RegistryStore.h"

namespace tamsel {

// The exported-registry file format ("Windows Registry Editor Version 5.00"): key sections
// "[HKEY_CURRENT_USER\Software\...]" followed by their values, "name"="text" (backslash and quote
// escaped with a backslash), @= for the default value, dword:, hex: and hex(type): data with long
// lines continued by a trailing backslash. Texts inside hex data are UTF-16LE, as in every export.

// The root's keys from a file's bytes, UTF-8 (with or without a byte-order mark) or UTF-16LE with
// its byte-order mark. Key deletions ("[-...]") and value deletions ("name"=-) are applied, blank
// lines and ";" comments skipped. Nothing when the text is not such a file, or names another root.
std::optional<RegistryKey> ParseRegistryExport(std::string_view bytes, RegistryRoot root);

// The root's keys as a file: UTF-8 without a byte-order mark, CR LF line ends, every key written.
std::string FormatRegistryExport(const RegistryKey& top, RegistryRoot root);

}  // namespace tamsel
