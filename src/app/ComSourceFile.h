#pragma once
// Editing where a COM number's sentences come from: the one-line text file "dev/com<n>" of the
// working folder (core/SourceAddress.h gives the forms). Only a missing entry or such a text
// file is changed here; a link to a device or a device node is the user's own arrangement and is
// never replaced.

#include <string>

namespace kv {

// What "dev/com<n>" is now.
enum class ComEntry { None, TextFile, Other };
ComEntry ComEntryKind(const std::string& workingFolder, unsigned portNumber);
std::string ComEntryPath(const std::string& workingFolder, unsigned portNumber);
// The address line of a text file entry, or "" for the other kinds.
std::string ComEntryText(const std::string& workingFolder, unsigned portNumber);

// Writes `address` (checked first) as the entry of COM `portNumber`; an empty address removes a
// text file entry, so that the number falls back to the system's serial ports. Returns "" when
// done, otherwise why nothing changed.
std::string SetComEntry(const std::string& workingFolder, unsigned portNumber, const std::string& address);

} // namespace kv
