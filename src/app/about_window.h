#pragma once
// Shows the about window. Its look is the template "AboutForm" of the current
// skin when that skin has one, otherwise that of the skin built into the program.

#include "ui/about_form.h"

#include <functional>

namespace quill {

struct AppServices;
class TSkin;

inline constexpr const char* kAboutTemplate = "AboutForm";

// What the about window tells: product, vendor, the build's version, the
// libraries with their versions and licences, the data file and settings paths.
AboutInfo MakeAboutInfo(const AppServices& services);

// The skin that draws the about window: `current` when it carries the about
// template, else the program's built-in skin (nullptr if even that is unusable).
TSkin* AboutSkin(TSkin& current);

// Shows the about window modally, centred on `owner`; `onActivate` runs when it
// comes to the front (the stay-on-top rule). A second call while it is open
// brings the open one forward.
void ShowAboutWindow(const AboutInfo& info, TSkin& current, QWidget* owner,
                     const std::function<void(QWidget*)>& onActivate);

} // namespace quill
