/* Converts between binary PPM (P6, 8 bits a channel) and QOI with the format's reference codec,
   qoi.h, for scripts/make-art, which builds it with the host's compiler:
     qoi-convert encode picture.ppm picture.qoi
     qoi-convert decode picture.qoi picture.ppm */
#define QOI_IMPLEMENTATION
#include <qoi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int encode(const char *from, const char *to) {
  FILE *in = fopen(from, "rb");
  unsigned width = 0, height = 0, top = 0;
  if (in == NULL || fscanf(in, "P6 %u %u %u", &width, &height, &top) != 3 || top != 255 ||
      fgetc(in) == EOF || width == 0 || height == 0 || width > 65536 || height > 65536) {
    fprintf(stderr, "qoi-convert: %s is not a binary PPM of 8 bits a channel\n", from);
    return 1;
  }
  size_t bytes = (size_t)width * height * 3;
  unsigned char *pixels = malloc(bytes);
  if (pixels == NULL || fread(pixels, 1, bytes, in) != bytes) {
    fprintf(stderr, "qoi-convert: %s: pixels missing\n", from);
    return 1;
  }
  fclose(in);
  qoi_desc description = {width, height, 3, QOI_SRGB};
  if (qoi_write(to, pixels, &description) == 0) {
    fprintf(stderr, "qoi-convert: cannot write %s\n", to);
    return 1;
  }
  free(pixels);
  return 0;
}

static int decode(const char *from, const char *to) {
  qoi_desc description;
  unsigned char *pixels = qoi_read(from, &description, 3);
  if (pixels == NULL) {
    fprintf(stderr, "qoi-convert: %s is not a QOI file\n", from);
    return 1;
  }
  FILE *out = fopen(to, "wb");
  size_t bytes = (size_t)description.width * description.height * 3;
  if (out == NULL || fprintf(out, "P6\n%u %u\n255\n", description.width, description.height) < 0 ||
      fwrite(pixels, 1, bytes, out) != bytes || fclose(out) != 0) {
    fprintf(stderr, "qoi-convert: cannot write %s\n", to);
    return 1;
  }
  free(pixels);
  return 0;
}

int main(int argc, char **argv) {
  if (argc == 4 && strcmp(argv[1], "encode") == 0) return encode(argv[2], argv[3]);
  if (argc == 4 && strcmp(argv[1], "decode") == 0) return decode(argv[2], argv[3]);
  fprintf(stderr, "usage: qoi-convert encode|decode FROM TO\n");
  return 2;
}
