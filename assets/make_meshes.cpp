// make-meshes [output folder]: writes the seventeen mesh files the program reads at start-up.
#include "assets/models.h"

int main(int argc, char** argv) {
    return write_all_meshes(argc > 1 ? argv[1] : ".");
}
