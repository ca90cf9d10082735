// Renderer state, texture registry, cell text and font layout.
#include "zw_render.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "zw_cellfont.h"
#include "zw_console.h"
#include "zw_controls.h"
#include "zw_shell.h"

ZW_Renderer zwRender;

void ZW_RenderReset() {
  while (zwRender.textures) {
    ZW_TextureEntry* locNext = zwRender.textures->next;
    delete zwRender.textures;
    zwRender.textures = locNext;
  }
  memset(&zwRender, 0, sizeof(zwRender));
  zwRender.up[1] = 1.0f;
  zwRender.nextTextureId = ZW_QUERY;
}

// --- Texture registry -----------------------------------------------------

ZW_TextureEntry* ZW_TextureLoad(const char* aPath) {
  ZW_TextureEntry* locEntry = new ZW_TextureEntry();
  locEntry->next = zwRender.textures;
  zwRender.textures = locEntry;
  zwRender.current = locEntry;
  locEntry->texture = ZW_LoadTextureFile(aPath);
  if (!locEntry->texture) {
    ZW_Printf("ERROR: Failed to load texture '%s'!", aPath);
    ZW_TextureRemove(locEntry);
    return nullptr;
  }
  if (zwRender.nextTextureId == ZW_QUERY) {
    locEntry->id = ZW_QUERY;
    zwRender.systemTexture = &locEntry->texture;
    zwRender.nextTextureId = 1;
  } else {
    locEntry->id = zwRender.nextTextureId++;
  }
  snprintf(locEntry->name, sizeof(locEntry->name), "%s", aPath);
  ZW_Printf("Loaded texture '%s'", locEntry->name);
  zwShell.resourceLoaded = 1;
  return locEntry;
}

ZW_TextureEntry* ZW_TextureFindName(const char* aName) {
  for (ZW_TextureEntry* e = zwRender.textures; e; e = e->next) {
    if (ZW_EqualNoCase(e->name, aName)) {
      return e;
    }
  }
  return nullptr;
}

ZW_TextureEntry* ZW_TextureFindId(int anId) {
  for (ZW_TextureEntry* e = zwRender.textures; e; e = e->next) {
    if (e->id == anId) {
      return e;
    }
  }
  return nullptr;
}

void ZW_TextureRemove(ZW_TextureEntry* anEntry) {
  for (ZW_TextureEntry** p = &zwRender.textures; *p; p = &(*p)->next) {
    if (*p == anEntry) {
      *p = anEntry->next;
      if (zwRender.systemTexture == &anEntry->texture) {
        zwRender.systemTexture = nullptr;
      }
      ZW_ReleaseTexture(anEntry->texture);
      delete anEntry;
      zwRender.current = zwRender.textures;
      return;
    }
  }
}

// --- Drawing --------------------------------------------------------------

void ZW_CreateCellFont() {
  std::vector<uint8_t> locPixels((size_t)ZW_CELL_FONT_WIDTH * ZW_CELL_FONT_HEIGHT * 4, 0);
  ZW_CellFontDraw(locPixels.data(), ZW_CELL_FONT_WIDTH);
  zwRender.cellFont = ZW_CreateTexture(locPixels.data(), ZW_CELL_FONT_WIDTH, ZW_CELL_FONT_HEIGHT);
}

void ZW_DrawCellText(const char* aText, int aColumn, int aRow) {
  ZW_Texture locTexture = zwRender.cellFont;
  if (!locTexture && zwRender.systemTexture) {
    locTexture = *zwRender.systemTexture;
  }
  int c = zwShell.cellSize;
  for (int i = 0; aText[i] && i < ZW_LINE_SIZE; i++) {
    unsigned char ch = (unsigned char)aText[i];
    int locLeft = (ch & 15) * 16;
    int locTop = ((ch >> 4) & 7) * 16;
    int x = aColumn * c + i * c;
    int y = aRow * c;
    ZW_DrawImage(locLeft, locTop, locLeft + 16, locTop + 16, x, y, x + c, y + c, locTexture, 0.0f);
  }
}

int ZW_FontTextureSize(int aPoints, int aMaxTextureWidth, float* aTextScale) {
  int locSize = aPoints > 40 ? 1024 : aPoints > 20 ? 512 : 256;
  *aTextScale = 1.0f;
  if (aMaxTextureWidth > 0 && aMaxTextureWidth < locSize) {
    *aTextScale = (float)aMaxTextureWidth / (float)locSize;
    locSize = aMaxTextureWidth;
  }
  return locSize;
}

