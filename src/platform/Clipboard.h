#pragma once
// Clipboard: bitmaps and text.

#include <QImage>

#include <string>

namespace kv {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setText(const std::string& latin1Text) = 0;
    virtual void setImage(const QImage& image) = 0;
};

} // namespace kv
