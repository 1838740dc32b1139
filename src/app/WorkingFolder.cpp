#include "app/WorkingFolder.h"

#include <filesystem>
#include <system_error>

namespace kv {

namespace fs = std::filesystem;

namespace {

const char* const kFolders[] = { "charts", "routes", "tides", "logs" };

bool IsFile(const fs::path& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// Files the program writes while it runs: a copy of the demo data starts without them.
bool IsRunTimeFile(const fs::path& relative)
{
    const std::string first = relative.begin()->string();
    const std::string name = relative.filename().string();
    return first == "logs" || name == ".keep" || name.rfind("kelvw.cfg", 0) == 0 || name == "KVAIS.ADB"
        || name == "screenshot.png";
}

std::string Reason(const std::error_code& ec)
{
    return ec ? ec.message() : std::string("unknown error");
}

} // namespace

std::string DataFolder(const std::string& xdgDataHome, const std::string& home)
{
    // A relative XDG_DATA_HOME is invalid and is ignored.
    if (!xdgDataHome.empty() && fs::path(xdgDataHome).is_absolute()) {
        return (fs::path(xdgDataHome) / "kvfree").string();
    }
    return (fs::path(home) / ".local/share/kvfree").string();
}

WorkingFolderChoice ChooseWorkingFolder(const WorkingFolderInputs& in)
{
    WorkingFolderChoice choice;
    if (!in.explicitFolder.empty()) {
        choice.folder = fs::absolute(in.explicitFolder).lexically_normal().string();
        choice.reason = WorkingFolderReason::Explicit;
        return choice;
    }
    const fs::path current(in.currentFolder);
    if (IsFile(current / "kelvw.cfg") || (!in.configArgument.empty() && IsFile(current / in.configArgument))) {
        choice.folder = in.currentFolder;
        choice.reason = WorkingFolderReason::CurrentFolder;
        return choice;
    }
    choice.folder = DataFolder(in.xdgDataHome, in.home);
    choice.reason = WorkingFolderReason::DataFolder;
    std::error_code ec;
    choice.firstStart = !fs::exists(choice.folder, ec);
    return choice;
}

std::string DescribeWorkingFolder(const WorkingFolderChoice& choice)
{
    switch (choice.reason) {
    case WorkingFolderReason::Explicit:
        return choice.folder + " (chosen with --workdir)";
    case WorkingFolderReason::CurrentFolder:
        return choice.folder + " (the current folder, which holds the configuration)";
    case WorkingFolderReason::DataFolder:
        return choice.folder
            + (choice.firstStart ? " (the user's data folder; made with the demo data on the first start)"
                                 : " (the user's data folder)");
    }
    return choice.folder;
}

std::string FindDemoData(const std::vector<std::string>& demoFolders)
{
    for (const std::string& folder : demoFolders) {
        std::error_code ec;
        if (!folder.empty() && fs::is_directory(fs::path(folder) / "charts", ec)) {
            return fs::path(folder).lexically_normal().string();
        }
    }
    return {};
}

WorkingFolderSetup PrepareWorkingFolder(const WorkingFolderChoice& choice, const std::string& demoData)
{
    WorkingFolderSetup setup;
    std::error_code ec;
    const fs::path folder(choice.folder);
    if (choice.reason != WorkingFolderReason::DataFolder) {
        if (!fs::is_directory(folder, ec)) {
            setup.ok = false;
            setup.message = "The working folder " + choice.folder + " does not exist.";
        }
        return setup;
    }

    const bool existed = fs::exists(folder, ec);
    if (!existed) {
        if (!fs::create_directories(folder, ec) || ec) {
            setup.ok = false;
            setup.message = "Cannot create the working folder " + choice.folder + ": " + Reason(ec)
                + ". Start kvfree with --workdir FOLDER to choose another folder.";
            return setup;
        }
        setup.created = true;
        if (!demoData.empty()) {
            for (auto it = fs::recursive_directory_iterator(demoData, ec);
                 !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
                const fs::path relative = it->path().lexically_relative(demoData);
                if (IsRunTimeFile(relative)) {
                    continue;
                }
                if (it->is_directory()) {
                    fs::create_directories(folder / relative, ec);
                } else if (it->is_regular_file()) {
                    fs::copy_file(it->path(), folder / relative, fs::copy_options::skip_existing, ec);
                }
                if (ec) {
                    break;
                }
            }
            if (ec) {
                setup.ok = false;
                setup.message
                    = "Cannot copy the demo data from " + demoData + " to " + choice.folder + ": " + Reason(ec) + ".";
                return setup;
            }
        }
    }
    for (const char* name : kFolders) {
        if (!fs::is_directory(folder / name, ec) && (!fs::create_directories(folder / name, ec) || ec)) {
            setup.ok = false;
            setup.message = "Cannot create " + (folder / name).string() + ": " + Reason(ec)
                + ". Start kvfree with --workdir FOLDER to choose another folder.";
            return setup;
        }
    }
    if (setup.created) {
        setup.message = "KVFree keeps its charts, routes, tides, logs and settings in " + choice.folder
            + (demoData.empty() ? ". No demo data was found to copy there."
                                : ". It was made now with a copy of the demo data.");
    }
    return setup;
}

} // namespace kv
