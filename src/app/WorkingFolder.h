#pragma once
// Which folder kvfree works in, and setting it up on the first start.
//
// The working folder holds kelvw.cfg and the folders charts/, routes/, tides/ and logs/. The rule:
//   1. --workdir DIR: that folder (it must exist);
//   2. otherwise the current folder when it holds kelvw.cfg (or the configuration file named on
//      the command line), so that a folder set up by hand keeps working as before;
//   3. otherwise the user's data folder, $XDG_DATA_HOME/kvfree (~/.local/share/kvfree when
//      XDG_DATA_HOME is unset or not an absolute path), created on the first start with a copy
//      of the demo data.
// Deciding reads only whether files exist; preparing creates folders and copies.

#include <string>
#include <vector>

namespace kv {

struct WorkingFolderInputs {
    std::string currentFolder;
    std::string explicitFolder; // --workdir, empty when not given
    std::string configArgument; // the optional configuration file argument
    std::string xdgDataHome; // $XDG_DATA_HOME as found in the environment (may be empty)
    std::string home; // $HOME
};

enum class WorkingFolderReason { Explicit, CurrentFolder, DataFolder };

struct WorkingFolderChoice {
    std::string folder;
    WorkingFolderReason reason = WorkingFolderReason::CurrentFolder;
    bool firstStart = false; // the data folder does not exist yet
};

WorkingFolderChoice ChooseWorkingFolder(const WorkingFolderInputs& in);

// The user's data folder for kvfree ($XDG_DATA_HOME/kvfree or $HOME/.local/share/kvfree).
std::string DataFolder(const std::string& xdgDataHome, const std::string& home);

// One line saying which folder is in use and why (for --help and the About box).
std::string DescribeWorkingFolder(const WorkingFolderChoice& choice);

struct WorkingFolderSetup {
    bool ok = true;
    bool created = false; // first start: the folder was made (and the demo data copied)
    std::string message; // what to tell the user: the error, or where the new folder is
};

// The first of `demoFolders` that exists, or "" when none does.
std::string FindDemoData(const std::vector<std::string>& demoFolders);

// Makes the chosen folder ready: an explicit folder must exist; the data folder is created on
// the first start with a copy of `demoData` (charts, routes, tides and any sound clips; never
// the run-time files kelvw.cfg, logs or the vessel database); the four working folders are
// made when missing.
WorkingFolderSetup PrepareWorkingFolder(const WorkingFolderChoice& choice, const std::string& demoData);

} // namespace kv
