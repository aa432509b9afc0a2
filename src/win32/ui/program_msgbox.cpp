#include "win32/ui/program_msgbox.h"

#include <memory>

#include "win32/ui/msgbox_platform_win.h"

namespace qm::win {
namespace {

// The box, its platform and the settings every box shares, created together.
struct ProgramBox {
    Win32MsgBoxPlatform platform;
    MsgBoxShared shared;
    MsgBoxEnhanced box{platform, shared};
};

std::unique_ptr<ProgramBox>& Instance() {
    static std::unique_ptr<ProgramBox> instance;
    return instance;
}

}  // namespace

MsgBoxEnhanced& ProgramMsgBox() {
    auto& instance = Instance();
    if (!instance) {
        instance = std::make_unique<ProgramBox>();
    }
    return instance->box;
}

void ReleaseProgramMsgBox() {
    Instance().reset();
}

void ApplyStartUpAppearance(MsgBoxEnhanced& box) {
    box.SetHeadingType(1);
    box.SetMoveable(true);
    box.SetTextAlignment(2);
}

int ShowAlreadyRunningMessage() {
    MsgBoxEnhanced& box = ProgramMsgBox();
    ApplyStartUpAppearance(box);
    return box.MsgBox("The program is already running", 48, " Quillmere");
}

}  // namespace qm::win
