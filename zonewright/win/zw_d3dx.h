// The few D3DX pieces the renderer uses, written for this program: texture
// from an image file with a colour key, a sprite that draws one textured
// rectangle at a time, and the view and projection matrices.
#pragma once

#include <d3d8.h>

struct ZWX_Vector2 {
  float x, y;
};

// Loads an image file into a one-level A8R8G8B8 texture in the managed pool.
// Texels equal to aColourKey become transparent black. The size comes from
// the file (padded to powers of two when the device needs them).
HRESULT ZWX_CreateTextureFromFile(IDirect3DDevice8* aDevice, const char* aPath, D3DCOLOR aColourKey,
                                  IDirect3DTexture8** aTexture);

class ZWX_Sprite {
 public:
  explicit ZWX_Sprite(IDirect3DDevice8* aDevice);
  ~ZWX_Sprite();
  // One textured rectangle: the source rectangle scaled, rotated about the
  // rotation centre (its top-left when null) and moved by the translation.
  HRESULT Draw(IDirect3DTexture8* aTexture, const RECT* aSource, const ZWX_Vector2* aScaling,
               const ZWX_Vector2* aRotationCentre, float aRotation, const ZWX_Vector2* aTranslation,
               D3DCOLOR aColour);

 private:
  IDirect3DDevice8* myDevice;
};

HRESULT ZWX_CreateSprite(IDirect3DDevice8* aDevice, ZWX_Sprite** aSprite);

void ZWX_MatrixLookAtLH(D3DMATRIX* anOut, const float anEye[3], const float anAt[3], const float anUp[3]);
void ZWX_MatrixPerspectiveFovLH(D3DMATRIX* anOut, float aFovY, float anAspect, float aNear, float aFar);
