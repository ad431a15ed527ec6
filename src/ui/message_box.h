#pragma once

namespace rekoda {

// Routes the program's messages to real message boxes captioned "Rekoda".
void InstallMessageBoxes();

}  // namespace rekoda
