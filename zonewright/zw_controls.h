// The controls' entry points used by the shell, the renderer and the command
// table. The control system fills them in; until then they do nothing.
#pragma once

#include "zw_platform.h"

void ZW_ControlsUseTexture(ZW_Texture* aSlot);
void ZW_ControlsUpdateAndDraw();
void ZW_ControlsRescale(float aScaleX, float aScaleY);
void ZW_ControlsTextEntryKey(int aKey);
