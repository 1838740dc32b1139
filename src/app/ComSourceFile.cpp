#include "app/ComSourceFile.h"

#include "core/Paths.h"
#include "core/SourceAddress.h"
#include "core/TextFile.h"

#include <filesystem>

namespace kv {

namespace fs = std::filesystem;

std::string ComEntryPath(const std::string& workingFolder, unsigned portNumber)
{
    return JoinPath(WithTrailingSeparator(workingFolder), "dev/com" + std::to_string(portNumber));
}

ComEntry ComEntryKind(const std::string& workingFolder, unsigned portNumber)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(ComEntryPath(workingFolder, portNumber), ec);
    if (ec || status.type() == fs::file_type::not_found) {
        return ComEntry::None;
    }
    return status.type() == fs::file_type::regular ? ComEntry::TextFile : ComEntry::Other;
}

std::string ComEntryText(const std::string& workingFolder, unsigned portNumber)
{
    if (ComEntryKind(workingFolder, portNumber) != ComEntry::TextFile) {
        return {};
    }
    const auto lines = ReadTextLines(ComEntryPath(workingFolder, portNumber));
    return lines && !lines->empty() ? lines->front() : std::string();
}

std::string SetComEntry(const std::string& workingFolder, unsigned portNumber, const std::string& address)
{
    const std::string path = ComEntryPath(workingFolder, portNumber);
    const ComEntry kind = ComEntryKind(workingFolder, portNumber);
    if (kind == ComEntry::Other) {
        return path + " is a device or a link to one; it is left as it is";
    }
    if (address.find_first_not_of(" \t") == std::string::npos) {
        std::error_code ec;
        if (kind == ComEntry::TextFile && !fs::remove(path, ec)) {
            return path + ": " + ec.message();
        }
        return {};
    }
    const SourceParse parsed = ParseSourceAddress(address);
    if (!parsed.ok()) {
        return parsed.error;
    }
    std::error_code ec;
    fs::create_directories(FolderOf(path), ec);
    if (!WriteTextLinesAtomic(path, { SourceText(parsed.address) })) {
        return path + " could not be written";
    }
    return {};
}

} // namespace kv