void ZW_FontLayoutGlyphs(ZW_FontLayout* aLayout, ZW_GlyphSink* aSink) {
  int x = 0;
  int y = 0;
  for (int c = ZW_FONT_FIRST_CHAR; c <= ZW_FONT_LAST_CHAR; c++) {
    int w = 0;
    int h = 0;
    aSink->Measure((char)c, &w, &h);
    if (x + w + 1 > aLayout->texWidth) {
      y += h + 1;
      x = 0;
    }
    aSink->Draw((char)c, x, y);
    float* locCoords = aLayout->coords[c - ZW_FONT_FIRST_CHAR];
    locCoords[0] = (float)x / (float)aLayout->texWidth;
    locCoords[1] = (float)y / (float)aLayout->texHeight;
    locCoords[2] = (float)(x + w) / (float)aLayout->texWidth;
    locCoords[3] = (float)(y + h) / (float)aLayout->texHeight;
    x += w + 1;
  }
}

void ZW_FontBuildText(const ZW_FontLayout& aLayout, float anX, float aY, uint32_t aColour,
                      const char* aText, ZW_VertexSink* aSink) {
  ZW_FontVertex locVertices[ZW_FONT_VERTICES];
  int n = 0;
  float locStartX = anX;
  const float* locFirst = aLayout.coords[0];
  float locLineHeight = (locFirst[3] - locFirst[1]) * (float)aLayout.texHeight;
  for (const char* p = aText; *p; p++) {
    int c = (unsigned char)*p;
    if (c == '\n') {
      anX = locStartX;
      aY += locLineHeight;
      continue;
    }
    // Codes 127 and up have no glyph.
    if (c < ZW_FONT_FIRST_CHAR || c > ZW_FONT_LAST_CHAR) {
      continue;
    }
    const float* t = aLayout.coords[c - ZW_FONT_FIRST_CHAR];
    float w = (t[2] - t[0]) * (float)aLayout.texWidth / aLayout.textScale;
    float h = (t[3] - t[1]) * (float)aLayout.texHeight / aLayout.textScale;
    if (c != ' ') {
      float l = anX - 0.5f, r = anX + w - 0.5f, tp = aY - 0.5f, b = aY + h - 0.5f;
      ZW_FontVertex locQuad[6] = {
          {l, b, 0.9f, 1.0f, aColour, t[0], t[3]}, {l, tp, 0.9f, 1.0f, aColour, t[0], t[1]},
          {r, b, 0.9f, 1.0f, aColour, t[2], t[3]}, {r, tp, 0.9f, 1.0f, aColour, t[2], t[1]},
          {r, b, 0.9f, 1.0f, aColour, t[2], t[3]}, {l, tp, 0.9f, 1.0f, aColour, t[0], t[1]},
      };
      memcpy(locVertices + n, locQuad, sizeof(locQuad));
      n += 6;
      if (n > ZW_FONT_FLUSH_AT) {
        aSink->Flush(locVertices, n);
        n = 0;
      }
    }
    anX += w;
  }
  if (n > 0) {
    aSink->Flush(locVertices, n);
  }
}

// --- Sprite batch ---------------------------------------------------------

void ZW_SpriteBatch::Add(ZW_Texture aTexture, const ZW_SpriteVertex aCorners[4]) {
  if (aTexture != texture || vertices.size() >= (size_t)ZW_SPRITE_RUN_QUADS * 6) {
    Flush();
    texture = aTexture;
  }
  // The strip's second triangle is (2, 1, 3).
  static const int kOrder[6] = {0, 1, 2, 2, 1, 3};
  for (int i : kOrder) {
    vertices.push_back(aCorners[i]);
  }
}

void ZW_SpriteBatch::Flush() {
  if (!vertices.empty()) {
    sink->DrawRun(texture, vertices.data(), (int)vertices.size());
    vertices.clear();
  }
}

// --- Frame record ---------------------------------------------------------

static_assert(sizeof(ZW_FontVertex) == sizeof(ZW_SpriteVertex), "one vertex layout");

void ZW_FrameRecord::Reset(uint32_t aClearColour) {
  clearColour = aClearColour;
  draws.clear();
  vertices.clear();
}

void ZW_FrameRecord::AddSprites(ZW_Texture aTexture, const ZW_SpriteVertex* aVertices, int aCount) {
  if (aCount <= 0) {
    return;
  }
  draws.push_back({aTexture, -1, 0, (int)vertices.size(), aCount});
  vertices.insert(vertices.end(), aVertices, aVertices + aCount);
}

void ZW_FrameRecord::AddText(int aFont, uint32_t aFlags, const ZW_FontVertex* aVertices, int aCount) {
  if (aCount <= 0) {
    return;
  }
  if (draws.empty() || draws.back().texture || draws.back().font != aFont ||
      draws.back().flags != aFlags) {
    draws.push_back({nullptr, aFont, aFlags, (int)vertices.size(), 0});
  }
  draws.back().count += aCount;
  size_t locAt = vertices.size();
  vertices.resize(locAt + (size_t)aCount);
  memcpy(&vertices[locAt], aVertices, sizeof(ZW_FontVertex) * (size_t)aCount);
}

