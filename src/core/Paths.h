#pragma once
// Paths as the program keeps them: folders end in "/", and "\" read from a configuration file
// (written by the program's DOS and Windows ancestors) is taken as a separator.

#include <optional>
#include <string>
#include <string_view>

namespace kv {

std::string NormalizeSeparators(std::string_view path);
std::string WithTrailingSeparator(std::string_view folder);
std::string JoinPath(std::string_view folder, std::string_view name);

// Everything up to and including the last separator ("" when there is none).
std::string FolderOf(std::string_view path);
// The file name without folder and without extension.
std::string NameWithoutExtension(std::string_view path);
// The extension with its dot (".cht"), or "".
std::string ExtensionOf(std::string_view path);
std::string ChangeExtension(std::string_view path, std::string_view extension);

// The entry of folder whose name equals name ignoring letter case (the exact name wins).
std::optional<std::string> FindFileCaseInsensitive(std::string_view folder, std::string_view name);

} // namespace kv
