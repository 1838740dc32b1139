#include "core/Paths.h"

#include "core/Format.h"

#include <algorithm>
#include <filesystem>

namespace kv {

std::string NormalizeSeparators(std::string_view path)
{
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

std::string WithTrailingSeparator(std::string_view folder)
{
    std::string out = NormalizeSeparators(folder);
    if (!out.empty() && out.back() != '/') {
        out += '/';
    }
    return out;
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    if (folder.empty()) {
        return std::string(name);
    }
    return WithTrailingSeparator(folder) + std::string(name);
}

std::string FolderOf(std::string_view path)
{
    const std::string p = NormalizeSeparators(path);
    const auto slash = p.rfind('/');
    return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
}

std::string NameWithoutExtension(std::string_view path)
{
    const std::string p = NormalizeSeparators(path);
    const auto slash = p.rfind('/');
    std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::string ExtensionOf(std::string_view path)
{
    const std::string p = NormalizeSeparators(path);
    const auto slash = p.rfind('/');
    const auto dot = p.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    return p.substr(dot);
}

std::string ChangeExtension(std::string_view path, std::string_view extension)
{
    const std::string p = NormalizeSeparators(path);
    const std::string ext = ExtensionOf(p);
    return p.substr(0, p.size() - ext.size()) + std::string(extension);
}

std::optional<std::string> FindFileCaseInsensitive(std::string_view folder, std::string_view name)
{
    namespace fs = std::filesystem;
    const std::string exact = JoinPath(folder, name);
    std::error_code ec;
    if (fs::exists(exact, ec)) {
        return exact;
    }
    const std::string wanted = ToLowerAscii(name);
    const std::string dir = folder.empty() ? std::string(".") : NormalizeSeparators(folder);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (ToLowerAscii(entry) == wanted) {
            return JoinPath(folder, entry);
        }
    }
    return std::nullopt;
}

} // namespace kv
