#pragma once
// Starting another program by its file name with arguments, and learning whether it started.

#include <string>
#include <vector>

namespace kv {

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    virtual bool launch(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

} // namespace kv
