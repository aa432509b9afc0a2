#pragma once

namespace qm {

// What the program does with an event of its tray icon (the mouse message the shell sends).
enum class TrayEventAction {
    kNothing,
    kOpenConsole,  // a double-click: the system's defragmenter console
    kShowMenu,
    kHover,       // everything else, above all the mouse moving over the icon
    kOpenRunLog,  // a click on a notification the icon showed
};

inline constexpr unsigned kTrayLeftButtonDown = 0x201;
inline constexpr unsigned kTrayLeftDoubleClick = 0x203;
inline constexpr unsigned kTrayRightButtonUp = 0x205;
inline constexpr unsigned kTrayContextMenu = 0x7B;
inline constexpr unsigned kTrayBalloonClick = 0x405;  // NIN_BALLOONUSERCLICK
inline constexpr unsigned kTrayBalloonShown = 0x402;  // NIN_BALLOONSHOW and the rest of them
inline constexpr unsigned kTrayBalloonHidden = 0x403;
inline constexpr unsigned kTrayBalloonTimeout = 0x404;

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
        case kTrayBalloonClick:
            return TrayEventAction::kOpenRunLog;
        case kTrayLeftButtonDown:
        case kTrayBalloonShown:
        case kTrayBalloonHidden:
        case kTrayBalloonTimeout:
            return TrayEventAction::kNothing;
        default:
            return TrayEventAction::kHover;
    }
}

}  // namespace qm
