#pragma once
// kvtool comes as two programs: kvtool itself, and kvtool-gdal beside it with the commands that
// read GDAL sources (the files cmd_*_gdal.cpp). Loading GDAL's libraries costs more than a
// stream filter's whole run on a modest file, so only the commands that need GDAL pay for it;
// kvtool hands every command it does not have to kvtool-gdal, and its help lists both.

#include "Command.h"

#include <vector>

namespace kvtool {

// The name of the program with the GDAL commands, looked for beside kvtool.
inline constexpr const char* kGdalPartName = "kvtool-gdal";

// In kvtool: when argv[1] names no command of its own (nor help), replaces the process with
// kvtool-gdal on the same arguments; returns only when there is no such program (or it cannot
// be started), and then with -1. In kvtool-gdal: answers the hidden --list-commands of kvtool's
// help and returns its exit code, else -1.
int RunOtherPart(int argc, char** argv);

// In kvtool: the commands of kvtool-gdal (name and usage), empty when it is not there. In
// kvtool-gdal: empty.
std::vector<Command> OtherPartCommands();

} // namespace kvtool
