// The program's version, read by the version record and by the About text.
#pragma once

#define PERCHETTE_VERSION_MAJOR 1
#define PERCHETTE_VERSION_MINOR 0
#define PERCHETTE_VERSION_RELEASE 0
#define PERCHETTE_VERSION_BUILD 0
#define PERCHETTE_VERSION_TEXT "1.0.0.0"
#define PERCHETTE_PRODUCT_NAME "Perchette"
