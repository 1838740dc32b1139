#pragma once
// Texts at the window boundary: the program's Latin-1 texts and its "short|long" hints.

#include <QString>

#include <string>

class QAction;

namespace kvui {

QString Latin1(const std::string& text);
QString ShortHint(const std::string& hint);
QString LongHint(const std::string& hint);
// Tool tip from the short part, status tip (shown in the status line) from the long part.
void ApplyHint(QAction* action, const std::string& hint);

} // namespace kvui
