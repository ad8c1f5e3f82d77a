// The rasteriser's limit: every model drawn from a display list compiled once, instead of
// immediate mode. Linked into a copy of crane-render that wraps AscModel::draw with this one,
// so the scene, the timeline and the frames are the same. Benchmark only.
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

void draw_routine(AscModel& m, int routine) {
    switch (routine) {
    case 0:
        m.draw_points();
        break;
    case 1:
        m.draw_position_coloured();
        break;
    case 2:
        m.draw_height_coloured();
        break;
    case 3:
        m.draw_smooth();
        break;
    default:
        m.draw_flat();
        break;
    }
}

} // namespace

extern "C" void __wrap__ZN8AscModel4drawEf(AscModel* model, float scale) {
    glPushMatrix();
    if (scale != 0.0f) model->scale = scale;
    glScalef(model->scale, model->scale, model->scale);
    const int routine = routine_of(*model);
    GLuint& list = g_lists[{model, routine}];
    if (list == 0) {
        list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        draw_routine(*model, routine);
        glEndList();
    }
    glCallList(list);
    glPopMatrix();
}
