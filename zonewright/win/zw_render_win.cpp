// The Direct3D 8 renderer: device, frame, image sprites, font textures and
// font text, texture loading and the height sample.
#include <d3d8.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "zw_console.h"
#include "zw_controls.h"
#include "zw_d3dx.h"
#include "zw_editor.h"
#include "zw_image.h"
#include "zw_platform.h"
#include "zw_render.h"
#include "zw_shell.h"
#include "zw_win.h"

namespace {

IDirect3D8* gDirect3D;
IDirect3DDevice8* gDevice;
D3DPRESENT_PARAMETERS gPresentParameters;
ZWX_Sprite* gSprite;

const DWORD kFontFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct ZW_Font {
  const char* face;
  int points;
  DWORD flags;  // bit 0 bold, bit 1 italic, bit 2 depth test
  IDirect3DTexture8* texture;
  DWORD savedState;
  DWORD drawState;
  ZW_FontLayout layout;
};

ZW_Font gFonts[4] = {
    {"Arial", 8, 0, nullptr, 0, 0, {}},
    {"Arial Bold", 8, 0, nullptr, 0, 0, {}},
    {"Arial", 10, 0, nullptr, 0, 0, {}},
    {"Arial", 12, 0, nullptr, 0, 0, {}},
};

// Measures and draws glyphs into the GDI bitmap of a font texture.
struct GdiGlyphs : ZW_GlyphSink {
  HDC dc;
  void Measure(char aChar, int* aWidth, int* aHeight) override {
    SIZE locSize = {0, 0};
    GetTextExtentPoint32A(dc, &aChar, 1, &locSize);
    *aWidth = locSize.cx;
    *aHeight = locSize.cy;
  }
  void Draw(char aChar, int aX, int aY) override {
    ExtTextOutA(dc, aX, aY, ETO_OPAQUE, nullptr, &aChar, 1, nullptr);
  }
};

// The frame being drawn and the frame shown: a frame draws nothing until its
// end, and only when it differs from the one shown. A recorded run holds a
// reference to its texture, so that a texture released during the frame
// stays valid, and a texture shown stays the same texture.
ZW_FrameRecord gFrame;
ZW_FrameRecord gShown;
ZW_FramePresenter gPresenter;

// The pictures of the textures loaded from files, as read: a texture may be
// padded to powers of two, and a height is sampled from the picture itself.
std::map<IDirect3DTexture8*, ZW_Image> gPictures;

struct RecordRuns : ZW_SpriteRunSink {
  void DrawRun(ZW_Texture aTexture, const ZW_SpriteVertex* aVertices, int aCount) override {
    static_cast<IDirect3DTexture8*>(aTexture)->AddRef();
    gFrame.AddSprites(aTexture, aVertices, aCount);
  }
};
RecordRuns gRecordRuns;

struct RecordText : ZW_VertexSink {
  int font;
  uint32_t flags;
  void Flush(const ZW_FontVertex* aVertices, int aCount) override {
    gFrame.AddText(font, flags, aVertices, aCount);
  }
};

void ReleaseRecord(ZW_FrameRecord* aRecord) {
  for (const ZW_FrameDraw& d : aRecord->draws) {
    if (d.texture) {
      static_cast<IDirect3DTexture8*>(d.texture)->Release();
    }
  }
  aRecord->Reset(0);
}

void RecordFontStates(ZW_Font* aFont) {
  for (int i = 0; i < 2; i++) {
    gDevice->BeginStateBlock();
    gDevice->SetTexture(0, aFont->texture);
    gDevice->SetRenderState(D3DRS_ZENABLE, (aFont->flags & 4) ? D3DZB_TRUE : D3DZB_FALSE);
    gDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    gDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    gDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    gDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    gDevice->SetRenderState(D3DRS_ALPHAREF, 0x08);
    gDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    gDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    gDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    gDevice->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    gDevice->SetRenderState(D3DRS_EDGEANTIALIAS, FALSE);
    gDevice->SetRenderState(D3DRS_CLIPPLANEENABLE, FALSE);
    gDevice->SetRenderState(D3DRS_VERTEXBLEND, FALSE);
    gDevice->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE);
    gDevice->SetRenderState(D3DRS_FOGENABLE, FALSE);
    gDevice->SetRenderState(D3DRS_CLIPPING, TRUE);
    gDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    gDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    gDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    gDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    gDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    gDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    gDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    gDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    gDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    gDevice->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    gDevice->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    gDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    gDevice->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    gDevice->EndStateBlock(i == 0 ? &aFont->savedState : &aFont->drawState);
  }
}

