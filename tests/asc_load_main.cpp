// Builds one AscModel from the file named by argv[1] through the real constructor, so that a
// rejected file ends this process with the message and status of the program itself. On
// success it prints what was read and draws the model once in every mode (into the recording
// GL stand-in), so that sanitizers see every array access of loading and drawing.
#include "mesh/asc_model.h"
#include "tests/support/gl_recorder.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: asc_load_main FILE\n");
        return 2;
    }
    AscModel model(argv[1]);
    printf("%d vertices, %d faces\n", model.vertex_count, model.face_count);
    printf("x %.9g .. %.9g, y %.9g .. %.9g, z %.9g .. %.9g\n", model.min_x, model.max_x,
           model.min_y, model.max_y, model.min_z, model.max_z);
    for (int i = 0; i < model.vertex_count && i < 50; ++i)
        printf("vertex %d: %.9g %.9g %.9g\n", i, model.vertices[i].x, model.vertices[i].y,
               model.vertices[i].z);
    for (int i = 0; i < model.face_count && i < 50; ++i)
        printf("face %d: %d %d %d\n", i, model.triangles[i].a, model.triangles[i].b,
               model.triangles[i].c);
    glrec::reset();
    model.draw(1.0f);
    model.smooth_normals = 0;
    model.draw(0.0f);
    model.height_colour_mode = 1;
    model.draw(0.0f);
    model.colour_every_vertex = 0;
    model.draw(0.0f);
    model.position_colour_mode = 1;
    model.draw(0.0f);
    model.points_mode = 1;
    model.draw(0.0f);
    printf("%zu vertex calls\n", glrec::count("glVertex3f"));
    return 0;
}
