// AscModel: loading, normalisation, colour ramp, normals and the five ways of drawing.
#include "mesh/asc_model.h"

#include "mesh/asc_reader.h"

#include <GL/gl.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

const float k_point_normal[3] = {1.0f, 1.0f, 1.0f};

bool failed(const AscLoadError& e) {
    return e.open_failed != 0 || e.text[0] != '\0';
}

void out_of_memory(AscModel& m) {
    snprintf(m.load_error.text, sizeof m.load_error.text,
             "%s: out of memory for %d vertices and %d faces", m.file_name, m.vertex_count,
             m.face_count);
}

// The smallest and largest value of one coordinate over all vertices, starting from vertex 0;
// a value below the minimum replaces it, else one above the maximum replaces that.
void bounds(const Vector3* v, int32_t count, float Vector3::*axis, float& max, float& min) {
    if (count <= 0) return;
    max = min = v[0].*axis;
    for (int32_t i = 0; i < count; ++i) {
        float c = v[i].*axis;
        if (c < min)
            min = c;
        else if (c > max)
            max = c;
    }
}

} // namespace

AscModel::AscModel() {
    points_mode = 0;
    height_colour_mode = 0;
    position_colour_mode = 0;
    colour_every_vertex = 1;
    smooth_normals = 1;
    scale = 1.0f;
}

AscModel::AscModel(const char* name) : AscModel() {
    if (load(name) == 0) {
        // A damaged file is still drawn as far as it goes, but not without a word.
        if (vertices_found < vertex_count || faces_found < face_count)
            fprintf(stderr,
                    "%s: warning: the file is incomplete (vertices: %d declared, %d found; faces: "
                    "%d declared, %d found); drawing what was read\n",
                    file_name, vertex_count, vertices_found, face_count, faces_found);
        return;
    }
    if (load_error.open_failed) {
        errno = load_error.saved_errno;
        fatal_error("Error al abrir el fichero ASC");
    }
    fprintf(stderr, "%s\n", load_error.text);
    exit(1);
}

AscModel::~AscModel() {
    release();
}

void AscModel::release() {
    free(vertices);
    vertices = nullptr;
    free(triangles);
    triangles = nullptr;
    if (face_normals) {
        for (scratch_index = 0; scratch_index < face_count; ++scratch_index)
            free(face_normals[scratch_index]);
        free(face_normals);
        face_normals = nullptr;
    }
    if (vertex_normals) {
        for (scratch_index = 0; scratch_index < vertex_count; ++scratch_index)
            free(vertex_normals[scratch_index]);
        free(vertex_normals);
        vertex_normals = nullptr;
    }
}

int AscModel::load(const char* name) {
    // A longer name would be cut short and another file opened.
    if (strlen(name) >= sizeof file_name) {
        load_error = AscLoadError{};
        load_error.open_failed = 1;
        load_error.saved_errno = ENAMETOOLONG;
        snprintf(load_error.text, sizeof load_error.text, "Error al abrir el fichero ASC: %s",
                 strerror(ENAMETOOLONG));
        return 1;
    }
    snprintf(file_name, sizeof file_name, "%s", name);
    if (read_mesh() != 0 || derive() != 0) {
        AscLoadError kept = load_error;
        release();
        vertex_count = 0;
        face_count = 0;
        load_error = kept;
        return 1;
    }
    return 0;
}

int AscModel::read_mesh() {
    load_error = AscLoadError{};
    count_elements();
    if (failed(load_error)) return 1;
    // Cleared, so that a vertex or triangle no record fills is the origin or (0, 0, 0).
    if (vertex_count > 0) vertices = (Vector3*)calloc(size_t(vertex_count), sizeof(Vector3));
    if (face_count > 0) triangles = (Triangle*)calloc(size_t(face_count), sizeof(Triangle));
    if ((vertex_count > 0 && !vertices) || (face_count > 0 && !triangles)) {
        out_of_memory(*this);
        return 1;
    }
    read_elements();
    return failed(load_error) ? 1 : 0;
}

int AscModel::derive() {
    normalise();
    const float high[3] = {0.3f, 0.3f, 0.3f};
    const float low[3] = {1.0f, 1.0f, 1.0f};
    build_colour_ramp(high, low);
    compute_face_normals();
    if (!failed(load_error)) compute_vertex_normals();
    return failed(load_error) ? 1 : 0;
}