bool ZW_FrameRecord::SameAs(const ZW_FrameRecord& anOther) const {
  if (clearColour != anOther.clearColour || draws.size() != anOther.draws.size() ||
      vertices.size() != anOther.vertices.size()) {
    return false;
  }
  for (size_t i = 0; i < draws.size(); i++) {
    const ZW_FrameDraw& a = draws[i];
    const ZW_FrameDraw& b = anOther.draws[i];
    if (a.texture != b.texture || a.font != b.font || a.flags != b.flags || a.first != b.first ||
        a.count != b.count) {
      return false;
    }
  }
  return vertices.empty() ||
         memcmp(vertices.data(), anOther.vertices.data(), sizeof(ZW_SpriteVertex) * vertices.size()) == 0;
}

// --- Frame presenter ------------------------------------------------------

bool ZW_FramePresenter::Frame(ZW_FrameDevice* aDevice, bool aSameAsShown, bool anAtRest) {
  if (anAtRest && aSameAsShown && shownValid && !lost) {
    return true;
  }
  if (lost) {
    ZW_DeviceLevel locLevel = aDevice->CooperativeLevel();
    if (locLevel == ZW_DEVICE_LOST || locLevel == ZW_DEVICE_FAILED) {
      return false;
    }
    if (locLevel == ZW_DEVICE_NOT_RESET && !aDevice->Reset()) {
      return false;
    }
    lost = false;
    shownValid = false;
  }
  if (!shownValid || !aSameAsShown) {
    aDevice->Draw();
  }
  ZW_DeviceLevel locPresented = aDevice->Present();
  lost = locPresented == ZW_DEVICE_LOST || locPresented == ZW_DEVICE_NOT_RESET;
  // A failed present draws the next frame whole.
  shownValid = locPresented == ZW_DEVICE_OK;
  return !lost;
}

bool ZW_FramePresenter::PresentShown(ZW_FrameDevice* aDevice) {
  if (lost || !shownValid) {
    return false;
  }
  ZW_DeviceLevel locPresented = aDevice->Present();
  lost = locPresented == ZW_DEVICE_LOST || locPresented == ZW_DEVICE_NOT_RESET;
  shownValid = locPresented == ZW_DEVICE_OK;
  return shownValid;
}

// --- Commands -------------------------------------------------------------

void ZW_CmdRenderCameraPosition() {
  const float locValue[3] = {ZW_ArgFloat(1), ZW_ArgFloat(2), ZW_ArgFloat(3)};
  const float locLo[3] = {-10000.0f, -10000.0f, -10000.0f};
  const float locHi[3] = {10000.0f, 10000.0f, 10000.0f};
  ZW_RangeFloat3(zwRender.camera, locValue, locLo, locHi);
}

void ZW_CmdRenderClearColor() {
  uint32_t r = (uint32_t)(int)(ZW_ArgFloat(1) * 255.0f) & 0xFF;
  uint32_t g = (uint32_t)(int)(ZW_ArgFloat(2) * 255.0f) & 0xFF;
  uint32_t b = (uint32_t)(int)(ZW_ArgFloat(3) * 255.0f) & 0xFF;
  zwRender.clearColor = r << 16 | g << 8 | b;
}

void ZW_CmdTextureList() {
  ZW_Print("--- Texture list ---\n");
  for (ZW_TextureEntry* e = zwRender.textures; e; e = e->next) {
    ZW_Printf("%d: '%s'", e->id, e->name);
  }
}

void ZW_CmdTextureName() {
  if (zwRender.current) {
    snprintf(zwRender.current->name, sizeof(zwRender.current->name), "%s", ZW_Arg(1));
  }
}

void ZW_CmdTextureLoad() {
  char locPath[ZW_WORD_SIZE];
  snprintf(locPath, sizeof(locPath), "%s", ZW_Arg(1));
  ZW_TextureLoad(locPath);
}

void ZW_CmdControlTexture() {
  char locName[ZW_WORD_SIZE];
  snprintf(locName, sizeof(locName), "%s", ZW_Arg(1));
  ZW_TextureEntry* locEntry = ZW_TextureFindName(locName);
  if (locEntry) {
    ZW_ControlsUseTexture(&locEntry->texture);
    ZW_Print("Texture found");
    return;
  }
  locEntry = ZW_TextureLoad(locName);
  if (locEntry) {
    ZW_ControlsUseTexture(&locEntry->texture);
  }
}

void ZW_CmdControlTextureId() {
  int locId = ZW_ArgInt(1);
  ZW_TextureEntry* locEntry = ZW_TextureFindId(locId);
  if (!locEntry) {
    ZW_Printf("ERROR: '%d' - no such texture !", locId);
    return;
  }
  ZW_ControlsUseTexture(&locEntry->texture);
}
