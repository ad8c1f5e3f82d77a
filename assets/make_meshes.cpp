// make-meshes [output folder [name...]]: writes the named mesh files (all seventeen when none is
// named) that the program reads at start-up.
#include <cstdio>

#include "assets/models.h"

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    if (argc <= 2) return write_all_meshes(dir);
    for (int i = 2; i < argc; ++i) {
        const MeshAsset* asset = find_mesh_asset(argv[i]);
        if (!asset) {
            std::fprintf(stderr, "make-meshes: no mesh is called %s\n", argv[i]);
            return 1;
        }
        if (write_mesh(dir, *asset) != 0) return 1;
    }
    return 0;
}
