#pragma once
// Operations whose feature this program does not have yet. They are called where the feature
// belongs and say so in the debug log (category "kv.notbuilt", once per operation and run; shown with
// QT_LOGGING_RULES="kv.notbuilt.debug=true")
// instead of doing nothing in silence.

#include <string_view>

namespace kv {

// Logs "<operation>: <feature> is not built" the first time the operation is asked for.
void ReportNotBuilt(std::string_view operation, std::string_view feature);
// How often the operation has been asked for in this run.
int NotBuiltCount(std::string_view operation);

} // namespace kv
