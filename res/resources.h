#pragma once
// The dialog templates of the program, loaded once from the bytes built into
// it, with the handlers of our own controls.
namespace vimbrel {

void LoadResources();

}  // namespace vimbrel
