#pragma once

#include <windows.h>

#include "win32/app/tray_icon.h"
#include "win32/app/tray_menu.h"
#include "win32/common/base_window.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

// The program's hidden main window `Menu`: it owns the tray icon and its menu and receives
// the icon's events. Destroying it ends the program.
class MenuWindow : public BaseWindow<MenuWindow> {
  public:
    static constexpr const wchar_t* kClassName = L"QuillmereMenu";
    static constexpr const wchar_t* kCaption = L"Quillmere";

    explicit MenuWindow(HINSTANCE instance);
    ~MenuWindow();
    MenuWindow(const MenuWindow&) = delete;
    MenuWindow& operator=(const MenuWindow&) = delete;

    bool Create();
    // Puts the icon with the tip "Quillmere" into the notification area.
    bool AddTrayIcon();
    // The tray menu's "Exit".
    void mnuExit_Click();

  private:
    friend class BaseWindow<MenuWindow>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    void OnTrayEvent(UINT event, POINT anchor);
    void ShowTrayMenu(POINT at);
    void OnCommand(UINT id);
    // The end sequence: runs once, whoever ends the program.
    void Form_QueryUnload();

    HINSTANCE instance_;
    UniqueHicon icon_;
    TrayIcon tray_;
    TrayMenu trayMenu_;
    UINT taskbarCreatedMessage_ = 0;
    bool ending_ = false;
};

}  // namespace qm::win
