// The wizard's platform seam. The Windows build implements these functions
// with the real APIs; the host build links test doubles.
#pragma once

#include <cstdint>

struct ZW_MemoryStatus {
  uint64_t availPhys;
  uint64_t totalPhys;
};

// Millisecond timer (timeGetTime).
double ZW_TimeMs();
// Memory status (GlobalMemoryStatus).
void ZW_GetMemoryStatus(ZW_MemoryStatus* aStatus);
// A message box without owner, OK button.
void ZW_MessageBox(const char* aText, const char* aCaption);
// OutputDebugStringA.
void ZW_DebugOutput(const char* aText);
// The "exit" operation after its console line: release the Direct3D objects,
// post the quit message.
void ZW_PlatformExit();

// Textures: a texture is an opaque handle of the renderer.
typedef void* ZW_Texture;
// Loads an image file as a texture (colour key magenta); null on failure.
ZW_Texture ZW_LoadTextureFile(const char* aPath);
// Releases a texture of the renderer (null: nothing).
void ZW_ReleaseTexture(ZW_Texture aTexture);
// Width and height of the picture a texture was loaded from (not padded), or
// of level 0 for a texture made from pixels; false when they cannot be read.
bool ZW_TextureSize(ZW_Texture aTexture, int* aWidth, int* aHeight);
// A texture made from an RGBA picture (rows top-down); null on failure.
ZW_Texture ZW_CreateTexture(const uint8_t* aPixels, int aWidth, int aHeight);
// One sprite draw: source rectangle in texels, destination in screen units.
void ZW_DrawImage(int aSrcLeft, int aSrcTop, int aSrcRight, int aSrcBottom,
                  int aDstLeft, int aDstTop, int aDstRight, int aDstBottom,
                  ZW_Texture aTexture, float anAngle);

// Caption text with a font of the font table (0 to 3) at (x, y), ARGB colour.
void ZW_DrawFontText(int aFont, float anX, float aY, uint32_t aColour, const char* aText,
                     uint32_t aFlags);
// One text of a list drawn with one font and colour.
struct ZW_TextItem {
  float x, y;
  const char* text;
};
// Draws all the texts of a list in one batch (the marker labels).
void ZW_DrawFontTextList(int aFont, uint32_t aColour, const ZW_TextItem* aItems, int aCount);
// Reads the pixel (x, y) of the picture a texture was loaded from, whatever
// its size (or of level 0 for a texture made from pixels): red, green, blue,
// alpha as 0 to 1. False outside it; aValues then stays as it was.
bool ZW_SampleHeight(ZW_Texture aTexture, int anX, int aY, float aValues[4]);
