#pragma once

namespace qm {

// What the program does with an event of its tray icon (the mouse message the shell sends).
enum class TrayEventAction {
    kNothing,
    kOpenConsole,  // a double-click: the system's defragmenter console
    kShowMenu,
    kHover,  // everything else, above all the mouse moving over the icon
};

inline constexpr unsigned kTrayLeftButtonDown = 0x201;
inline constexpr unsigned kTrayLeftDoubleClick = 0x203;
inline constexpr unsigned kTrayRightButtonUp = 0x205;
inline constexpr unsigned kTrayContextMenu = 0x7B;

// `version4`: the icon speaks the shell's version 4, which follows a right-button release with
// its own context-menu event (also sent for the keyboard); the menu opens on that one only.
inline TrayEventAction ActionForTrayEvent(unsigned event, bool version4) {
    switch (event) {
        case kTrayLeftDoubleClick:
            return TrayEventAction::kOpenConsole;
        case kTrayContextMenu:
            return TrayEventAction::kShowMenu;
        case kTrayRightButtonUp:
            return version4 ? TrayEventAction::kNothing : TrayEventAction::kShowMenu;
        case kTrayLeftButtonDown:
            return TrayEventAction::kNothing;
        default:
            return TrayEventAction::kHover;
    }
}

}  // namespace qm
