// Texture registry, cell text, camera, clear colour and the font layout rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zw_console.h"
#include "zw_platform_double.h"
#include "zw_render.h"
#include "zw_shell.h"

namespace {

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override { ZW_ResetAll(); }
};

TEST_F(RenderTest, FirstLoadedTextureIsTheSystemTextureThenIdsCount) {
  EXPECT_EQ(nullptr, ZW_TextureLoad("data/missing.png"));
  EXPECT_STREQ("ERROR: Failed to load texture 'data/missing.png'!", zwConsole.scrollBack[0]);
  EXPECT_EQ(nullptr, zwRender.textures);
  EXPECT_EQ(0, zwShell.resourceLoaded);

  ZW_TextureEntry* locSystem = ZW_TextureLoad("data/texture.txt");
  ASSERT_NE(nullptr, locSystem);
  EXPECT_EQ(ZW_QUERY, locSystem->id);
  EXPECT_EQ(&locSystem->texture, zwRender.systemTexture);
  EXPECT_STREQ("Loaded texture 'data/texture.txt'", zwConsole.scrollBack[0]);
  EXPECT_EQ(1, zwShell.resourceLoaded);

  // A failed load in between takes no id.
  EXPECT_TRUE(ZW_Execute("texture.load data/missing.png"));
  EXPECT_TRUE(ZW_Execute("texture.load data/texture.txt"));
  EXPECT_TRUE(ZW_Execute("texture.load data/texture.txt"));
  ASSERT_NE(nullptr, ZW_TextureFindId(1));
  EXPECT_EQ(zwRender.textures, ZW_TextureFindId(2));
  EXPECT_EQ(zwRender.current, zwRender.textures);
  // Same file twice: two entries, the newer one is found by name.
  EXPECT_EQ(ZW_TextureFindId(2), ZW_TextureFindName("DATA/texture.TXT"));
  EXPECT_NE(ZW_TextureFindId(1)->texture, ZW_TextureFindId(2)->texture);

  EXPECT_TRUE(ZW_Execute("texture.name heightMap"));
  EXPECT_STREQ("heightMap", ZW_TextureFindId(2)->name);
  EXPECT_TRUE(ZW_Execute("texture."));
  EXPECT_STREQ("-99999999: 'data/texture.txt'", zwConsole.scrollBack[0]);
  EXPECT_STREQ("1: 'data/texture.txt'", zwConsole.scrollBack[1]);
  EXPECT_STREQ("2: 'heightMap'", zwConsole.scrollBack[2]);
  EXPECT_STREQ("--- Texture list ---\n", zwConsole.scrollBack[3]);
}

TEST_F(RenderTest, ControlTextureFindsOrLoadsAndTextureIdReports) {
  ZW_TextureLoad("data/texture.txt");
  EXPECT_TRUE(ZW_Execute("control.texture data/TEXTURE.TXT"));
  EXPECT_STREQ("Texture found", zwConsole.scrollBack[0]);
  EXPECT_EQ(1, zwDouble.texturesLoaded);
  EXPECT_TRUE(ZW_Execute("control.texture data/other.txt"));
  EXPECT_STREQ("ERROR: Failed to load texture 'data/other.txt'!", zwConsole.scrollBack[0]);
  EXPECT_TRUE(ZW_Execute("control.textureId 7"));
  EXPECT_STREQ("ERROR: '7' - no such texture !", zwConsole.scrollBack[0]);
  EXPECT_TRUE(ZW_Execute("texture.name"));  // renames the current entry
}