void AscModel::normalise() {
    bounds(vertices, vertex_count, &Vector3::x, max_x, min_x);
    extent_x = float(double(max_x) - min_x);
    bounds(vertices, vertex_count, &Vector3::y, max_y, min_y);
    extent_y = float(double(max_y) - min_y);
    bounds(vertices, vertex_count, &Vector3::z, max_z, min_z);
    extent_z = float(double(max_z) - min_z);
    float largest = extent_x;
    if (extent_y > largest) largest = extent_y;
    if (extent_z > largest) largest = extent_z;
    // All vertices in one point (or none at all): nothing to divide by, the mesh stays put.
    if (!(largest > 0.0f)) return;
    for (int32_t i = 0; i < vertex_count; ++i) {
        vertices[i].x = float(double(vertices[i].x) / largest);
        vertices[i].y = float(double(vertices[i].y) / largest);
        vertices[i].z = float(double(vertices[i].z) / largest);
    }
}

void AscModel::build_colour_ramp(const float high[3], const float low[3]) {
    float step[3];
    for (int k = 0; k < 3; ++k) {
        step[k] = float((double(high[k]) - low[k]) / 100.0);
        colour_ramp[0][k] = low[k];
    }
    for (int i = 1; i < 100; ++i)
        for (int k = 0; k < 3; ++k)
            colour_ramp[i][k] = float(double(colour_ramp[i - 1][k]) + step[k]);
    bounds(vertices, vertex_count, &Vector3::y, max_y, min_y);
    height_step = float((double(max_y) - min_y) / 99.0);
    min_y = -min_y;
}

int AscModel::height_index(float y) const {
    // A flat mesh has no height step: every vertex is at the bottom of the ramp.
    if (!(height_step > 0.0f)) return 0;
    double h = (double(y) + min_y) / height_step;
    if (!(h > 0.0)) return 0;
    if (h >= 99.0) return 99;
    return int(h);
}

void AscModel::face_normal(const Vector3& A, const Vector3& B, const Vector3& C, Vector3& out) {
    const float ux = float(double(A.x) - B.x), uy = float(double(A.y) - B.y),
                uz = float(double(A.z) - B.z);
    const float wx = float(double(B.x) - C.x), wy = float(double(B.y) - C.y),
                wz = float(double(B.z) - C.z);
    out.x = float(double(uy) * wz - double(uz) * wy);
    out.y = float(double(uz) * wx - double(ux) * wz);
    out.z = float(double(ux) * wy - double(uy) * wx);
    double length =
        std::sqrt(double(out.y) * out.y + double(out.z) * out.z + double(out.x) * out.x);
    if (length == 0.0) length = 1.0;
    out.x = float(out.x / length);
    out.y = float(out.y / length);
    out.z = float(out.z / length);
}

void AscModel::compute_face_normals() {
    if (face_count <= 0) return;
    face_normals = (Vector3**)calloc(size_t(face_count), sizeof(Vector3*));
    if (!face_normals) return out_of_memory(*this);
    for (int32_t i = 0; i < face_count; ++i) {
        face_normals[i] = (Vector3*)calloc(1, sizeof(Vector3));
        if (!face_normals[i]) return out_of_memory(*this);
    }
    for (int32_t i = 0; i < face_count; ++i) {
        const Triangle& t = triangles[i];
        face_normal(vertices[t.a], vertices[t.b], vertices[t.c], *face_normals[i]);
    }
}