void CreateFontTexture(ZW_Font* aFont) {
  D3DCAPS8 locCaps;
  gDevice->GetDeviceCaps(&locCaps);
  float locScale = 1.0f;
  int locSize = ZW_FontTextureSize(aFont->points, (int)locCaps.MaxTextureWidth, &locScale);
  aFont->layout.texWidth = locSize;
  aFont->layout.texHeight = locSize;
  aFont->layout.textScale = locScale;
  if (FAILED(gDevice->CreateTexture(locSize, locSize, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED,
                                    &aFont->texture))) {
    aFont->texture = nullptr;
    return;
  }

  BITMAPINFO locInfo;
  memset(&locInfo, 0, sizeof(locInfo));
  locInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  locInfo.bmiHeader.biWidth = locSize;
  locInfo.bmiHeader.biHeight = -locSize;
  locInfo.bmiHeader.biPlanes = 1;
  locInfo.bmiHeader.biCompression = BI_RGB;
  locInfo.bmiHeader.biBitCount = 32;
  HDC locDc = CreateCompatibleDC(nullptr);
  DWORD* locBits = nullptr;
  HBITMAP locBitmap = CreateDIBSection(locDc, &locInfo, DIB_RGB_COLORS, (void**)&locBits, nullptr, 0);
  SetMapMode(locDc, MM_TEXT);
  int locHeight = -MulDiv(aFont->points, (int)(GetDeviceCaps(locDc, LOGPIXELSY) * locScale), 72);
  HFONT locFont = CreateFontA(locHeight, 0, 0, 0, (aFont->flags & 1) ? FW_BOLD : FW_NORMAL,
                              (aFont->flags & 2) ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                              VARIABLE_PITCH, aFont->face);
  if (!locDc || !locBitmap || !locBits || !locFont) {
    if (locFont) DeleteObject(locFont);
    if (locBitmap) DeleteObject(locBitmap);
    if (locDc) DeleteDC(locDc);
    return;
  }
  HGDIOBJ locOldBitmap = SelectObject(locDc, locBitmap);
  HGDIOBJ locOldFont = SelectObject(locDc, locFont);
  SetTextColor(locDc, RGB(255, 255, 255));
  SetBkColor(locDc, 0x00000000);
  SetTextAlign(locDc, TA_TOP);

  GdiGlyphs locGlyphs;
  locGlyphs.dc = locDc;
  ZW_FontLayoutGlyphs(&aFont->layout, &locGlyphs);
  GdiFlush();

  D3DLOCKED_RECT locRect;
  if (SUCCEEDED(aFont->texture->LockRect(0, &locRect, nullptr, 0))) {
    for (int y = 0; y < locSize; y++) {
      WORD* locRow = (WORD*)((BYTE*)locRect.pBits + (size_t)y * locRect.Pitch);
      for (int x = 0; x < locSize; x++) {
        BYTE a = (BYTE)((locBits[(size_t)y * locSize + x] & 0xFF) >> 4);
        locRow[x] = a ? (WORD)((a << 12) | 0x0FFF) : 0;
      }
    }
    aFont->texture->UnlockRect(0);
  }
  SelectObject(locDc, locOldFont);
  SelectObject(locDc, locOldBitmap);
  DeleteObject(locFont);
  DeleteObject(locBitmap);
  DeleteDC(locDc);
  RecordFontStates(aFont);
}

}  // namespace

namespace {

// The device states of the program, set at creation and after a reset.
void SetDeviceStates() {
  gDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
  gDevice->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
  gDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
  gDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  gDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
  D3DMATRIX locProjection;
  ZWX_MatrixPerspectiveFovLH(&locProjection, 0.7853982f, 1.3333f, 1.0f, 200.0f);
  gDevice->SetTransform(D3DTS_PROJECTION, &locProjection);
}

}  // namespace

