#pragma once
// The program's skin: every image the viewer asks the resource module for.

#include "Inventory.h"

#include <vector>

namespace skingen {

std::vector<SkinImage> ProgramSkin();

}  // namespace skingen
