// Sample terrain: description parser, height field and overview colours.
#include "map_terrain.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

const float kPi = 3.14159265f;

// 1 at the centre, falling smoothly to 0 at the radius.
float Bump(float aDistance, float aRadius) {
  if (aDistance >= aRadius) {
    return 0;
  }
  return 0.5f * (1 + cosf(kPi * aDistance / aRadius));
}

float DistanceToSegment(float x, float y, const MapFeature& f) {
  float dx = f.x1 - f.x0;
  float dy = f.y1 - f.y0;
  float locLength2 = dx * dx + dy * dy;
  float t = locLength2 > 0 ? ((x - f.x0) * dx + (y - f.y0) * dy) / locLength2 : 0;
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  float px = f.x0 + t * dx - x;
  float py = f.y0 + t * dy - y;
  return sqrtf(px * px + py * py);
}

bool ReadNumbers(std::istringstream& aWords, float* aValues, int aCount) {
  for (int i = 0; i < aCount; i++) {
    std::string locWord;
    if (!(aWords >> locWord)) {
      return false;
    }
    char* locEnd = nullptr;
    aValues[i] = strtof(locWord.c_str(), &locEnd);
    if (*locEnd != '\0' || !std::isfinite(aValues[i])) {
      return false;
    }
  }
  std::string locExtra;
  return !(aWords >> locExtra);
}

bool ReadWord(std::istringstream& aWords, std::string* aValue) {
  std::string locExtra;
  return (aWords >> *aValue) && !(aWords >> locExtra);
}

uint8_t Mix(float a, float b, float t) {
  float v = a + (b - a) * t;
  return (uint8_t)(v < 0 ? 0 : (v > 255 ? 255 : v));
}

}  // namespace

bool MAP_Parse(const std::string& aText, MapDescription* aMap, std::string* anError) {
  std::istringstream locLines(aText);
  std::string locLine;
  int locNumber = 0;
  while (std::getline(locLines, locLine)) {
    locNumber++;
    size_t locComment = locLine.find('#');
    if (locComment != std::string::npos) {
      locLine.erase(locComment);
    }
    std::istringstream locWords(locLine);
    std::string locKey;
    if (!(locWords >> locKey)) {
      continue;
    }
    bool locOk;
    MapFeature f = {};
    if (locKey == "name") {
      locOk = ReadWord(locWords, &aMap->name);
    } else if (locKey == "landscape") {
      locOk = ReadWord(locWords, &aMap->landscape);
    } else if (locKey == "environment") {
      locOk = ReadWord(locWords, &aMap->environment);
    } else if (locKey == "ground") {
      locOk = ReadNumbers(locWords, &aMap->ground, 1);
    } else if (locKey == "water") {
      locOk = ReadNumbers(locWords, &aMap->water, 1);
    } else if (locKey == "hill") {
      float v[4];
      locOk = ReadNumbers(locWords, v, 4) && v[2] > 0;
      f = {false, v[0], v[1], v[0], v[1], v[2], v[3]};
      aMap->features.push_back(f);
    } else if (locKey == "valley") {
      float v[6];
      locOk = ReadNumbers(locWords, v, 6) && v[4] > 0;
      f = {true, v[0], v[1], v[2], v[3], v[4], v[5]};
      aMap->features.push_back(f);
    } else {
      locOk = false;
    }
    if (!locOk) {
      *anError = "line " + std::to_string(locNumber) + ": cannot read \"" + locLine + "\"";
      return false;
    }
  }
  if (aMap->name.empty() || aMap->landscape.empty() || aMap->environment.empty()) {
    *anError = "name, landscape and environment are needed";
    return false;
  }
  return true;
}

std::vector<uint8_t> MAP_HeightField(const MapDescription& aMap) {
  std::vector<uint8_t> locHeights((size_t)MAP_HEIGHT_SIZE * MAP_HEIGHT_SIZE);
  for (int y = 0; y < MAP_HEIGHT_SIZE; y++) {
    for (int x = 0; x < MAP_HEIGHT_SIZE; x++) {
      float h = aMap.ground;
      for (const MapFeature& f : aMap.features) {
        float d = f.valley ? DistanceToSegment((float)x, (float)y, f) : hypotf(x - f.x0, y - f.y0);
        h += (f.valley ? -f.height : f.height) * Bump(d, f.size);
      }
      locHeights[(size_t)y * MAP_HEIGHT_SIZE + x] = (uint8_t)(h < 0 ? 0 : (h > 255 ? 255 : h + 0.5f));
    }
  }
  return locHeights;
}

std::vector<uint8_t> MAP_Overview(const MapDescription& aMap, const std::vector<uint8_t>& aHeights) {
  std::vector<uint8_t> locPixels((size_t)MAP_OVERVIEW_SIZE * MAP_OVERVIEW_SIZE * 3);
  auto H = [&](int x, int y) {
    x = x < 0 ? 0 : (x >= MAP_HEIGHT_SIZE ? MAP_HEIGHT_SIZE - 1 : x);
    y = y < 0 ? 0 : (y >= MAP_HEIGHT_SIZE ? MAP_HEIGHT_SIZE - 1 : y);
    return (float)aHeights[(size_t)y * MAP_HEIGHT_SIZE + x];
  };
  for (int v = 0; v < MAP_OVERVIEW_SIZE; v++) {
    for (int u = 0; u < MAP_OVERVIEW_SIZE; u++) {
      int x = 2 * u;
      int y = 2 * v;
      float h = H(x, y);
      float r, g, b;
      if (h < aMap.water) {
        float t = h / (aMap.water > 0 ? aMap.water : 1);  // deeper is darker
        r = 30 + 30 * t;
        g = 70 + 50 * t;
        b = 130 + 50 * t;
      } else if (h < 110) {  // grass to dry grass
        float t = (h - aMap.water) / (110 - aMap.water + 1);
        r = 70 + 80 * t;
        g = 130 + 20 * t;
        b = 50 + 20 * t;
      } else if (h < 180) {  // rock
        float t = (h - 110) / 70;
        r = 150 - 20 * t;
        g = 130 - 10 * t;
        b = 100 + 10 * t;
      } else {  // snow
        float t = (h - 180) / 75;
        r = 200 + 55 * t;
        g = 200 + 55 * t;
        b = 205 + 50 * t;
      }
      // Light from the upper left.
      float locSlope = (H(x + 2, y + 2) - H(x - 2, y - 2)) * 0.08f;
      float locShade = 1 + (locSlope > 0.4f ? 0.4f : (locSlope < -0.4f ? -0.4f : locSlope));
      uint8_t* p = &locPixels[((size_t)v * MAP_OVERVIEW_SIZE + u) * 3];
      p[0] = Mix(0, r, locShade);
      p[1] = Mix(0, g, locShade);
      p[2] = Mix(0, b, locShade);
    }
  }
  return locPixels;
}
