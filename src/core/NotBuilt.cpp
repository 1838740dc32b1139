#include "core/NotBuilt.h"

#include <QLoggingCategory>

#include <map>
#include <string>

// Quiet unless asked for (QT_LOGGING_RULES="kv.notbuilt.debug=true"), so that scripted kvtool
// output and the program's terminal stay clean.
Q_LOGGING_CATEGORY(lcNotBuilt, "kv.notbuilt", QtWarningMsg)

namespace kv {

namespace {

std::map<std::string, int, std::less<>>& Requests()
{
    static std::map<std::string, int, std::less<>> requests;
    return requests;
}

} // namespace

void ReportNotBuilt(std::string_view operation, std::string_view feature)
{
    auto& requests = Requests();
    auto it = requests.find(operation);
    if (it == requests.end()) {
        it = requests.emplace(std::string(operation), 0).first;
        qCDebug(lcNotBuilt, "%.*s: %.*s is not built", static_cast<int>(operation.size()), operation.data(),
               static_cast<int>(feature.size()), feature.data());
    }
    ++it->second;
}

int NotBuiltCount(std::string_view operation)
{
    const auto& requests = Requests();
    const auto it = requests.find(operation);
    return it == requests.end() ? 0 : it->second;
}

} // namespace kv