TEST_F(RenderTest, CellTextUsesSixteenTexelCellsOfTheSystemTexture) {
  ZW_TextureEntry* locSystem = ZW_TextureLoad("data/texture.txt");
  zwShell.cellSize = 10;
  ZW_DrawCellText("Az~", 1, 45);
  ASSERT_EQ(3u, zwDouble.draws.size());
  const ZW_DrawCall& a = zwDouble.draws[0];
  EXPECT_EQ(locSystem->texture, a.texture);
  EXPECT_EQ(16, a.src[0]);  // 'A' = 0x41: column 1, row 4
  EXPECT_EQ(64, a.src[1]);
  EXPECT_EQ(32, a.src[2]);
  EXPECT_EQ(80, a.src[3]);
  EXPECT_EQ(10, a.dst[0]);
  EXPECT_EQ(450, a.dst[1]);
  EXPECT_EQ(20, a.dst[2]);
  EXPECT_EQ(460, a.dst[3]);
  EXPECT_EQ(30, zwDouble.draws[2].dst[0]);
  EXPECT_EQ(40, zwDouble.draws[2].dst[2]);
  EXPECT_EQ(14 * 16, zwDouble.draws[2].src[0]);  // '~' = 0x7E
  EXPECT_EQ(7 * 16, zwDouble.draws[2].src[1]);
  // Codes above 127 stay inside the 16 by 8 grid.
  zwDouble.draws.clear();
  ZW_DrawCellText("\xff", 0, 0);
  EXPECT_EQ(7 * 16, zwDouble.draws[0].src[1]);
}

TEST_F(RenderTest, CameraAndClearColour) {
  EXPECT_TRUE(ZW_Execute("render.clearColor 1 0 0.5"));
  EXPECT_EQ(0x00FF007Fu, zwRender.clearColor);
  EXPECT_TRUE(ZW_Execute("render.clearColor 2 -1 1.5"));  // unchecked: 510, -255, 382 in 8 bits
  EXPECT_EQ(0x00FE017Eu, zwRender.clearColor);

  EXPECT_TRUE(ZW_Execute("render.cameraPosition 10000.5 -10000 3"));
  EXPECT_FALSE(ZW_Execute("render.cameraPosition 1 2 10002"));
  EXPECT_STREQ("ERROR: Out of range (-10000.0,10000.0 : -10000.0,10000.0 : -10000.0,10000.0) !",
               ZW_Result());
  EXPECT_FALSE(ZW_Execute("render.cameraPosition ?"));
  EXPECT_STREQ("'render.cameraPosition' = 10000.50, -10000.000, 3.000.", ZW_Result());
}

TEST_F(RenderTest, FontTextureSizeFollowsThePointSize) {
  float locScale = 0;
  EXPECT_EQ(256, ZW_FontTextureSize(8, 2048, &locScale));
  EXPECT_EQ(1.0f, locScale);
  EXPECT_EQ(256, ZW_FontTextureSize(20, 2048, &locScale));
  EXPECT_EQ(512, ZW_FontTextureSize(21, 2048, &locScale));
  EXPECT_EQ(1024, ZW_FontTextureSize(41, 2048, &locScale));
  EXPECT_EQ(256, ZW_FontTextureSize(41, 256, &locScale));
  EXPECT_FLOAT_EQ(0.25f, locScale);
}

// Glyphs of a fixed size: each is 10 wide except "W" (20), 12 high.
struct FixedGlyphs : ZW_GlyphSink {
  std::vector<int> xs, ys;
  void Measure(char c, int* w, int* h) override {
    *w = c == 'W' ? 20 : 10;
    *h = 12;
  }
  void Draw(char, int x, int y) override {
    xs.push_back(x);
    ys.push_back(y);
  }
};

TEST_F(RenderTest, FontLayoutPacksRowsWithOneTexelGaps) {
  ZW_FontLayout locLayout = {};
  locLayout.texWidth = locLayout.texHeight = 256;
  locLayout.textScale = 1.0f;
  FixedGlyphs locGlyphs;
  ZW_FontLayoutGlyphs(&locLayout, &locGlyphs);
  ASSERT_EQ(95u, locGlyphs.xs.size());
  // 23 glyphs of 11 texels fit into 256 (23 x 11 = 253); the 24th starts a row.
  EXPECT_EQ(22 * 11, locGlyphs.xs[22]);
  EXPECT_EQ(0, locGlyphs.xs[23]);
  EXPECT_EQ(13, locGlyphs.ys[23]);
  const float* locSpace = locLayout.coords[0];
  EXPECT_FLOAT_EQ(0.0f, locSpace[0]);
  EXPECT_FLOAT_EQ(10.0f / 256, locSpace[2]);
  EXPECT_FLOAT_EQ(12.0f / 256, locSpace[3]);
  const float* locW = locLayout.coords['W' - 32];
  EXPECT_FLOAT_EQ(20.0f / 256, locW[2] - locW[0]);
}

