// The balance report of a mission's markers.
#include "zw_balance.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "zw_controls.h"

namespace {

double Distance(const ZW_ExportMarker& a, const ZW_ExportMarker& b) {
  double dx = (double)a.world[0] - b.world[0];
  double dz = (double)a.world[2] - b.world[2];
  return sqrt(dx * dx + dz * dz);
}

// The largest difference of one figure between the teams that land.
void LargestDifference(const ZW_Balance& b, double ZW_BalanceTeam::*aFigure, double* aPercent,
                       int aTeams[2]) {
  int locLow = 0, locHigh = 0;
  for (int t = 1; t <= ZW_BALANCE_TEAMS; t++) {
    if (!b.team[t - 1].lzs) {
      continue;
    }
    if (!locLow || b.team[t - 1].*aFigure < b.team[locLow - 1].*aFigure) {
      locLow = t;
    }
    if (!locHigh || b.team[t - 1].*aFigure > b.team[locHigh - 1].*aFigure) {
      locHigh = t;
    }
  }
  *aPercent = 0;
  aTeams[0] = aTeams[1] = 0;
  if (b.teams >= 2 && b.vls > 0) {
    *aPercent = ZW_BalancePercent(b.team[locLow - 1].*aFigure, b.team[locHigh - 1].*aFigure);
    aTeams[0] = locLow;
    aTeams[1] = locHigh;
  }
}

}  // namespace

double ZW_BalancePercent(double a, double b) {
  double locLarger = a > b ? a : b;
  return locLarger > 0 ? fabs(a - b) / locLarger * 100.0 : 0.0;
}

void ZW_BalanceCompute(const ZW_ExportMarker* aMarkers, int aCount, ZW_Balance* aBalance) {
  ZW_Balance& b = *aBalance;
  memset(&b, 0, sizeof(b));
  std::vector<int> locTeamOf(aCount, 0);  // 0 for a VL
  int locLz = 0;
  for (int i = 0; i < aCount; i++) {
    if (aMarkers[i].kind == ZW_ZONE_LANDING) {
      locTeamOf[i] = ZW_LzTeam(++locLz);
      b.team[locTeamOf[i] - 1].lzs++;
    } else if (aMarkers[i].kind == ZW_ZONE_VICTORY) {
      b.vls++;
    }
  }
  for (ZW_BalanceTeam& t : b.team) {
    b.teams += t.lzs ? 1 : 0;
    t.nearest = b.vls > 0 ? HUGE_VAL : 0;  // every VL is nearer
  }
  for (int v = 0; v < aCount; v++) {
    if (aMarkers[v].kind != ZW_ZONE_VICTORY) {
      continue;
    }
    // Each team's nearest LZ to this VL.
    double locDistance[ZW_BALANCE_TEAMS];
    int locNearestLz[ZW_BALANCE_TEAMS];
    for (int t = 0; t < ZW_BALANCE_TEAMS; t++) {
      locNearestLz[t] = -1;
    }
    for (int i = 0; i < aCount; i++) {
      int t = locTeamOf[i] - 1;
      if (t < 0) {
        continue;
      }
      double d = Distance(aMarkers[i], aMarkers[v]);
      if (locNearestLz[t] < 0 || d < locDistance[t]) {
        locDistance[t] = d;
        locNearestLz[t] = i;
      }
    }
    int locFirst = -1, locSecond = -1;
    for (int t = 0; t < ZW_BALANCE_TEAMS; t++) {
      if (locNearestLz[t] < 0) {
        continue;
      }
      ZW_BalanceTeam& s = b.team[t];
      if (locDistance[t] < s.nearest) {
        s.nearest = locDistance[t];
      }
      s.mean += locDistance[t] / b.vls;
      s.height += ((double)aMarkers[v].world[1] - aMarkers[locNearestLz[t]].world[1]) / b.vls;
      if (locFirst < 0 || locDistance[t] < locDistance[locFirst]) {
        locSecond = locFirst;
        locFirst = t;
      } else if (locSecond < 0 || locDistance[t] < locDistance[locSecond]) {
        locSecond = t;
      }
    }
    if (locFirst < 0) {
      continue;
    }
    if (locSecond >= 0 &&
        ZW_BalancePercent(locDistance[locFirst], locDistance[locSecond]) <= ZW_BALANCE_CONTESTED_PERCENT) {
      b.contested++;
    } else {
      b.team[locFirst].first++;
    }
  }
  LargestDifference(b, &ZW_BalanceTeam::nearest, &b.nearestPercent, b.nearestTeams);
  LargestDifference(b, &ZW_BalanceTeam::mean, &b.meanPercent, b.meanTeams);
}

void ZW_BalanceReport(const ZW_Balance& b, std::vector<std::string>* aLines) {
  char locLine[160];
  if (b.teams == 0 || b.vls == 0) {
    aLines->push_back(b.teams == 0 ? "Balance: no LZ is placed." : "Balance: no VL is placed.");
    return;
  }
  snprintf(locLine, sizeof(locLine), "Balance of %d teams and %d VLs (world x and z):", b.teams, b.vls);
  aLines->push_back(locLine);
  for (int t = 0; t < ZW_BALANCE_TEAMS; t++) {
    const ZW_BalanceTeam& s = b.team[t];
    if (!s.lzs) {
      continue;
    }
    snprintf(locLine, sizeof(locLine),
             "Team %d (%d LZ): nearest VL %.0f, mean %.0f, first at %d VL, height %+.1f", t + 1, s.lzs,
             s.nearest, s.mean, s.first, s.height);
    aLines->push_back(locLine);
  }
  snprintf(locLine, sizeof(locLine), "Contested VLs: %d", b.contested);
  aLines->push_back(locLine);
  double locLargest = b.nearestPercent > b.meanPercent ? b.nearestPercent : b.meanPercent;
  snprintf(locLine, sizeof(locLine), "Largest difference: %.1f%% (nearest VL %.1f%%, mean %.1f%%)", locLargest,
           b.nearestPercent, b.meanPercent);
  aLines->push_back(locLine);
}

void ZW_BalanceWarnings(const ZW_Balance& b, std::vector<std::string>* aLines) {
  char locLine[160];
  if (b.nearestPercent > ZW_BALANCE_WARN_PERCENT) {
    snprintf(locLine, sizeof(locLine),
             "WARNING: Teams %d and %d differ by %.1f%% in the distance to their nearest VL.",
             b.nearestTeams[0], b.nearestTeams[1], b.nearestPercent);
    aLines->push_back(locLine);
  }
  if (b.meanPercent > ZW_BALANCE_WARN_PERCENT) {
    snprintf(locLine, sizeof(locLine), "WARNING: Teams %d and %d differ by %.1f%% in the mean distance to the VLs.",
             b.meanTeams[0], b.meanTeams[1], b.meanPercent);
    aLines->push_back(locLine);
  }
}
