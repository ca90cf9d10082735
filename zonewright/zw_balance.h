// The balance of a mission: for each team that lands, how far its Landing
// Zones lie from the Victory Locations, which VLs it reaches first, and the
// differences between the teams.
#pragma once

#include <string>
#include <vector>

#include "zw_export.h"

enum {
  ZW_BALANCE_TEAMS = 4,
  ZW_BALANCE_WARN_PERCENT = 15,    // a larger difference between teams is warned of
  ZW_BALANCE_CONTESTED_PERCENT = 2 // a VL this close to two teams belongs to neither
};

struct ZW_BalanceTeam {
  int lzs;        // 0: the team does not land
  double nearest; // distance (world x and z) to the nearest VL
  double mean;    // mean over the VLs of the distance from the team
  double height;  // mean over the VLs of VL height - height of the team's nearest LZ
  int first;      // VLs that the team reaches first
};

struct ZW_Balance {
  int vls;
  int teams;      // teams that land
  ZW_BalanceTeam team[ZW_BALANCE_TEAMS];  // team n at n - 1
  int contested;
  // The largest differences between two teams, in percent of the larger value.
  double nearestPercent;
  int nearestTeams[2];  // the team nearer, then the team farther
  double meanPercent;
  int meanTeams[2];
};

// The difference of two distances in percent of the larger (0 when both are 0).
double ZW_BalancePercent(double a, double b);
// The figures of markers in control-list order (LZ n starts team ZW_LzTeam(n)).
// A team's distance to a VL is that of its LZ nearest to it.
void ZW_BalanceCompute(const ZW_ExportMarker* aMarkers, int aCount, ZW_Balance* aBalance);
// The report's lines.
void ZW_BalanceReport(const ZW_Balance& aBalance, std::vector<std::string>* aLines);
// A "WARNING: " line for each difference above ZW_BALANCE_WARN_PERCENT.
void ZW_BalanceWarnings(const ZW_Balance& aBalance, std::vector<std::string>* aLines);
