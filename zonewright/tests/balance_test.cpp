// The balance of a mission's markers: the figures of each team, the VLs that
// a team reaches first or that are contested, and the warning's threshold.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "zw_balance.h"
#include "zw_controls.h"

namespace {

ZW_ExportMarker Lz(float x, float y, float z) {
  ZW_ExportMarker m = {};
  m.kind = ZW_ZONE_LANDING;
  m.world[0] = x;
  m.world[1] = y;
  m.world[2] = z;
  return m;
}

ZW_ExportMarker Vl(float x, float y, float z) {
  ZW_ExportMarker m = Lz(x, y, z);
  m.kind = ZW_ZONE_VICTORY;
  return m;
}

ZW_Balance Compute(const std::vector<ZW_ExportMarker>& aMarkers) {
  ZW_Balance b;
  ZW_BalanceCompute(aMarkers.data(), (int)aMarkers.size(), &b);
  return b;
}

std::vector<std::string> Warnings(const ZW_Balance& b) {
  std::vector<std::string> locLines;
  ZW_BalanceWarnings(b, &locLines);
  return locLines;
}

}  // namespace

// Team 1 lands at (1000, 1000), team 2 at (2000, 1000). VL A (1000, 1600) is
// 600 from team 1 and sqrt(1000^2 + 600^2) = 1166.19 from team 2, VL B the
// other way round, VL C (1500, 2000) sqrt(500^2 + 1000^2) = 1118.03 from both.
TEST(BalanceTest, HandComputedLayoutOfTwoTeamsAndThreeVls) {
  ZW_Balance b = Compute({Vl(1500, 50, 2000), Lz(1000, 10, 1000), Vl(1000, 20, 1600), Lz(2000, 40, 1000),
                          Vl(2000, 30, 1600)});
  EXPECT_EQ(2, b.teams);
  EXPECT_EQ(3, b.vls);
  const double kFar = sqrt(1000.0 * 1000 + 600 * 600), kMiddle = sqrt(500.0 * 500 + 1000 * 1000);
  for (int t = 0; t < 2; t++) {
    SCOPED_TRACE(t + 1);
    EXPECT_EQ(1, b.team[t].lzs);
    EXPECT_NEAR(600, b.team[t].nearest, 1e-3);
    EXPECT_NEAR((600 + kFar + kMiddle) / 3, b.team[t].mean, 1e-3);
    EXPECT_EQ(1, b.team[t].first);
  }
  EXPECT_EQ(0, b.team[2].lzs);
  EXPECT_EQ(1, b.contested);
  // Heights of the VLs 50, 20, 30 less 10 for team 1 and 40 for team 2.
  EXPECT_NEAR((40 + 10 + 20) / 3.0, b.team[0].height, 1e-6);
  EXPECT_NEAR((10 - 20 - 10) / 3.0, b.team[1].height, 1e-6);
  EXPECT_NEAR(0, b.nearestPercent, 1e-6);
  EXPECT_NEAR(0, b.meanPercent, 1e-6);
  EXPECT_TRUE(Warnings(b).empty());

  std::vector<std::string> locReport;
  ZW_BalanceReport(b, &locReport);
  EXPECT_EQ((std::vector<std::string>{
                "Balance of 2 teams and 3 VLs (world x and z):",
                "Team 1 (1 LZ): nearest VL 600, mean 961, first at 1 VL, height +23.3",
                "Team 2 (1 LZ): nearest VL 600, mean 961, first at 1 VL, height -6.7",
                "Contested VLs: 1",
                "Largest difference: 0.0% (nearest VL 0.0%, mean 0.0%)",
            }),
            locReport);
}

TEST(BalanceTest, TeamIsAsNearAsItsNearestLzAndVlsWithinTwoPercentAreContested) {
  // LZ 5 starts team 1 again: team 1 reaches the VL at 1000 from it.
  std::vector<ZW_ExportMarker> locMarkers = {Lz(0, 0, 3000), Lz(2000, 0, 0), Lz(0, 0, 3000), Lz(0, 0, 3000),
                                             Lz(1000, 0, 0), Vl(1000, 0, 1000)};
  ZW_Balance b = Compute(locMarkers);
  EXPECT_EQ(4, b.teams);
  EXPECT_EQ(2, b.team[0].lzs);
  EXPECT_NEAR(1000, b.team[0].nearest, 1e-3);
  EXPECT_NEAR(sqrt(2.0) * 1000, b.team[1].nearest, 1e-3);
  EXPECT_EQ(1, b.team[0].first);
  EXPECT_EQ(0, b.contested);
  EXPECT_EQ(1, b.nearestTeams[0]);
  EXPECT_EQ(3, b.nearestTeams[1]);  // 2236 from team 3, 4's as far: the first found

  // Team 2 at 1019 (1.9% farther) contests it; at 1021 (2.1%) it does not.
  locMarkers[1] = Lz(1000, 0, 1000 + 1019);
  b = Compute(locMarkers);
  EXPECT_EQ(1, b.contested);
  EXPECT_EQ(0, b.team[0].first);
  EXPECT_EQ(0, b.team[1].first);
  locMarkers[1] = Lz(1000, 0, 1000 + 1021);
  b = Compute(locMarkers);
  EXPECT_EQ(0, b.contested);
  EXPECT_EQ(1, b.team[0].first);
}

TEST(BalanceTest, WarningOnlyForADifferenceOverFifteenPercent) {
  // Team 1 is 1000 from the VL; team 2 851 (14.9% nearer) or 849 (15.1%).
  for (float locTeam2 : {851.0f, 849.0f}) {
    ZW_Balance b = Compute({Lz(500, 0, 1000), Lz(1500, 0, 1000 + locTeam2), Vl(1500, 0, 1000)});
    std::vector<std::string> locLines = Warnings(b);
    if (locTeam2 > 850) {
      EXPECT_NEAR(14.9, b.nearestPercent, 1e-9);
      EXPECT_TRUE(locLines.empty());
      continue;
    }
    EXPECT_NEAR(15.1, b.meanPercent, 1e-9);
    EXPECT_EQ((std::vector<std::string>{
                  "WARNING: Teams 2 and 1 differ by 15.1% in the distance to their nearest VL.",
                  "WARNING: Teams 2 and 1 differ by 15.1% in the mean distance to the VLs.",
              }),
              locLines);
  }
  // The mean alone: each team has a VL at 1000 and one at 1414; the third is
  // 1000 from team 1 and 2000 from team 2: means 1138 and 1471, 22.7% apart.
  ZW_Balance b = Compute({Lz(1000, 0, 1000), Lz(2000, 0, 1000), Vl(1000, 0, 2000), Vl(2000, 0, 2000),
                          Vl(0, 0, 1000)});
  EXPECT_NEAR(0, b.nearestPercent, 1e-9);
  EXPECT_EQ((std::vector<std::string>{"WARNING: Teams 1 and 2 differ by 22.7% in the mean distance to the VLs."}),
            Warnings(b));
}