HRESULT ZWW_CreateDevice(HWND aWindow) {
  gDirect3D = Direct3DCreate8(D3D_SDK_VERSION);
  if (!gDirect3D) {
    return E_FAIL;
  }
  D3DDISPLAYMODE locMode;
  if (FAILED(gDirect3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &locMode))) {
    return E_FAIL;
  }
  D3DPRESENT_PARAMETERS& locParams = gPresentParameters;
  memset(&locParams, 0, sizeof(locParams));
  locParams.BackBufferFormat = locMode.Format;
  // The back buffer keeps its picture after a present: a frame equal to the
  // one shown is presented again without being drawn.
  locParams.SwapEffect = D3DSWAPEFFECT_COPY;
  locParams.BackBufferCount = 1;  // the one back buffer the copy effect allows
  locParams.Windowed = TRUE;
  locParams.EnableAutoDepthStencil = TRUE;
  locParams.AutoDepthStencilFormat = D3DFMT_D16;
  if (FAILED(gDirect3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, aWindow,
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING, &locParams, &gDevice))) {
    gDevice = nullptr;
    return E_FAIL;
  }
  SetDeviceStates();
  gPresenter = ZW_FramePresenter();
  if (FAILED(ZWX_CreateSprite(gDevice, &gRecordRuns, &gSprite))) {
    return E_FAIL;
  }
  return D3D_OK;
}

void ZWW_SetupFonts() {
  ZW_Print("Setting up TrueType fonts");
  if (!gDevice) {
    return;
  }
  for (ZW_Font& locFont : gFonts) {
    CreateFontTexture(&locFont);
  }
}

namespace {

// Draws a recorded text with its font's states; those of before come back.
void DrawText(const ZW_FrameDraw& aDraw) {
  ZW_Font* locFont = &gFonts[aDraw.font];
  gDevice->CaptureStateBlock(locFont->savedState);
  gDevice->ApplyStateBlock(locFont->drawState);
  gDevice->SetVertexShader(kFontFvf);
  gDevice->SetPixelShader(0);
  if (aDraw.flags & 4) {
    gDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    gDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  }
  gDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, (UINT)aDraw.count / 3, &gFrame.vertices[(size_t)aDraw.first],
                           sizeof(ZW_FontVertex));
  gDevice->ApplyStateBlock(locFont->savedState);
}

void DrawFrame() {
  gDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, gFrame.clearColour, 1.0f, 0);
  gDevice->BeginScene();
  D3DMATRIX locView;
  ZWX_MatrixLookAtLH(&locView, zwRender.camera, zwRender.cameraTarget, zwRender.up);
  gDevice->SetTransform(D3DTS_VIEW, &locView);
  gDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
  gDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
  gDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  gDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  gDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  gDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  gDevice->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  gSprite->Begin();
  for (const ZW_FrameDraw& d : gFrame.draws) {
    if (d.texture) {
      gSprite->DrawRun(d.texture, &gFrame.vertices[(size_t)d.first], d.count);
    } else {
      DrawText(d);
    }
  }
  gSprite->End();
  gDevice->EndScene();
}

}  // namespace

namespace {

ZW_DeviceLevel DeviceLevel(HRESULT aResult) {
  switch (aResult) {
    case D3D_OK:
      return ZW_DEVICE_OK;
    case D3DERR_DEVICELOST:
      return ZW_DEVICE_LOST;
    case D3DERR_DEVICENOTRESET:
      return ZW_DEVICE_NOT_RESET;
    default:
      return ZW_DEVICE_FAILED;
  }
}

// The device as the frame presenter sees it. A reset loses the state blocks
// and the device states; the managed textures (images and fonts) survive it.
struct Direct3DFrameDevice : ZW_FrameDevice {
  ZW_DeviceLevel CooperativeLevel() override { return DeviceLevel(gDevice->TestCooperativeLevel()); }
  bool Reset() override {
    for (ZW_Font& locFont : gFonts) {
      if (locFont.savedState) {
        gDevice->DeleteStateBlock(locFont.savedState);
      }
      if (locFont.drawState) {
        gDevice->DeleteStateBlock(locFont.drawState);
      }
      locFont.savedState = locFont.drawState = 0;
    }
    if (FAILED(gDevice->Reset(&gPresentParameters))) {
      return false;
    }
    SetDeviceStates();
    for (ZW_Font& locFont : gFonts) {
      if (locFont.texture) {
        RecordFontStates(&locFont);
      }
    }
    return true;
  }
  void Draw() override { DrawFrame(); }
  ZW_DeviceLevel Present() override { return DeviceLevel(gDevice->Present(nullptr, nullptr, nullptr, nullptr)); }
};
Direct3DFrameDevice gFrameDevice;

}  // namespace

