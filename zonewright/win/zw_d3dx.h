// The few D3DX pieces the renderer uses, written for this program: texture
// from an image file with a colour key, a sprite that draws textured
// rectangles in runs of one texture, and the view and projection matrices.
#pragma once

#include <d3d8.h>

#include "zw_image.h"
#include "zw_render.h"

struct ZWX_Vector2 {
  float x, y;
};

// Loads an image file into a one-level A8R8G8B8 texture in the managed pool.
// Texels equal to aColourKey become transparent black. The size comes from
// the file (padded to powers of two when the device needs them). aPicture,
// when given, receives the picture as read, without the padding.
HRESULT ZWX_CreateTextureFromFile(IDirect3DDevice8* aDevice, const char* aPath, D3DCOLOR aColourKey,
                                  IDirect3DTexture8** aTexture, ZW_Image* aPicture = nullptr);

// Textured rectangles gathered in runs of one texture: a run goes to the
// run sink when the texture changes and at Flush (before anything else is
// drawn). Begin and End set the sprite's device states and restore those of
// before; DrawRun draws a run with them.
class ZWX_Sprite {
 public:
  ZWX_Sprite(IDirect3DDevice8* aDevice, ZW_SpriteRunSink* aRuns);
  ~ZWX_Sprite();
  // Saves the device states the sprite sets and sets them.
  HRESULT Begin();
  // One textured rectangle: the source rectangle scaled, rotated about the
  // rotation centre (its top-left when null) and moved by the translation.
  HRESULT Draw(IDirect3DTexture8* aTexture, const RECT* aSource, const ZWX_Vector2* aScaling,
               const ZWX_Vector2* aRotationCentre, float aRotation, const ZWX_Vector2* aTranslation,
               D3DCOLOR aColour);
  // Hands the rectangles gathered so far to the run sink.
  void Flush();
  // Draws a run of rectangles (between Begin and End).
  void DrawRun(ZW_Texture aTexture, const ZW_SpriteVertex* aVertices, int aCount);
  // Restores the device states of before Begin.
  HRESULT End();

 private:
  enum { kStateCount = 11, kStageStateCount = 6 };

  IDirect3DDevice8* myDevice;
  ZW_SpriteBatch myBatch;
  IDirect3DTexture8* myHeld;  // the texture of the run, referenced until it is flushed
  bool myBegun;
  DWORD myStates[kStateCount];
  DWORD myStageStates[kStageStateCount];
  DWORD myStage1;
  DWORD myShader;
  IDirect3DBaseTexture8* myOldTexture;
};

HRESULT ZWX_CreateSprite(IDirect3DDevice8* aDevice, ZW_SpriteRunSink* aRuns, ZWX_Sprite** aSprite);

void ZWX_MatrixLookAtLH(D3DMATRIX* anOut, const float anEye[3], const float anAt[3], const float anUp[3]);
void ZWX_MatrixPerspectiveFovLH(D3DMATRIX* anOut, float aFovY, float anAspect, float aNear, float aFar);
