// Renderer state, texture registry, cell text and the font layout rules.
#pragma once

#include <cstdint>
#include <vector>

#include "zw_platform.h"

enum { ZW_TEXTURE_NAME_SIZE = 64 };

struct ZW_TextureEntry {
  int id;
  char name[ZW_TEXTURE_NAME_SIZE];
  ZW_Texture texture;
  ZW_TextureEntry* next;
};

struct ZW_Renderer {
  uint32_t clearColor;   // 0x00RRGGBB
  float camera[3];
  float cameraTarget[3];
  float up[3];
  ZW_TextureEntry* textures;  // newest first
  ZW_TextureEntry* current;
  int nextTextureId;
  ZW_Texture* systemTexture;  // slot of the first loaded entry
  ZW_Texture cellFont;        // the statistics text's own font texture
};

extern ZW_Renderer zwRender;

void ZW_RenderReset();  // frees the registry and returns to start-up values

// Texture registry.
ZW_TextureEntry* ZW_TextureLoad(const char* aPath);
ZW_TextureEntry* ZW_TextureFindName(const char* aName);
ZW_TextureEntry* ZW_TextureFindId(int anId);
void ZW_TextureRemove(ZW_TextureEntry* anEntry);

// Makes the cell font texture of the statistics text (start-up). The resource
// image's control images cover parts of its glyph cells, so the text has a
// font texture of its own; without one it falls back to the system texture.
void ZW_CreateCellFont();
// Statistics text in the 16 by 8 cell font.
void ZW_DrawCellText(const char* aText, int aColumn, int aRow);

// Font textures: glyphs of codes 32 to 126 packed in rows into a square texture.
enum { ZW_FONT_FIRST_CHAR = 32, ZW_FONT_LAST_CHAR = 126, ZW_FONT_CHARS = 95,
       ZW_FONT_VERTICES = 300, ZW_FONT_FLUSH_AT = 294 };

struct ZW_FontLayout {
  int texWidth;
  int texHeight;
  float textScale;
  float coords[ZW_FONT_CHARS][4];  // left, top, right, bottom as fractions
};

struct ZW_FontVertex {
  float x, y, z, rhw;
  uint32_t colour;
  float u, v;
};

// Texture side for a point size: > 40 gives 1024, > 20 gives 512, else 256;
// limited to the device's largest width, which sets the text scale.
int ZW_FontTextureSize(int aPoints, int aMaxTextureWidth, float* aTextScale);

// Lays out the glyphs row by row: measure gives a glyph's size, draw puts it at (x, y).
struct ZW_GlyphSink {
  virtual void Measure(char aChar, int* aWidth, int* aHeight) = 0;
  virtual void Draw(char aChar, int aX, int aY) = 0;
  virtual ~ZW_GlyphSink() {}
};
void ZW_FontLayoutGlyphs(ZW_FontLayout* aLayout, ZW_GlyphSink* aSink);

// Builds the triangles of a text; flush receives every batch of vertices.
struct ZW_VertexSink {
  virtual void Flush(const ZW_FontVertex* aVertices, int aCount) = 0;
  virtual ~ZW_VertexSink() {}
};
void ZW_FontBuildText(const ZW_FontLayout& aLayout, float anX, float aY, uint32_t aColour,
                      const char* aText, ZW_VertexSink* aSink);

// Sprite rectangles gathered into runs of one texture. A run is drawn when
// the texture changes, when it holds ZW_SPRITE_RUN_QUADS rectangles and when
// the batch is flushed, so the rectangles keep their order of drawing.
enum { ZW_SPRITE_RUN_QUADS = 2048 };

struct ZW_SpriteVertex {
  float x, y, z, rhw;
  uint32_t colour;
  float u, v;
};

// Receives each run as a triangle list, two triangles a rectangle.
struct ZW_SpriteRunSink {
  virtual void DrawRun(ZW_Texture aTexture, const ZW_SpriteVertex* aVertices, int aCount) = 0;
  virtual ~ZW_SpriteRunSink() {}
};

struct ZW_SpriteBatch {
  ZW_SpriteRunSink* sink = nullptr;
  ZW_Texture texture = nullptr;  // of the run being gathered
  std::vector<ZW_SpriteVertex> vertices;
  // Adds a rectangle given as a triangle strip (top-left, top-right,
  // bottom-left, bottom-right); its two triangles are those of the strip.
  void Add(ZW_Texture aTexture, const ZW_SpriteVertex aCorners[4]);
  void Flush();
};

// One frame's drawing in its order: runs of sprite rectangles (a texture)
// and texts (a font with its flags). A frame that equals the one shown needs
// no drawing, as the back buffer still holds its picture. Adjacent texts of
// one font and flags are one draw.
struct ZW_FrameDraw {
  ZW_Texture texture;  // sprites; null for a text
  int font;            // text; -1 for sprites
  uint32_t flags;      // text
  int first;           // of the frame's vertices
  int count;
};

struct ZW_FrameRecord {
  uint32_t clearColour = 0;
  std::vector<ZW_FrameDraw> draws;
  std::vector<ZW_SpriteVertex> vertices;  // a font vertex has the same layout

  void Reset(uint32_t aClearColour);
  void AddSprites(ZW_Texture aTexture, const ZW_SpriteVertex* aVertices, int aCount);
  void AddText(int aFont, uint32_t aFlags, const ZW_FontVertex* aVertices, int aCount);
  bool SameAs(const ZW_FrameRecord& anOther) const;
};

// The device's part of a frame: draw, present, and the way back from a lost
// device (a lock screen, a secure desktop, a display change). While the device
// is lost nothing is drawn or presented; each frame asks the device whether it
// can be reset, and once it is reset (what the reset releases made again) the
// frame is drawn whole and the screen goes on as it was.
enum ZW_DeviceLevel { ZW_DEVICE_OK, ZW_DEVICE_LOST, ZW_DEVICE_NOT_RESET, ZW_DEVICE_FAILED };

struct ZW_FrameDevice {
  virtual ZW_DeviceLevel CooperativeLevel() = 0;
  // Releases what a reset releases, resets, and makes it again.
  virtual bool Reset() = 0;
  virtual void Draw() = 0;
  virtual ZW_DeviceLevel Present() = 0;
  virtual ~ZW_FrameDevice() {}
};

struct ZW_FramePresenter {
  bool lost = false;
  bool shownValid = false;  // the back buffer holds the frame shown
  // One frame; aSameAsShown: the frame equals the one shown. False when the
  // device is lost and nothing was presented. A frame of a screen at rest
  // (anAtRest) that equals the one shown is not presented again.
  bool Frame(ZW_FrameDevice* aDevice, bool aSameAsShown, bool anAtRest = false);
  // The frame shown presented again (a window uncovered); false when there
  // is none to present.
  bool PresentShown(ZW_FrameDevice* aDevice);
};

// Commands.
void ZW_CmdRenderCameraPosition();
void ZW_CmdRenderClearColor();
void ZW_CmdTextureList();
void ZW_CmdTextureName();
void ZW_CmdTextureLoad();
void ZW_CmdControlTexture();
void ZW_CmdControlTextureId();