struct Batches : ZW_VertexSink {
  std::vector<std::vector<ZW_FontVertex>> batches;
  void Flush(const ZW_FontVertex* v, int n) override { batches.emplace_back(v, v + n); }
};

TEST_F(RenderTest, FontTextBuildsQuadsInBatchesOfAtMost300Vertices) {
  ZW_FontLayout locLayout = {};
  locLayout.texWidth = locLayout.texHeight = 256;
  locLayout.textScale = 0.5f;
  FixedGlyphs locGlyphs;
  ZW_FontLayoutGlyphs(&locLayout, &locGlyphs);

  Batches locOut;
  ZW_FontBuildText(locLayout, 100, 50, 0xFF112233u, "A b\n\x7f\x80" "c", &locOut);
  ASSERT_EQ(1u, locOut.batches.size());
  const std::vector<ZW_FontVertex>& v = locOut.batches[0];
  ASSERT_EQ(18u, v.size());  // A, b, c; no quad for the space, 127 or 128
  // The scale of 0.5 doubles the size on screen: 20 by 24 per glyph.
  EXPECT_FLOAT_EQ(99.5f, v[1].x);
  EXPECT_FLOAT_EQ(49.5f, v[1].y);
  EXPECT_FLOAT_EQ(119.5f, v[2].x);
  EXPECT_FLOAT_EQ(73.5f, v[2].y);
  EXPECT_FLOAT_EQ(0.9f, v[0].z);
  EXPECT_FLOAT_EQ(1.0f, v[0].rhw);
  EXPECT_EQ(0xFF112233u, v[0].colour);
  EXPECT_FLOAT_EQ(139.5f, v[6].x);  // "b" after A and the space
  // After the line feed: back to x 100, down by the first cell's 12 texels.
  EXPECT_FLOAT_EQ(99.5f, v[13].x);
  EXPECT_FLOAT_EQ(61.5f, v[13].y);

  std::string locLong(120, 'x');
  locOut.batches.clear();
  ZW_FontBuildText(locLayout, 0, 0, 0, locLong.c_str(), &locOut);
  ASSERT_EQ(3u, locOut.batches.size());
  EXPECT_EQ(300u, locOut.batches[0].size());
  EXPECT_EQ(300u, locOut.batches[1].size());
  EXPECT_EQ(120u, locOut.batches[2].size());
}

// Records every run of a sprite batch.
struct Runs : ZW_SpriteRunSink {
  struct Run {
    ZW_Texture texture;
    std::vector<ZW_SpriteVertex> vertices;
  };
  std::vector<Run> runs;
  void DrawRun(ZW_Texture aTexture, const ZW_SpriteVertex* aVertices, int aCount) override {
    runs.push_back({aTexture, std::vector<ZW_SpriteVertex>(aVertices, aVertices + aCount)});
  }
};

// The corners of rectangle n: x holds n, y the corner.
void Quad(int n, ZW_SpriteVertex aCorners[4]) {
  for (int i = 0; i < 4; i++) {
    aCorners[i] = {(float)n, (float)i, 0.5f, 1.0f, 0xFFFFFFFFu, 0, 0};
  }
}

