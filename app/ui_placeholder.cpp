// Keeps the window library non-empty while windows are being added.
namespace solvari { int uiPlaceholder() { return 0; } }