bool ZWW_RenderFrame() {
  if (!gDevice) {
    return false;
  }
  ReleaseRecord(&gFrame);
  gFrame.Reset(zwRender.clearColor);
  ZWW_UpdateMousePosition();
  // The images of the frame are gathered in runs of one texture.
  ZW_ControlsUpdateAndDraw();
  ZW_EditorDrawLabels();
  if (zwShell.fpsMode != 0 || zwShell.memMode != 0) {
    ZW_DrawStatistics();
  }
  if (!gDevice || !gSprite) {
    return false;  // a command of the frame released Direct3D
  }
  gSprite->Flush();
  bool locSame = gFrame.SameAs(gShown);
  bool locAtRest = ZW_ScreenAtRest(locSame) && gPresenter.shownValid && !gPresenter.lost;
  gPresenter.Frame(&gFrameDevice, locSame, locAtRest);
  std::swap(gFrame, gShown);
  return locAtRest;
}

void ZWW_PresentShown() {
  if (gDevice) {
    gPresenter.PresentShown(&gFrameDevice);
  }
}

void ZWW_ShowDeviceCursor() {
  if (gDevice) {
    gDevice->ShowCursor(TRUE);
  }
}

void ZWW_ReleaseDirect3D() {
  if (gSprite) {
    gSprite->Flush();
  }
  ReleaseRecord(&gFrame);
  ReleaseRecord(&gShown);
  gPresenter = ZW_FramePresenter();
  if (gDevice) {
    gDevice->Release();
    gDevice = nullptr;
  }
  if (gDirect3D) {
    gDirect3D->Release();
    gDirect3D = nullptr;
  }
  delete gSprite;
  gSprite = nullptr;
}

// --- Platform seam: drawing and textures -------------------------------------

void ZW_DrawImage(int aSrcLeft, int aSrcTop, int aSrcRight, int aSrcBottom,
                  int aDstLeft, int aDstTop, int aDstRight, int aDstBottom,
                  ZW_Texture aTexture, float anAngle) {
  if (!gSprite || !aTexture || aSrcRight == aSrcLeft || aSrcBottom == aSrcTop) {
    return;
  }
  RECT locSource = {aSrcLeft, aSrcTop, aSrcRight, aSrcBottom};
  ZWX_Vector2 locScaling = {(float)(aDstRight - aDstLeft) / (float)(aSrcRight - aSrcLeft),
                            (float)(aDstBottom - aDstTop) / (float)(aSrcBottom - aSrcTop)};
  ZWX_Vector2 locTranslation = {(float)aDstLeft, (float)aDstTop};
  gSprite->Draw(static_cast<IDirect3DTexture8*>(aTexture), &locSource, &locScaling, nullptr, anAngle,
                &locTranslation, 0xFFFFFFFF);
}

namespace {

// The font that draws a text, or null when it cannot draw.
ZW_Font* TextFont(int aFont) {
  if (!gDevice || aFont < 0 || aFont > 3 || !gFonts[aFont].texture) {
    return nullptr;
  }
  // The images before the text come first.
  if (gSprite) {
    gSprite->Flush();
  }
  return &gFonts[aFont];
}

}  // namespace

void ZW_DrawFontText(int aFont, float anX, float aY, uint32_t aColour, const char* aText,
                     uint32_t aFlags) {
  ZW_Font* locFont = TextFont(aFont);
  if (!locFont) {
    return;
  }
  RecordText locSink;
  locSink.font = aFont;
  locSink.flags = aFlags & 4;
  ZW_FontBuildText(locFont->layout, anX, aY, aColour, aText, &locSink);
}

void ZW_DrawFontTextList(int aFont, uint32_t aColour, const ZW_TextItem* aItems, int aCount) {
  ZW_Font* locFont = aCount > 0 ? TextFont(aFont) : nullptr;
  if (!locFont) {
    return;
  }
  RecordText locSink;
  locSink.font = aFont;
  locSink.flags = 0;
  for (int i = 0; i < aCount; i++) {
    ZW_FontBuildText(locFont->layout, aItems[i].x, aItems[i].y, aColour, aItems[i].text, &locSink);
  }
}