TEST(SpriteBatchTest, OneDrawPerTextureRunInTheOrderOfDrawing) {
  ZW_Texture a = reinterpret_cast<ZW_Texture>(0x10);
  ZW_Texture b = reinterpret_cast<ZW_Texture>(0x20);
  Runs locOut;
  ZW_SpriteBatch locBatch;
  locBatch.sink = &locOut;
  ZW_SpriteVertex q[4];
  // A frame: the map image, 1000 markers of one texture, a button of the
  // first texture again.
  Quad(0, q);
  locBatch.Add(b, q);
  for (int n = 1; n <= 1000; n++) {
    Quad(n, q);
    locBatch.Add(a, q);
  }
  ASSERT_EQ(1u, locOut.runs.size());  // the texture change drew the map image
  EXPECT_EQ(b, locOut.runs[0].texture);
  EXPECT_EQ(6u, locOut.runs[0].vertices.size());
  Quad(1001, q);
  locBatch.Add(b, q);
  ASSERT_EQ(2u, locOut.runs.size());
  const Runs::Run& locMarkers = locOut.runs[1];
  EXPECT_EQ(a, locMarkers.texture);
  ASSERT_EQ(6000u, locMarkers.vertices.size());
  // Rectangles in order, each the strip's two triangles (0 1 2) and (2 1 3).
  const float kCorner[6] = {0, 1, 2, 2, 1, 3};
  for (size_t i = 0; i < locMarkers.vertices.size(); i++) {
    ASSERT_FLOAT_EQ((float)(1 + i / 6), locMarkers.vertices[i].x) << i;
    ASSERT_FLOAT_EQ(kCorner[i % 6], locMarkers.vertices[i].y) << i;
  }
  // The flush before a text draws the waiting run; a second flush draws nothing.
  locBatch.Flush();
  ASSERT_EQ(3u, locOut.runs.size());
  EXPECT_EQ(b, locOut.runs[2].texture);
  EXPECT_FLOAT_EQ(1001.0f, locOut.runs[2].vertices[0].x);
  locBatch.Flush();
  EXPECT_EQ(3u, locOut.runs.size());
  // After a flush the same texture starts a new run.
  Quad(1002, q);
  locBatch.Add(b, q);
  locBatch.Flush();
  ASSERT_EQ(4u, locOut.runs.size());
  EXPECT_EQ(6u, locOut.runs[3].vertices.size());
}

TEST(SpriteBatchTest, AFullRunIsDrawnAndTheNextGoesOn) {
  ZW_Texture a = reinterpret_cast<ZW_Texture>(0x10);
  Runs locOut;
  ZW_SpriteBatch locBatch;
  locBatch.sink = &locOut;
  ZW_SpriteVertex q[4];
  for (int n = 0; n <= ZW_SPRITE_RUN_QUADS; n++) {
    Quad(n, q);
    locBatch.Add(a, q);
  }
  ASSERT_EQ(1u, locOut.runs.size());
  EXPECT_EQ((size_t)ZW_SPRITE_RUN_QUADS * 6, locOut.runs[0].vertices.size());
  locBatch.Flush();
  ASSERT_EQ(2u, locOut.runs.size());
  ASSERT_EQ(6u, locOut.runs[1].vertices.size());
  EXPECT_FLOAT_EQ((float)ZW_SPRITE_RUN_QUADS, locOut.runs[1].vertices[0].x);
}

// A frame of a background run, two texts of one font, a marker run and a
// label text; the same calls give the same frame.
void RecordFrame(ZW_FrameRecord* aFrame, float aMarkerX, uint32_t aClear) {
  ZW_Texture a = reinterpret_cast<ZW_Texture>(0x10);
  ZW_Texture b = reinterpret_cast<ZW_Texture>(0x20);
  ZW_SpriteVertex q[6];
  ZW_FontVertex t[6];
  for (int i = 0; i < 6; i++) {
    q[i] = {(float)i, 0.0f, 0.5f, 1.0f, 0xFFFFFFFFu, 0, 0};
    t[i] = {(float)i, 1.0f, 0.9f, 1.0f, 0xFF000000u, 0, 0};
  }
  aFrame->Reset(aClear);
  aFrame->AddSprites(b, q, 6);
  aFrame->AddText(1, 0, t, 6);
  aFrame->AddText(1, 0, t, 3);
  q[0].x = aMarkerX;
  aFrame->AddSprites(a, q, 6);
  aFrame->AddText(1, 4, t, 6);
}

