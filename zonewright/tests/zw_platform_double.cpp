#include "zw_platform_double.h"

#include <cstdint>
#include <cstdio>

#include "zw_console.h"
#include "zw_controls.h"
#include "zw_editor.h"
#include "zw_editor_double.h"
#include "zw_input.h"
#include "zw_props.h"
#include "zw_render.h"
#include "zw_shell.h"

ZW_PlatformDouble zwDouble;

void ZW_ResetAll() {
  zwDouble = ZW_PlatformDouble();
  ZW_ConsoleReset();
  ZW_ShellReset();
  ZW_RenderReset();
  ZW_InputReset();
  ZW_ControlsReset();
  ZW_PropsReset();
  ZW_EditorReset();
  zwEditorDouble = ZW_EditorDouble();
}

double ZW_TimeMs() {
  return zwDouble.now;
}

void ZW_GetMemoryStatus(ZW_MemoryStatus* aStatus) {
  *aStatus = zwDouble.memory;
}

void ZW_MessageBox(const char* aText, const char* aCaption) {
  zwDouble.messageBoxes.push_back(std::string(aCaption) + "|" + aText);
}

void ZW_DebugOutput(const char* aText) {
  zwDouble.debugOutput.push_back(aText);
}

void ZW_PlatformExit() {
  zwDouble.exitCalls++;
}

// A file that opens loads; the handle is a distinct non-null value.
ZW_Texture ZW_LoadTextureFile(const char* aPath) {
  FILE* locFile = fopen(aPath, "rb");
  if (!locFile) {
    return nullptr;
  }
  fclose(locFile);
  zwDouble.texturesLoaded++;
  return reinterpret_cast<ZW_Texture>(static_cast<uintptr_t>(0x1000 + zwDouble.texturesLoaded));
}

ZW_Texture ZW_CreateTexture(const uint8_t* aPixels, int aWidth, int aHeight) {
  zwDouble.createdTextures.emplace_back(aPixels, aPixels + (size_t)aWidth * aHeight * 4);
  return reinterpret_cast<ZW_Texture>(static_cast<uintptr_t>(0x2000 + zwDouble.createdTextures.size()));
}

void ZW_DrawImage(int aSrcLeft, int aSrcTop, int aSrcRight, int aSrcBottom,
                  int aDstLeft, int aDstTop, int aDstRight, int aDstBottom,
                  ZW_Texture aTexture, float anAngle) {
  zwDouble.draws.push_back({{aSrcLeft, aSrcTop, aSrcRight, aSrcBottom},
                            {aDstLeft, aDstTop, aDstRight, aDstBottom}, aTexture, anAngle});
}

void ZW_DrawFontText(int aFont, float anX, float aY, uint32_t aColour, const char* aText, uint32_t) {
  zwDouble.texts.push_back({aFont, anX, aY, aColour, aText});
}

void ZW_ReleaseTexture(ZW_Texture aTexture) {
  if (aTexture) {
    zwDouble.released.push_back(aTexture);
  }
}

bool ZW_TextureSize(ZW_Texture aTexture, int* aWidth, int* aHeight) {
  if (!aTexture) {
    return false;
  }
  *aWidth = zwDouble.textureSize[0];
  *aHeight = zwDouble.textureSize[1];
  return true;
}

void ZW_DrawFontTextList(int aFont, uint32_t aColour, const ZW_TextItem* aItems, int aCount) {
  zwDouble.textLists++;
  for (int i = 0; i < aCount; i++) {
    zwDouble.texts.push_back({aFont, aItems[i].x, aItems[i].y, aColour, aItems[i].text});
  }
}

bool ZW_SampleHeight(ZW_Texture, int anX, int aY, float aValues[4]) {
  zwDouble.sampledAt[0] = anX;
  zwDouble.sampledAt[1] = aY;
  float locRed = zwDouble.sampleRed;
  if (!zwDouble.redOfColumn.empty()) {
    if (anX < 0 || aY < 0 || anX >= zwDouble.textureSize[0] || aY >= zwDouble.textureSize[1] ||
        anX >= (int)zwDouble.redOfColumn.size()) {
      return false;
    }
    locRed = zwDouble.redOfColumn[anX];
  }
  if (locRed < 0) {
    return false;
  }
  aValues[0] = aValues[1] = aValues[2] = locRed;
  aValues[3] = 1;
  return true;
}
