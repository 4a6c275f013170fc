#include <QVPlatform/ui/ScreenScale.h>

#include <QVPlatform/ui/UIScreen.h>

namespace platform {

double mainScreenScale() { return UIScreen::main()->scale(); }

}  // namespace platform