TEST(FrameRecordTest, AdjacentTextsOfOneFontAndFlagsAreOneDrawInTheOrderOfDrawing) {
  ZW_FrameRecord f;
  RecordFrame(&f, 100.0f, 0x123456);
  EXPECT_EQ(0x123456u, f.clearColour);
  ASSERT_EQ(4u, f.draws.size());
  EXPECT_EQ(reinterpret_cast<ZW_Texture>(0x20), f.draws[0].texture);
  EXPECT_EQ(-1, f.draws[0].font);
  EXPECT_EQ(nullptr, f.draws[1].texture);
  EXPECT_EQ(1, f.draws[1].font);
  EXPECT_EQ(6, f.draws[1].first);
  EXPECT_EQ(9, f.draws[1].count);
  EXPECT_EQ(15, f.draws[2].first);
  EXPECT_FLOAT_EQ(100.0f, f.vertices[15].x);
  EXPECT_EQ(4u, f.draws[3].flags);  // other flags: a draw of its own
  EXPECT_EQ(27u, f.vertices.size());
  // Nothing drawn adds no draw.
  f.AddText(1, 4, nullptr, 0);
  f.AddSprites(nullptr, nullptr, 0);
  EXPECT_EQ(4u, f.draws.size());
}

TEST(FrameRecordTest, AFrameIsTheSameOnlyWhenEveryDrawAndVertexIs) {
  ZW_FrameRecord shown, next;
  RecordFrame(&shown, 100.0f, 0);
  RecordFrame(&next, 100.0f, 0);
  EXPECT_TRUE(next.SameAs(shown));
  RecordFrame(&next, 101.0f, 0);  // a marker moved
  EXPECT_FALSE(next.SameAs(shown));
  RecordFrame(&next, 100.0f, 1);  // another clear colour
  EXPECT_FALSE(next.SameAs(shown));
  // The same vertices in other draws, or of another texture.
  RecordFrame(&next, 100.0f, 0);
  next.draws[1].count = 6;
  next.draws[2].first = 12;
  EXPECT_FALSE(next.SameAs(shown));
  RecordFrame(&next, 100.0f, 0);
  next.draws[2].texture = reinterpret_cast<ZW_Texture>(0x30);
  EXPECT_FALSE(next.SameAs(shown));
  // One more draw at the end.
  RecordFrame(&next, 100.0f, 0);
  std::vector<ZW_SpriteVertex> locCopy(next.vertices.begin(), next.vertices.begin() + 6);
  next.AddSprites(reinterpret_cast<ZW_Texture>(0x10), locCopy.data(), 6);
  EXPECT_FALSE(next.SameAs(shown));
  // Two empty frames are the same.
  shown.Reset(0);
  next.Reset(0);
  EXPECT_TRUE(next.SameAs(shown));
}

// A device that answers as told and logs what the frame asked of it.
struct ScriptedDevice : ZW_FrameDevice {
  ZW_DeviceLevel level = ZW_DEVICE_OK;
  ZW_DeviceLevel presented = ZW_DEVICE_OK;
  bool resets = true;
  std::string log;
  ZW_DeviceLevel CooperativeLevel() override {
    log += "test ";
    return level;
  }
  bool Reset() override {
    log += resets ? "reset " : "reset-failed ";
    return resets;
  }
  void Draw() override { log += "draw "; }
  ZW_DeviceLevel Present() override {
    log += "present ";
    return presented;
  }
  std::string Take() {
    std::string locLog = log;
    log.clear();
    return locLog;
  }
};

TEST(FramePresenterTest, AFrameEqualToTheOneShownIsPresentedWithoutDrawing) {
  ScriptedDevice d;
  ZW_FramePresenter p;
  EXPECT_TRUE(p.Frame(&d, true));  // nothing shown yet: drawn whole
  EXPECT_EQ("draw present ", d.Take());
  EXPECT_TRUE(p.Frame(&d, true));
  EXPECT_EQ("present ", d.Take());
  EXPECT_TRUE(p.Frame(&d, false));
  EXPECT_EQ("draw present ", d.Take());
  // A present that fails otherwise draws the next frame whole.
  d.presented = ZW_DEVICE_FAILED;
  EXPECT_TRUE(p.Frame(&d, true));
  d.presented = ZW_DEVICE_OK;
  d.Take();
  EXPECT_TRUE(p.Frame(&d, true));
  EXPECT_EQ("draw present ", d.Take());
}

