#include "zw_d3dx.h"

#include <cmath>
#include <cstring>
#include <new>
#include <utility>

#include "zw_image.h"

HRESULT ZWX_CreateTextureFromFile(IDirect3DDevice8* aDevice, const char* aPath, D3DCOLOR aColourKey,
                                  IDirect3DTexture8** aTexture, ZW_Image* aPicture) {
  *aTexture = nullptr;
  D3DCAPS8 locCaps;
  bool locPowerOfTwo = true;
  if (SUCCEEDED(aDevice->GetDeviceCaps(&locCaps))) {
    locPowerOfTwo = (locCaps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0;
  }
  ZW_Image locPicture;
  if (!ZW_DecodeImage(aPath, aColourKey, false, &locPicture)) {
    return E_FAIL;
  }
  ZW_Image locPadded;
  if (locPowerOfTwo) {
    ZW_PadImage(locPicture, &locPadded);
  }
  const ZW_Image& locImage = locPowerOfTwo ? locPadded : locPicture;
  IDirect3DTexture8* locTexture = nullptr;
  HRESULT hr = aDevice->CreateTexture(locImage.width, locImage.height, 1, 0, D3DFMT_A8R8G8B8,
                                      D3DPOOL_MANAGED, &locTexture);
  if (FAILED(hr)) {
    return hr;
  }
  D3DLOCKED_RECT locRect;
  hr = locTexture->LockRect(0, &locRect, nullptr, 0);
  if (FAILED(hr)) {
    locTexture->Release();
    return hr;
  }
  for (int y = 0; y < locImage.height; y++) {
    memcpy(static_cast<BYTE*>(locRect.pBits) + (size_t)y * locRect.Pitch,
           &locImage.pixels[(size_t)y * locImage.width], (size_t)locImage.width * 4);
  }
  locTexture->UnlockRect(0);
  *aTexture = locTexture;
  if (aPicture) {
    *aPicture = std::move(locPicture);
  }
  return D3D_OK;
}

// --- Sprite -----------------------------------------------------------------

namespace {

const DWORD kSpriteFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

const D3DRENDERSTATETYPE kSavedStates[] = {
    D3DRS_ZENABLE, D3DRS_LIGHTING, D3DRS_ALPHABLENDENABLE, D3DRS_SRCBLEND, D3DRS_DESTBLEND,
    D3DRS_ALPHATESTENABLE, D3DRS_ALPHAREF, D3DRS_ALPHAFUNC, D3DRS_CULLMODE, D3DRS_FOGENABLE,
    D3DRS_SPECULARENABLE};
const D3DTEXTURESTAGESTATETYPE kSavedStageStates[] = {
    D3DTSS_COLOROP, D3DTSS_COLORARG1, D3DTSS_COLORARG2, D3DTSS_ALPHAOP, D3DTSS_ALPHAARG1,
    D3DTSS_ALPHAARG2};

}  // namespace

ZWX_Sprite::ZWX_Sprite(IDirect3DDevice8* aDevice, ZW_SpriteRunSink* aRuns)
    : myDevice(aDevice), myHeld(nullptr), myBegun(false), myStage1(0), myShader(0), myOldTexture(nullptr) {
  static_assert(sizeof(kSavedStates) / sizeof(kSavedStates[0]) == kStateCount, "saved states");
  static_assert(sizeof(kSavedStageStates) / sizeof(kSavedStageStates[0]) == kStageStateCount,
                "saved stage states");
  static_assert(sizeof(ZW_SpriteVertex) == 28, "the vertex of kSpriteFvf");
  myBatch.sink = aRuns;
  myDevice->AddRef();
}

ZWX_Sprite::~ZWX_Sprite() {
  if (myHeld) {
    myHeld->Release();
  }
  if (myOldTexture) {
    myOldTexture->Release();
  }
  myDevice->Release();
}

HRESULT ZWX_CreateSprite(IDirect3DDevice8* aDevice, ZW_SpriteRunSink* aRuns, ZWX_Sprite** aSprite) {
  *aSprite = new (std::nothrow) ZWX_Sprite(aDevice, aRuns);
  return *aSprite ? D3D_OK : E_OUTOFMEMORY;
}

HRESULT ZWX_Sprite::Begin() {
  if (myBegun) {
    return D3DERR_INVALIDCALL;
  }
  for (int i = 0; i < kStateCount; i++) {
    myDevice->GetRenderState(kSavedStates[i], &myStates[i]);
  }
  for (int i = 0; i < kStageStateCount; i++) {
    myDevice->GetTextureStageState(0, kSavedStageStates[i], &myStageStates[i]);
  }
  myDevice->GetTextureStageState(1, D3DTSS_COLOROP, &myStage1);
  myDevice->GetVertexShader(&myShader);
  myDevice->GetTexture(0, &myOldTexture);

  myDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
  myDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
  myDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  myDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  myDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  myDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  myDevice->SetRenderState(D3DRS_ALPHAREF, 0);
  myDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  myDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  myDevice->SetRenderState(D3DRS_FOGENABLE, FALSE);
  myDevice->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
  myDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  myDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  myDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  myDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  myDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  myDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  myDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  myBegun = true;
  return D3D_OK;
}

HRESULT ZWX_Sprite::End() {
  if (!myBegun) {
    return D3DERR_INVALIDCALL;
  }
  for (int i = 0; i < kStateCount; i++) {
    myDevice->SetRenderState(kSavedStates[i], myStates[i]);
  }
  for (int i = 0; i < kStageStateCount; i++) {
    myDevice->SetTextureStageState(0, kSavedStageStates[i], myStageStates[i]);
  }
  myDevice->SetTextureStageState(1, D3DTSS_COLOROP, myStage1);
  myDevice->SetVertexShader(myShader);
  myDevice->SetTexture(0, myOldTexture);
  if (myOldTexture) {
    myOldTexture->Release();
    myOldTexture = nullptr;
  }
  myBegun = false;
  return D3D_OK;
}

void ZWX_Sprite::Flush() {
  myBatch.Flush();
  if (myHeld) {
    myHeld->Release();
    myHeld = nullptr;
  }
}

// Text drawn between two runs restores the states it changes; the texture
// and the vertex format are set for every run.
void ZWX_Sprite::DrawRun(ZW_Texture aTexture, const ZW_SpriteVertex* aVertices, int aCount) {
  myDevice->SetTexture(0, static_cast<IDirect3DTexture8*>(aTexture));
  myDevice->SetVertexShader(kSpriteFvf);
  myDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, aCount / 3, aVertices, sizeof(ZW_SpriteVertex));
}

