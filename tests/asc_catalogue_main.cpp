// A program made of the seventeen model globals alone: start-up builds them from the files in
// the working folder, exit destroys them. Used to watch that order from outside.
#include "mesh/catalogue.h"

#include <cstdio>

int main() {
    printf("built %s .. %s\n", g_grua1.file_name, g_camion3.file_name);
    return 0;
}
