// Writes a mesh in the ASC text layout that the program's reader accepts.
#pragma once

#include <string>

#include "assets/mesh_builder.h"

// The whole file as text: header, vertex list, face list. Numbers have a fixed format so that
// the same mesh always gives the same bytes.
std::string format_asc(const char* object_name, const Mesh& m);

// Writes format_asc() to `path`; 0 on success, 1 when the file cannot be written.
int write_asc(const std::string& path, const char* object_name, const Mesh& m);
