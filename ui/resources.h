#pragma once

namespace solvari {

// Registers the pictures and help pages compiled into the window library (":/images/…",
// ":/help/…"). A resource file inside a static library is not registered by itself: main()
// and the window tests call this once, after creating the application object.
void initSolvariResources();

}  // namespace solvari
