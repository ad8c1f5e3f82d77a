// The rasteriser's limit: every model drawn from a display list compiled once, instead of
// immediate mode. Linked into a copy of crane-render, where it takes the geometry step of every
// model's draw through the model's draw hook, so the scene, the timeline and the frames are the
// same. Benchmark only.
#include <GL/gl.h>

#include <map>
#include <utility>

#include "mesh/asc_model.h"

namespace {

// One list per model and drawing routine (points mode changes the routine).
std::map<std::pair<const AscModel*, int>, GLuint> g_lists;

int routine_of(const AscModel& m) {
    if (m.points_mode) return 0;
    if (m.position_colour_mode) return 1;
    if (m.height_colour_mode) return 2;
    return m.smooth_normals ? 3 : 4;
}

void draw_from_list(AscModel& model) {
    GLuint& list = g_lists[{&model, routine_of(model)}];
    if (list == 0) {
        list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        model.draw_geometry();
        glEndList();
    }
    glCallList(list);
}

// Before main, so that the first frame already draws from lists.
[[maybe_unused]] const bool g_hooked = (asc_model_on_draw(draw_from_list), true);

} // namespace
