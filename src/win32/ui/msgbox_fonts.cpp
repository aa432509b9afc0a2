#include "win32/ui/msgbox_fonts.h"

#include <cmath>
#include <cwchar>

namespace qm::win {

UniqueHfont CreateMsgBoxFont(MsgBoxFont font, const TwipsPerPixel& tpp) {
    const double dotsPerInch = 1440.0 / tpp.y;
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(8.25 * dotsPerInch / 72.0));
    lf.lfWeight = font == MsgBoxFont::kHeading ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::wcsncpy(lf.lfFaceName, L"MS Sans Serif", LF_FACESIZE - 1);
    return UniqueHfont(::CreateFontIndirectW(&lf));
}

SIZE MeasureLabel(HFONT font, std::wstring_view text) {
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) {
        return {0, 0};
    }
    ScopedSelectObject useFont(dc.get(), font);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc.get(), &tm);
    if (text.empty()) {
        return {0, tm.tmHeight};  // an empty label keeps the height of one line
    }
    RECT r{0, 0, 0, 0};
    ::DrawTextW(dc.get(), text.data(), static_cast<int>(text.size()), &r,
                DT_CALCRECT | kPromptTextFlags);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace qm::win
