// The terrain of a sample map from a small text description: a height field
// of hills and valleys on a flat ground, and an overview picture of it.
//
// Description lines (words separated by blanks, "#" starts a comment):
//   name NAME                      folder and file names of the map
//   landscape WORD                 myLandscape of the map file
//   environment WORD               myEnvironment of the map file
//   ground HEIGHT                  flat ground height, 0 to 255
//   water HEIGHT                   heights below this are drawn as water
//   hill X Y RADIUS HEIGHT         a round hill (height-map pixels)
//   valley X0 Y0 X1 Y1 HALFWIDTH DEPTH   a trough along a line
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum { MAP_HEIGHT_SIZE = 1024, MAP_OVERVIEW_SIZE = 512 };

struct MapFeature {
  bool valley;
  float x0, y0, x1, y1;  // a hill uses x0, y0
  float size;            // radius or half width
  float height;          // height or depth
};

struct MapDescription {
  std::string name;
  std::string landscape;
  std::string environment;
  float ground = 40;
  float water = 0;
  std::vector<MapFeature> features;
};

// Parses a description; false with a message naming the line on an error.
bool MAP_Parse(const std::string& aText, MapDescription* aMap, std::string* anError);

// Heights 0 to 255, MAP_HEIGHT_SIZE squared, rows top-down.
std::vector<uint8_t> MAP_HeightField(const MapDescription& aMap);

// Overview colours (RGB), MAP_OVERVIEW_SIZE squared: height field pixel
// (2u, 2v) coloured by height and shaded by its slope.
std::vector<uint8_t> MAP_Overview(const MapDescription& aMap, const std::vector<uint8_t>& aHeights);
