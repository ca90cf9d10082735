// zrfgen OUTPUT: writes the wizard's resource image as PNG.
#include <cstdio>
#include <vector>

#include "zrf_image.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: zrfgen OUTPUT\n");
    return 2;
  }
  std::vector<uint8_t> locPixels(ZRF_SIZE * ZRF_SIZE * 4);
  ZRF_Draw(locPixels.data());
  if (!stbi_write_png(argv[1], ZRF_SIZE, ZRF_SIZE, 4, locPixels.data(), ZRF_SIZE * 4)) {
    fprintf(stderr, "zrfgen: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
