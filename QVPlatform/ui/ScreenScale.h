// The main screen's scale (points to pixels), for code that needs only that number.
//
//   platform::mainScreenScale();   // 2 with the default phone profile
//
// UIImage uses it to prefer "name@2x.png" on a scale-2 screen. Thread rule: callable from
// any thread.
#pragma once

namespace platform {

// The scale of the main screen (UIScreen::main()->scale()).
double mainScreenScale();

}  // namespace platform
