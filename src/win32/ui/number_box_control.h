#pragma once

#include <windows.h>

#include <memory>

#include "core/ui/msgbox_settings.h"
#include "core/ui/number_box.h"
#include "win32/common/base_window.h"
#include "win32/common/unique_handle.h"
#include "win32/common/window_timer.h"

namespace qm::win {

// What the box tells its parent, as WM_NOTIFY with a NumberBoxEvent.
enum NumberBoxCode : UINT {
    kNbnChange = 1,  // the number changed
    kNbnClick,
    kNbnDblClick,
    kNbnKeyDown,   // keyCode: virtual key
    kNbnKeyPress,  // keyCode: the character; set it to 0 to swallow the key
    kNbnKeyUp,
    kNbnMouseMove,  // button, point: in the client area of the part under the mouse
    kNbnMouseUp,
    kNbnMouseDown,
};

struct NumberBoxEvent {
    NMHDR header;
    int keyCode = 0;
    int shift = 0;   // 1 Shift, 2 Ctrl, 4 Alt
    int button = 0;  // 1 left, 2 right, 4 middle
    POINT point{};
};

// The program's numeric entry box: a window class of its own holding a single-line edit and,
// when asked for, the system's up-down buttons 240 twips wide at its right edge. It is at
// least 255 twips high. The rules (format, keystrokes, limits, steps) are NumberBoxModel's;
// this class shows its text and hands it the events. A held up-down button steps after
// 700 ms and then every 50 ms. The box holds the controls' tab stop, so its dialog reaches
// it with Tab (the box is a control parent).
//
// Placed by class name (e.g. by Dialog::AddControl); From gives the object, which lives
// exactly as long as its window.
class NumberBoxControl final : public ControlWindow<NumberBoxControl> {
  public:
    static constexpr const wchar_t* kClassName = L"QuillmereNumberBox";
    static constexpr int kMinHeightTwips = 255;
    static constexpr int kUpDownWidthTwips = 240;
    static constexpr unsigned kRepeatDelayMs = 700;
    static constexpr unsigned kRepeatIntervalMs = 50;

    static bool Register() { return RegisterControlClass(); }

    double Value() const { return model_.Value(); }
    double LimitedValue() const { return model_.LimitedValue(); }
    void SetValue(double value);
    void SetMaxValue(double value);
    void SetMinValue(double value);
    void SetUseMaxMinValues(bool value);
    void SetFormat(std::string_view format);
    void SetPositiveOnly(bool value);
    void SetLocked(bool value);
    void SetUpDownFunction(bool value);
    void SetUpDownIncrement(int value) { model_.SetUpDownIncrement(value); }
    void SetBackColor(OleColor color);
    void SetForeColor(OleColor color);
    // Whether Tab stops in the box.
    void SetTabStop(bool value);
    const NumberBoxModel& Model() const { return model_; }

    // Repaints the edit (only when enabled).
    void Refresh();
    // Shows the bare number selected, as on getting the focus (only when enabled).
    void Highlight();

    HWND Edit() const { return edit_; }
    HWND UpDown() const { return upDown_; }

  private:
    friend class ControlWindow<NumberBoxControl>;
    explicit NumberBoxControl(HWND hwnd) : ControlWindow(hwnd) {}
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR self);
    static LRESULT CALLBACK UpDownProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR self);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleEdit(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleUpDown(UINT msg, WPARAM wp, LPARAM lp);

    void OnCreate();
    void LayOut();
    // Puts the model's text into the edit, aligned left while focused and right otherwise.
    void Show();
    void AlignText();
    void FocusGained();
    void StartRepeat(bool up, POINT at);
    void StopRepeat();
    void Step(bool up);
    void Paste();
    void CopyText();
    LRESULT OnCtlColor(HDC dc, UINT msg, WPARAM wp, LPARAM lp);
    // Tells the parent; false when it swallowed a key press.
    bool Notify(UINT code, int keyCode = 0, int button = 0, POINT point = {});

    HWND edit_ = nullptr;
    HWND upDown_ = nullptr;
    HFONT font_ = nullptr;
    NumberBoxModel model_;
    std::unique_ptr<TimerSet> timers_;
    Timer* repeat_ = nullptr;
    bool mouseHeld_ = false;
    bool repeatUp_ = true;
    bool showing_ = false;
    OleColor backColor_ = 0x80000005u;  // the system's window background
    OleColor foreColor_ = 0x80000008u;  // the system's window text
    UniqueHbrush backBrush_;
};

}  // namespace qm::win
