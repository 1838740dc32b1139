#pragma once
// Runs the built kvtool and captures what it prints.

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace kvtest {

// The kvtool under test: $KVTOOL under ctest, else the one beside the test programs.
inline std::string KvtoolPath()
{
    if (const char* env = std::getenv("KVTOOL"); env != nullptr && *env != '\0') {
        return env;
    }
    return std::string(KV_BINARY_DIR) + "/kvtool";
}

struct ToolResult {
    int exitCode = -1;
    std::string out; // standard output only
};

inline std::string ShellQuote(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

// Runs a shell command line and captures its standard output and exit code.
inline ToolResult RunShell(const std::string& command)
{
    ToolResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> buffer {};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.out.append(buffer.data(), n);
    }
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// kvtool with the arguments as they are (each quoted); its error output is discarded.
inline ToolResult RunKvtool(const std::vector<std::string>& args)
{
    std::string command = ShellQuote(KvtoolPath());
    for (const auto& a : args) {
        command += " " + ShellQuote(a);
    }
    return RunShell(command + " 2>/dev/null");
}

// kvtool with an argument line the shell splits (redirections allowed).
inline ToolResult RunKvtoolLine(const std::string& arguments)
{
    return RunShell(ShellQuote(KvtoolPath()) + " " + arguments);
}

} // namespace kvtest