TEST(FramePresenterTest, ALostDeviceWaitsIsResetAndDrawsTheSameScreenWhole) {
  ScriptedDevice d;
  ZW_FramePresenter p;
  p.Frame(&d, false);
  d.Take();
  // Lost at a present: nothing is drawn or presented until it can be reset.
  d.presented = ZW_DEVICE_LOST;
  EXPECT_FALSE(p.Frame(&d, true));
  EXPECT_EQ("present ", d.Take());
  d.level = ZW_DEVICE_LOST;
  EXPECT_FALSE(p.Frame(&d, true));
  EXPECT_FALSE(p.Frame(&d, false));
  EXPECT_EQ("test test ", d.Take());
  EXPECT_FALSE(p.PresentShown(&d));  // a window uncovered meanwhile
  EXPECT_EQ("", d.Take());
  // Resettable, but the reset fails: asked again at the next frame.
  d.level = ZW_DEVICE_NOT_RESET;
  d.resets = false;
  EXPECT_FALSE(p.Frame(&d, true));
  EXPECT_EQ("test reset-failed ", d.Take());
  // Reset: the frame is drawn whole although it equals the one shown.
  d.resets = true;
  d.presented = ZW_DEVICE_OK;
  EXPECT_TRUE(p.Frame(&d, true));
  EXPECT_EQ("test reset draw present ", d.Take());
  d.level = ZW_DEVICE_OK;
  EXPECT_TRUE(p.Frame(&d, true));
  EXPECT_EQ("present ", d.Take());
  // Back without a reset (the device answers OK at once): drawn whole too.
  d.presented = ZW_DEVICE_NOT_RESET;
  EXPECT_FALSE(p.Frame(&d, true));
  d.presented = ZW_DEVICE_OK;
  d.Take();
  EXPECT_TRUE(p.Frame(&d, true));
  EXPECT_EQ("test draw present ", d.Take());
}

TEST(FramePresenterTest, AFrameAtRestIsNotPresentedAgain) {
  ScriptedDevice d;
  ZW_FramePresenter p;
  EXPECT_TRUE(p.Frame(&d, true, true));  // nothing shown yet: drawn whole
  EXPECT_EQ("draw present ", d.Take());
  EXPECT_TRUE(p.Frame(&d, true, true));
  EXPECT_TRUE(p.Frame(&d, true, true));
  EXPECT_EQ("", d.Take());
  EXPECT_TRUE(p.Frame(&d, false, true));  // a change is drawn, at rest or not
  EXPECT_EQ("draw present ", d.Take());
  EXPECT_TRUE(p.Frame(&d, true, false));  // moving: presented again as before
  EXPECT_EQ("present ", d.Take());
  // After a failed present the frame shown is not in the back buffer.
  d.presented = ZW_DEVICE_FAILED;
  p.Frame(&d, false, false);
  d.presented = ZW_DEVICE_OK;
  d.Take();
  EXPECT_TRUE(p.Frame(&d, true, true));
  EXPECT_EQ("draw present ", d.Take());
  // A lost device is asked at every frame, at rest too.
  d.presented = ZW_DEVICE_LOST;
  p.Frame(&d, false, false);
  d.presented = ZW_DEVICE_OK;
  d.level = ZW_DEVICE_NOT_RESET;
  d.Take();
  EXPECT_TRUE(p.Frame(&d, true, true));
  EXPECT_EQ("test reset draw present ", d.Take());
  EXPECT_TRUE(p.PresentShown(&d));  // a window uncovered at rest
  EXPECT_EQ("present ", d.Take());
}

TEST(FramePresenterTest, AnUncoveredWindowGetsTheFrameShownAgain) {
  ScriptedDevice d;
  ZW_FramePresenter p;
  EXPECT_FALSE(p.PresentShown(&d));  // no frame yet
  p.Frame(&d, false);
  d.Take();
  EXPECT_TRUE(p.PresentShown(&d));
  EXPECT_EQ("present ", d.Take());
  d.presented = ZW_DEVICE_LOST;
  EXPECT_FALSE(p.PresentShown(&d));
  d.presented = ZW_DEVICE_OK;
  d.level = ZW_DEVICE_NOT_RESET;
  d.Take();
  EXPECT_TRUE(p.Frame(&d, true));
  EXPECT_EQ("test reset draw present ", d.Take());
}

}  // namespace
