#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace zel {

// The main window's look (fonts and colours) set while the window is not loaded: refused as
// the window refuses it (380), kept, and given to the window when it loads.
class WindowLook {
public:
    void setFontName(const QString& name);
    void setFontSize(float points);
    void setFontBold(bool bold) { bold_ = bold; }
    void setForeColor(int32_t colour) { foreColor_ = colour; }
    void setBackColor(int32_t colour) { backColor_ = colour; }

    template <class Window>
    void giveTo(Window& window) const {
        if (fontSize_) window.setFontSize(*fontSize_);
        if (fontName_) window.setFontName(*fontName_);
        if (bold_) window.setFontBold(*bold_);
        if (backColor_) window.setBackColor(*backColor_);
        if (foreColor_) window.setForeColor(*foreColor_);
    }

private:
    std::optional<QString> fontName_;
    std::optional<float> fontSize_;
    std::optional<bool> bold_;
    std::optional<int32_t> foreColor_;
    std::optional<int32_t> backColor_;
};

}  // namespace zel
