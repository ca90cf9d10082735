// Sample terrain: the description's errors, and hills, valleys and water in
// the height field and the overview.
#include <gtest/gtest.h>

#include "map_terrain.h"

namespace {

uint8_t HeightAt(const std::vector<uint8_t>& aHeights, int x, int y) {
  return aHeights[(size_t)y * MAP_HEIGHT_SIZE + x];
}

TEST(MapDescription, ErrorsNameTheirLine) {
  MapDescription locMap;
  std::string locError;
  EXPECT_FALSE(MAP_Parse("name a\nhill 1 2 3\n", &locMap, &locError));
  EXPECT_EQ("line 2: cannot read \"hill 1 2 3\"", locError);
  const char* kBad[] = {"hill 1 2 0 5",       // a hill needs a radius
                        "ground high",        // not a number
                        "name a b",           // one word only
                        "mountain 1 2 3 4",   // unknown line
                        "valley 0 0 1 1 5 2 9"};
  for (const char* b : kBad) {
    MapDescription locOther;
    EXPECT_FALSE(MAP_Parse(b, &locOther, &locError)) << b;
  }
  MapDescription locIncomplete;
  EXPECT_FALSE(MAP_Parse("name a  # no landscape\nenvironment Day\n", &locIncomplete, &locError));
}

TEST(MapDescription, HillsRiseAndValleysSinkFromTheGround) {
  MapDescription locMap;
  std::string locError;
  ASSERT_TRUE(MAP_Parse("name a\nlandscape L\nenvironment E\nground 100\nwater 70\n"
                        "hill 200 200 100 80   # a hill\nvalley 0 800 1023 800 100 50\n",
                        &locMap, &locError))
      << locError;
  std::vector<uint8_t> locHeights = MAP_HeightField(locMap);
  ASSERT_EQ((size_t)MAP_HEIGHT_SIZE * MAP_HEIGHT_SIZE, locHeights.size());
  EXPECT_EQ(180, HeightAt(locHeights, 200, 200));  // top of the hill
  EXPECT_EQ(140, HeightAt(locHeights, 250, 200));  // half way down
  EXPECT_EQ(100, HeightAt(locHeights, 500, 500));  // flat ground
  EXPECT_EQ(50, HeightAt(locHeights, 512, 800));   // valley floor

  // The overview shows the valley floor as water and the hill lit from the upper left.
  std::vector<uint8_t> locOverview = MAP_Overview(locMap, locHeights);
  ASSERT_EQ((size_t)MAP_OVERVIEW_SIZE * MAP_OVERVIEW_SIZE * 3, locOverview.size());
  const uint8_t* locWater = &locOverview[((size_t)400 * MAP_OVERVIEW_SIZE + 256) * 3];
  EXPECT_GT(locWater[2], locWater[0]);
  EXPECT_GT(locWater[2], locWater[1]);
  const uint8_t* locLit = &locOverview[((size_t)80 * MAP_OVERVIEW_SIZE + 80) * 3];     // facing the light
  const uint8_t* locShaded = &locOverview[((size_t)120 * MAP_OVERVIEW_SIZE + 120) * 3];  // facing away
  EXPECT_GT(locLit[1], locShaded[1]);
}

}  // namespace