HRESULT ZWX_Sprite::Draw(IDirect3DTexture8* aTexture, const RECT* aSource, const ZWX_Vector2* aScaling,
                         const ZWX_Vector2* aRotationCentre, float aRotation,
                         const ZWX_Vector2* aTranslation, D3DCOLOR aColour) {
  if (!aTexture) {
    return D3DERR_INVALIDCALL;
  }
  D3DSURFACE_DESC locDesc;
  HRESULT hr = aTexture->GetLevelDesc(0, &locDesc);
  if (FAILED(hr) || locDesc.Width == 0 || locDesc.Height == 0) {
    return FAILED(hr) ? hr : D3DERR_INVALIDCALL;
  }
  RECT locSource = {0, 0, (LONG)locDesc.Width, (LONG)locDesc.Height};
  if (aSource) {
    locSource = *aSource;
  }
  float w = (float)(locSource.right - locSource.left);
  float h = (float)(locSource.bottom - locSource.top);
  float sx = aScaling ? aScaling->x : 1.0f;
  float sy = aScaling ? aScaling->y : 1.0f;
  float cx = aRotationCentre ? aRotationCentre->x : 0.0f;
  float cy = aRotationCentre ? aRotationCentre->y : 0.0f;
  float tx = aTranslation ? aTranslation->x : 0.0f;
  float ty = aTranslation ? aTranslation->y : 0.0f;
  float c = std::cos(aRotation);
  float s = std::sin(aRotation);
  float u0 = locSource.left / (float)locDesc.Width;
  float v0 = locSource.top / (float)locDesc.Height;
  float u1 = locSource.right / (float)locDesc.Width;
  float v1 = locSource.bottom / (float)locDesc.Height;

  const float locCorners[4][4] = {{0, 0, u0, v0}, {w, 0, u1, v0}, {0, h, u0, v1}, {w, h, u1, v1}};
  ZW_SpriteVertex v[4];
  for (int i = 0; i < 4; i++) {
    float px = locCorners[i][0] * sx - cx;
    float py = locCorners[i][1] * sy - cy;
    v[i].x = px * c - py * s + cx + tx - 0.5f;
    v[i].y = px * s + py * c + cy + ty - 0.5f;
    v[i].z = 0.5f;
    v[i].rhw = 1.0f;
    v[i].colour = aColour;
    v[i].u = locCorners[i][2];
    v[i].v = locCorners[i][3];
  }

  // The texture of the gathered run stays valid until the run is flushed,
  // even when it is released in between.
  IDirect3DTexture8* locHeld = myHeld;
  if (aTexture != locHeld) {
    aTexture->AddRef();
    myHeld = aTexture;
  }
  myBatch.Add(aTexture, v);  // hands the run of another texture on first
  if (locHeld && locHeld != aTexture) {
    locHeld->Release();
  }
  return D3D_OK;
}

void ZWX_MatrixLookAtLH(D3DMATRIX* anOut, const float anEye[3], const float anAt[3], const float anUp[3]) {
  ZW_Matrix m;
  ZW_MatrixLookAtLH(&m, anEye, anAt, anUp);
  memcpy(anOut->m, m.m, sizeof(m.m));
}

void ZWX_MatrixPerspectiveFovLH(D3DMATRIX* anOut, float aFovY, float anAspect, float aNear, float aFar) {
  ZW_Matrix m;
  ZW_MatrixPerspectiveFovLH(&m, aFovY, anAspect, aNear, aFar);
  memcpy(anOut->m, m.m, sizeof(m.m));
}
