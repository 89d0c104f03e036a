#include "ui/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares a function of the global namespace, so it must be used outside ours.
static void registerSolvariQrc() { Q_INIT_RESOURCE(solvari); }

namespace solvari {

void initSolvariResources() { registerSolvariQrc(); }

}  // namespace solvari
