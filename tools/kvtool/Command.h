#pragma once
// kvtool subcommands register themselves here, one file per group of commands.

#include <string>
#include <vector>

namespace kvtool {

using Args = std::vector<std::string>;

struct Command {
    std::string name;
    std::string usage; // one line: arguments and what it does
    int (*run)(const Args& args); // args exclude the command name; returns the exit code
    // Text in, text out: runs without the Qt application object, whose start-up (font and
    // platform set-up) costs more than a stream filter's whole run on a modest file.
    bool plain = false;
};

std::vector<Command>& Commands();

struct CommandRegistration {
    explicit CommandRegistration(Command command) { Commands().push_back(std::move(command)); }
};

} // namespace kvtool
