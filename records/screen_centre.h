#pragma once

class QWidget;

namespace solvari {

// Moves a top-level window so that its frame stands in the middle of the screen it is on
// (the primary screen before it is first shown).
void centreOnScreen(QWidget* window);

}  // namespace solvari
