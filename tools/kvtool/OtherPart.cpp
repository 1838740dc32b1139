// Handing commands between kvtool and kvtool-gdal (built from this same file, with
// KVTOOL_GDAL_PART defined for kvtool-gdal).

#include "OtherPart.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace kvtool {

namespace {

constexpr const char* kListCommands = "--list-commands";

#ifndef KVTOOL_GDAL_PART
// kvtool-gdal beside this program's own file, or empty when it is not there.
std::string GdalPartPath()
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return {};
    }
    const std::filesystem::path part = self.parent_path() / kGdalPartName;
    return std::filesystem::is_regular_file(part, ec) ? part.string() : std::string();
}

bool IsOwnCommandOrHelp(const char* name)
{
    for (const char* help : { "--help", "-h", "help" }) {
        if (std::strcmp(name, help) == 0) {
            return true;
        }
    }
    for (const auto& c : Commands()) {
        if (c.name == name) {
            return true;
        }
    }
    return false;
}

// Standard output of kvtool-gdal --list-commands.
std::string ListOfGdalPart(const std::string& path)
{
    int fds[2];
    if (::pipe(fds) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return {};
    }
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        ::execl(path.c_str(), kGdalPartName, kListCommands, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : std::string();
}
#endif

} // namespace

#ifdef KVTOOL_GDAL_PART

int RunOtherPart(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], kListCommands) != 0) {
        return -1;
    }
    for (const auto& c : Commands()) {
        std::printf("%s\t%s\n", c.name.c_str(), c.usage.c_str());
    }
    return 0;
}

std::vector<Command> OtherPartCommands()
{
    return {};
}

#else

int RunOtherPart(int argc, char** argv)
{
    if (argc < 2 || IsOwnCommandOrHelp(argv[1])) {
        return -1;
    }
    // A name neither part has is kvtool's to refuse, with the help of both.
    bool known = false;
    for (const auto& c : OtherPartCommands()) {
        known = known || c.name == argv[1];
    }
    const std::string path = GdalPartPath();
    if (!known || path.empty()) {
        return -1;
    }
    std::fflush(nullptr);
    ::execv(path.c_str(), argv);
    return -1;
}

std::vector<Command> OtherPartCommands()
{
    std::vector<Command> commands;
    const std::string path = GdalPartPath();
    if (path.empty()) {
        return commands;
    }
    const std::string text = ListOfGdalPart(path);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        if (const size_t tab = line.find('\t'); tab != std::string::npos) {
            commands.push_back(Command { line.substr(0, tab), line.substr(tab + 1), nullptr });
        }
        start = end + 1;
    }
    return commands;
}

#endif

} // namespace kvtool