void AscModel::compute_vertex_normals() {
    if (vertex_count <= 0) return;
    int32_t* uses = (int32_t*)calloc(size_t(vertex_count), sizeof(int32_t));
    vertex_normals = (Vector3**)calloc(size_t(vertex_count), sizeof(Vector3*));
    if (!uses || !vertex_normals) {
        free(uses);
        return out_of_memory(*this);
    }
    for (int32_t i = 0; i < vertex_count; ++i) {
        vertex_normals[i] = (Vector3*)calloc(1, sizeof(Vector3));
        if (!vertex_normals[i]) {
            free(uses);
            return out_of_memory(*this);
        }
    }
    for (int32_t i = 0; i < face_count; ++i) {
        const Triangle& t = triangles[i];
        const Vector3& f = *face_normals[i];
        for (int32_t v : {t.a, t.b, t.c}) {
            Vector3& n = *vertex_normals[v];
            n.x = float(double(n.x) + f.x);
            n.y = float(double(n.y) + f.y);
            n.z = float(double(n.z) + f.z);
            ++uses[v];
        }
    }
    // A vertex no triangle uses keeps the zero normal.
    for (int32_t i = 0; i < vertex_count; ++i) {
        if (uses[i] == 0) continue;
        Vector3& n = *vertex_normals[i];
        n.x = float(double(n.x) / uses[i]);
        n.y = float(double(n.y) / uses[i]);
        n.z = float(double(n.z) / uses[i]);
    }
    free(uses);
}

namespace {
AscDrawHook s_draw_hook = nullptr;
}

void asc_model_on_draw(AscDrawHook hook) {
    s_draw_hook = hook;
}

void AscModel::draw(float new_scale) {
    glPushMatrix();
    if (new_scale != 0.0f) scale = new_scale;
    glScalef(scale, scale, scale);
    if (s_draw_hook)
        s_draw_hook(*this);
    else
        draw_geometry();
    glPopMatrix();
}

void AscModel::draw_geometry() {
    if (points_mode)
        draw_points();
    else if (position_colour_mode)
        draw_position_coloured();
    else if (height_colour_mode)
        draw_height_coloured();
    else if (smooth_normals)
        draw_smooth();
    else
        draw_flat();
}

void AscModel::draw_points() {
    glBegin(GL_POINTS);
    for (int32_t i = 0; i < vertex_count; ++i) {
        glNormal3fv(k_point_normal);
        glVertex3f(vertices[i].x, vertices[i].y, vertices[i].z);
    }
    glEnd();
}

void AscModel::draw_flat() {
    glBegin(GL_TRIANGLES);
    for (int32_t i = 0; i < face_count; ++i) {
        const Triangle& t = triangles[i];
        glNormal3fv(&face_normals[i]->x);
        glVertex3f(vertices[t.a].x, vertices[t.a].y, vertices[t.a].z);
        glVertex3f(vertices[t.b].x, vertices[t.b].y, vertices[t.b].z);
        glVertex3f(vertices[t.c].x, vertices[t.c].y, vertices[t.c].z);
    }
    glEnd();
}

void AscModel::draw_smooth() {
    glBegin(GL_TRIANGLES);
    for (int32_t i = 0; i < face_count; ++i) {
        for (int32_t v : {triangles[i].a, triangles[i].b, triangles[i].c}) {
            glNormal3fv(&vertex_normals[v]->x);
            glVertex3f(vertices[v].x, vertices[v].y, vertices[v].z);
        }
    }
    glEnd();
}

void AscModel::draw_height_coloured() {
    glBegin(GL_TRIANGLES);
    for (int32_t i = 0; i < face_count; ++i) {
        const int32_t corner[3] = {triangles[i].a, triangles[i].b, triangles[i].c};
        for (int k = 0; k < 3; ++k) {
            const int32_t v = corner[k];
            glNormal3fv(&vertex_normals[v]->x);
            if (k == 0 || colour_every_vertex) {
                const float* c = colour_ramp[height_index(vertices[v].y)];
                glColor3f(c[0], c[1], c[2]);
            }
            glVertex3f(vertices[v].x, vertices[v].y, vertices[v].z);
        }
    }
    glEnd();
}

void AscModel::draw_position_coloured() {
    glBegin(GL_TRIANGLES);
    for (int32_t i = 0; i < face_count; ++i) {
        const int32_t corner[3] = {triangles[i].a, triangles[i].b, triangles[i].c};
        for (int k = 0; k < 3; ++k) {
            const int32_t v = corner[k];
            glNormal3fv(&vertex_normals[v]->x);
            if (k == 0 || colour_every_vertex)
                glColor3f(vertices[v].x, vertices[v].y, vertices[v].z);
            glVertex3f(vertices[v].x, vertices[v].y, vertices[v].z);
        }
    }
    glEnd();
}