void ZW_ReleaseTexture(ZW_Texture aTexture) {
  if (aTexture) {
    gPictures.erase(static_cast<IDirect3DTexture8*>(aTexture));
    static_cast<IDirect3DTexture8*>(aTexture)->Release();
  }
}

bool ZW_TextureSize(ZW_Texture aTexture, int* aWidth, int* aHeight) {
  IDirect3DTexture8* locTexture = static_cast<IDirect3DTexture8*>(aTexture);
  std::map<IDirect3DTexture8*, ZW_Image>::const_iterator locPicture = gPictures.find(locTexture);
  if (locPicture != gPictures.end()) {
    *aWidth = locPicture->second.width;
    *aHeight = locPicture->second.height;
    return true;
  }
  D3DSURFACE_DESC locDesc;
  if (!locTexture || FAILED(locTexture->GetLevelDesc(0, &locDesc))) {
    return false;
  }
  *aWidth = (int)locDesc.Width;
  *aHeight = (int)locDesc.Height;
  return true;
}

ZW_Texture ZW_LoadTextureFile(const char* aPath) {
  if (!gDevice) {
    return nullptr;
  }
  IDirect3DTexture8* locTexture = nullptr;
  ZW_Image locPicture;
  if (FAILED(ZWX_CreateTextureFromFile(gDevice, aPath, 0xFFFF00FF, &locTexture, &locPicture))) {
    return nullptr;
  }
  gPictures[locTexture] = std::move(locPicture);
  return locTexture;
}

ZW_Texture ZW_CreateTexture(const uint8_t* aPixels, int aWidth, int aHeight) {
  IDirect3DTexture8* locTexture = nullptr;
  if (!gDevice || FAILED(gDevice->CreateTexture(aWidth, aHeight, 1, 0, D3DFMT_A8R8G8B8,
                                                D3DPOOL_MANAGED, &locTexture))) {
    return nullptr;
  }
  D3DLOCKED_RECT locRect;
  if (FAILED(locTexture->LockRect(0, &locRect, nullptr, 0))) {
    locTexture->Release();
    return nullptr;
  }
  for (int y = 0; y < aHeight; y++) {
    DWORD* locRow = (DWORD*)((BYTE*)locRect.pBits + (size_t)y * locRect.Pitch);
    const uint8_t* p = aPixels + (size_t)y * aWidth * 4;
    for (int x = 0; x < aWidth; x++, p += 4) {
      locRow[x] = (DWORD)p[3] << 24 | (DWORD)p[0] << 16 | (DWORD)p[1] << 8 | p[2];
    }
  }
  locTexture->UnlockRect(0);
  return locTexture;
}

bool ZW_SampleHeight(ZW_Texture aTexture, int anX, int aY, float aValues[4]) {
  IDirect3DTexture8* locTexture = static_cast<IDirect3DTexture8*>(aTexture);
  std::map<IDirect3DTexture8*, ZW_Image>::const_iterator locPicture = gPictures.find(locTexture);
  if (locPicture != gPictures.end()) {
    return ZW_ImageTexel(locPicture->second, anX, aY, aValues);
  }
  // A texture made from pixels: its level 0.
  D3DSURFACE_DESC locDesc;
  if (!locTexture || FAILED(locTexture->GetLevelDesc(0, &locDesc))) {
    return false;
  }
  if (anX < 0 || aY < 0 || (UINT)anX >= locDesc.Width || (UINT)aY >= locDesc.Height) {
    return false;
  }
  D3DLOCKED_RECT locRect;
  if (FAILED(locTexture->LockRect(0, &locRect, nullptr, D3DLOCK_READONLY))) {
    return false;
  }
  DWORD t = static_cast<const DWORD*>(locRect.pBits)[(size_t)aY * (locRect.Pitch / 4) + anX];
  locTexture->UnlockRect(0);
  aValues[0] = ((t >> 16) & 0xFF) * 0.003921569f;
  aValues[1] = ((t >> 8) & 0xFF) * 0.003921569f;
  aValues[2] = (t & 0xFF) * 0.003921569f;
  aValues[3] = ((t >> 24) & 0xFF) * 0.003921569f;
  return true;
}
