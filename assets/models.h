// The seventeen meshes of the scene, each authored in the frame and at the size that the scene
// draws it in: the program's reader divides a mesh by its largest extent without moving it, and
// the scene multiplies by its draw scale again, so a mesh whose largest extent equals that
// scale lands exactly where it was modelled.
#pragma once

#include <string>

#include "assets/mesh_builder.h"

struct MeshAsset {
    const char* file;   // file name, as the program opens it
    const char* object; // name written into the file's header
    double extent;      // largest extent = the scale the scene draws it at
    Mesh (*build)();
};

// In the order in which the program loads them.
extern const MeshAsset kMeshAssets[17];

Mesh build_grua1();
Mesh build_grua2();
Mesh build_pinza1();
Mesh build_pinza2();
Mesh build_pivote1();
Mesh build_pivote2();
Mesh build_suelo1();
Mesh build_suelo2();
Mesh build_cilindr1();
Mesh build_cilindr2();
Mesh build_piedra1();
Mesh build_contene1();
Mesh build_contene2();
Mesh build_camion1();
Mesh build_camion2();
Mesh build_camion2p();
Mesh build_camion3();

// The mesh whose object name is `object`, or null.
const MeshAsset* find_mesh_asset(const std::string& object);
// Builds the mesh, checks its largest extent against its draw scale and writes it into `dir`.
// 0 on success; 1, with a message on standard error, when it is off its size or cannot be
// written.
int write_mesh(const std::string& dir, const MeshAsset& asset);
// Builds every mesh, checks its largest extent against its draw scale and writes it into
// `dir`. 0 on success; 1, with a message on standard error, when a mesh is off its size or a
// file cannot be written.
int write_all_meshes(const std::string& dir);
