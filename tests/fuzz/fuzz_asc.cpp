// libFuzzer target: any bytes as an ASC file, through both reading passes, the model's
// derivations and every drawing mode (into the recording GL stand-in). Sanitizers catch any
// access outside the arrays; the checks below catch results a loaded model must never hold.
#include "mesh/asc_model.h"
#include "tests/support/gl_recorder.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// The input lives in an in-memory file that the reader opens by name, as it opens any mesh.
int g_fd = -1;
char g_path[64];

void check(bool ok) {
    if (!ok) __builtin_trap();
}

bool is_bounded_normal(const Vector3& n) {
    return std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z) &&
           n.x * n.x + n.y * n.y + n.z * n.z <= 1.001f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (g_fd < 0) {
        g_fd = memfd_create("asc_fuzz", 0);
        if (g_fd < 0) return 0;
        snprintf(g_path, sizeof g_path, "/proc/self/fd/%d", g_fd);
    }
    if (ftruncate(g_fd, 0) != 0 || pwrite(g_fd, data, size, 0) != ssize_t(size)) return 0;

    AscModel model;
    if (model.load(g_path) != 0) {
        // A refused file leaves an empty model and says why.
        check(model.vertex_count == 0 && model.face_count == 0 && model.vertices == nullptr);
        check(model.load_error.text[0] != '\0');
        return 0;
    }
    check(model.vertex_count >= 0 && model.face_count >= 0);
    check(size_t(model.vertex_count) <= size && size_t(model.face_count) <= size);
    for (int32_t i = 0; i < model.vertex_count; ++i) {
        const Vector3& v = model.vertices[i];
        check(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
        int h = model.height_index(v.y);
        check(h >= 0 && h <= 99);
        check(is_bounded_normal(*model.vertex_normals[i]));
    }
    for (int32_t i = 0; i < model.face_count; ++i)
        check(is_bounded_normal(*model.face_normals[i]));

    glrec::reset();
    model.draw(1.0f);
    model.smooth_normals = 0;
    model.draw(0.0f);
    model.height_colour_mode = 1;
    model.colour_every_vertex = 0;
    model.draw(0.0f);
    model.position_colour_mode = 1;
    model.draw(0.0f);
    model.points_mode = 1;
    model.draw(0.0f);
    check(glrec::state().begin_depth == 0);
    return 0;
}
