#pragma once

// Registers the pictures of the tips and About dialogs (extras_gui.qrc). A static library's resources
// are dropped by the linker unless something refers to them; the dialogs call this before use.
void InitExtrasResources();
