#include "tests/support/gl_scenes.h"

#include "toolkit/headless/headless_control.h"
#include "toolkit/tk.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <map>

namespace {

// ---- Shapes ---------------------------------------------------------------------------------

// A sphere of radius 1 in latitude bands, normals outwards; coloured by place when asked.
void sphere(int bands, bool colours = false) {
    for (int i = 0; i < bands; ++i) {
        const double a0 = M_PI * i / bands - M_PI / 2, a1 = M_PI * (i + 1) / bands - M_PI / 2;
        glBegin(GL_QUAD_STRIP);
        for (int j = 0; j <= 2 * bands; ++j) {
            const double b = M_PI * j / bands;
            for (double a : {a1, a0}) {
                const double x = std::cos(a) * std::cos(b), y = std::sin(a),
                             z = -std::cos(a) * std::sin(b);
                glNormal3d(x, y, z);
                if (colours) glColor3f(float(0.5 + 0.5 * x), float(0.5 + 0.5 * y), 0.3f);
                glVertex3d(x, y, z);
            }
        }
        glEnd();
    }
}

// A square from -1 to 1 in the z = 0 plane, facing +z, in n x n quads: lighting is computed at
// its vertices, so falloffs show.
void grid(int n, bool colours = false) {
    glNormal3f(0, 0, 1);
    glBegin(GL_QUADS);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const float x0 = -1 + 2.0f * i / n, x1 = -1 + 2.0f * (i + 1) / n;
            const float y0 = -1 + 2.0f * j / n, y1 = -1 + 2.0f * (j + 1) / n;
            const float corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
            for (const auto& c : corners) {
                if (colours) glColor3f(0.5f + 0.5f * c[0], 0.5f + 0.5f * c[1], 0.3f);
                glVertex3f(c[0], c[1], 0);
            }
        }
    glEnd();
}

void perspective_view(float distance) {
    glViewport(0, 0, kSceneWidth, kSceneHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(kSceneWidth) / kSceneHeight, 1.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -distance);
}

void start(float r, float g, float b) {
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void set_light(GLenum light, GLenum pname, float a, float b, float c, float d) {
    const float v[4] = {a, b, c, d};
    glLightfv(light, pname, v);
}

void set_material(GLenum pname, float a, float b, float c, float d) {
    const float v[4] = {a, b, c, d};
    glMaterialfv(GL_FRONT_AND_BACK, pname, v);
}

// ---- Scenes: each starts from what the one before left, so each sets what it uses ----------

void lit_defaults() {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_NORMALIZE);
    set_material(GL_AMBIENT, 0.2f, 0.2f, 0.2f, 1);
    set_material(GL_DIFFUSE, 0.7f, 0.6f, 0.4f, 1);
    set_material(GL_SPECULAR, 0.8f, 0.8f, 0.8f, 1);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 24.0f);
}

void directional_light() {
    start(0.1f, 0.1f, 0.2f);
    perspective_view(4);
    lit_defaults();
    set_light(GL_LIGHT0, GL_POSITION, 1, 1, 1, 0);
    set_light(GL_LIGHT0, GL_DIFFUSE, 1, 1, 0.9f, 1);
    set_light(GL_LIGHT0, GL_SPECULAR, 1, 1, 1, 1);
    set_light(GL_LIGHT0, GL_AMBIENT, 0.1f, 0.1f, 0.1f, 1);
    // A second one from the other side, turned with the modelview as it is set.
    glEnable(GL_LIGHT1);
    glPushMatrix();
    glRotatef(120, 0, 1, 0);
    set_light(GL_LIGHT1, GL_POSITION, 1, 0, 0, 0);
    glPopMatrix();
    set_light(GL_LIGHT1, GL_DIFFUSE, 0.2f, 0.3f, 0.8f, 1);
    glScalef(1.3f, 1.3f, 1.3f);
    sphere(16);
    glDisable(GL_LIGHT1);
}

void point_light() {
    start(0, 0, 0);
    perspective_view(3.5f);
    lit_defaults();
    set_light(GL_LIGHT0, GL_POSITION, -0.4f, 0.3f, 0.6f, 1);
    set_light(GL_LIGHT0, GL_DIFFUSE, 1, 1, 1, 1);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 0.4f);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0.6f);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0.8f);
    grid(24);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 1);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0);
}

void spot_light() {
    start(0, 0, 0);
    perspective_view(3.5f);
    lit_defaults();
    set_light(GL_LIGHT0, GL_POSITION, 0.2f, 0.1f, 1.5f, 1);
    const float down[3] = {-0.2f, -0.1f, -1};
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, down);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 30);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 6);
    set_light(GL_LIGHT0, GL_DIFFUSE, 1, 0.9f, 0.7f, 1);
    grid(32);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 0);
}

void colour_material() {
    start(0.2f, 0.2f, 0.2f);
    perspective_view(4);
    lit_defaults();
    set_light(GL_LIGHT0, GL_POSITION, 0.5f, 1, 1, 0);
    // Ambient light strong enough to show that the colour stands for the ambient material too.
    set_light(GL_LIGHT0, GL_AMBIENT, 0.5f, 0.5f, 0.5f, 1);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glPushMatrix();
    glTranslatef(-0.8f, 0, 0);
    glScalef(0.7f, 0.7f, 0.7f);
    sphere(12, true);
    glPopMatrix();
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glTranslatef(0.8f, 0, 0);
    glScalef(0.6f, 0.6f, 0.6f);
    grid(8, true);
    glDisable(GL_COLOR_MATERIAL);
}

void linear_fog() {
    start(0, 0, 0);
    perspective_view(2);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 2);
    glFogf(GL_FOG_END, 8);
    const float fog_colour[4] = {0.05f, 0.05f, 0.1f, 1};
    glFogfv(GL_FOG_COLOR, fog_colour);
    // A white floor running away from the eye through the whole ramp, and a lit ball in it.
    glColor3f(1, 1, 1);
    glPushMatrix();
    glTranslatef(0, -0.8f, -5);
    glRotatef(-90, 1, 0, 0);
    glScalef(2, 5, 1);
    grid(16);
    glPopMatrix();
    lit_defaults();
    set_light(GL_LIGHT0, GL_POSITION, 0, 1, 1, 0);
    glTranslatef(0.5f, 0, -3);
    sphere(10);
    glDisable(GL_FOG);
}

void shading() {
    start(0, 0, 0);
    perspective_view(4);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    for (GLenum model : {GL_FLAT, GL_SMOOTH}) {
        glShadeModel(model);
        glPushMatrix();
        glTranslatef(model == GL_FLAT ? -0.8f : 0.8f, 0.6f, 0);
        glScalef(0.7f, 0.5f, 1);
        glBegin(GL_TRIANGLES);
        glColor3f(1, 0, 0);
        glVertex3f(-1, -1, 0);
        glColor3f(0, 1, 0);
        glVertex3f(1, -1, 0);
        glColor3f(0, 0, 1);
        glVertex3f(0, 1, 0);
        glEnd();
        glBegin(GL_TRIANGLE_FAN); // a polygon's colour is its first vertex's when flat
        glColor3f(1, 1, 0);
        glVertex3f(-1, -3, 0);
        glColor3f(0, 1, 1);
        glVertex3f(1, -3, 0);
        glColor3f(1, 0, 1);
        glVertex3f(1, -1.5f, 0);
        glColor3f(1, 1, 1);
        glVertex3f(-1, -1.5f, 0);
        glEnd();
        glPopMatrix();
        // A lit sphere: faceted when flat.
        lit_defaults();
        set_light(GL_LIGHT0, GL_POSITION, 1, 1, 1, 0);
        glPushMatrix();
        glTranslatef(model == GL_FLAT ? -0.8f : 0.8f, -0.9f, 0);
        glScalef(0.5f, 0.5f, 0.5f);
        sphere(8);
        glPopMatrix();
        glDisable(GL_LIGHTING);
    }
    glShadeModel(GL_SMOOTH);
}

void points_and_lines() {
    start(0, 0, 0.1f);
    glViewport(0, 0, kSceneWidth, kSceneHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kSceneWidth, 0, kSceneHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1, 1, 0.5f);
    glBegin(GL_POINTS);
    for (int i = 0; i < 12; ++i)
        glVertex3f(6.5f + 10 * i, 6.5f + 3 * i, 0);
    glEnd();
    const float widths[] = {1, 2, 3, 5};
    for (int i = 0; i < 4; ++i) {
        glLineWidth(widths[i]);
        glColor3f(0.3f + 0.2f * i, 1 - 0.2f * i, 0.5f);
        glBegin(GL_LINES);
        glVertex3f(10, 40.0f + 20 * i, 0); // mostly horizontal
        glVertex3f(60, 48.0f + 20 * i, 0);
        glVertex3f(70.0f + 12 * i, 40, 0); // mostly vertical
        glVertex3f(76.0f + 12 * i, 120, 0);
        glEnd();
    }
    glLineWidth(3);
    glBegin(GL_LINE_LOOP);
    glColor3f(1, 0, 0);
    glVertex3f(20, 20, 0);
    glColor3f(0, 1, 0);
    glVertex3f(50, 25, 0);
    glColor3f(0, 0, 1);
    glVertex3f(35, 34, 0);
    glEnd();
    glLineWidth(1);
}

void matrix_stacks() {
    start(0.1f, 0, 0);
    perspective_view(6);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glRotatef(25, 1, 0, 0);
    for (int i = 0; i < 6; ++i) {
        glPushMatrix();
        glRotatef(60.0f * i, 0, 1, 0);
        glTranslatef(1.8f, 0, 0);
        glPushMatrix();
        glScalef(0.4f, 0.2f + 0.1f * i, 0.4f);
        glColor3f(0.2f + 0.15f * i, 0.8f - 0.1f * i, 0.5f);
        grid(1);
        glPopMatrix();
        glTranslatef(0, 0.7f, 0.1f); // clear of the quad below: no depth fight
        glScalef(0.2f, 0.2f, 0.2f);
        glColor3f(1, 1, 1);
        grid(1);
        glPopMatrix();
    }
    // An overlay in window coordinates under a pushed projection.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, kSceneWidth, 0, kSceneHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(20, 100, 0);
    glScalef(12, 8, 1);
    glColor3f(0, 0.6f, 1);
    grid(1);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    // The perspective is back: a quad in the middle.
    glColor3f(1, 0.5f, 0);
    grid(1);
}

GLuint s_lists = 0;

// Nested lists: a quad, a row of three calling it, the scene calling the row under three
// transforms and state changes, one of them compiled and executed at once.
void compile_lists(GLenum scene_mode) {
    s_lists = glGenLists(3);
    glNewList(s_lists, GL_COMPILE);
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glVertex3f(-0.3f, -0.3f, 0);
    glVertex3f(0.3f, -0.3f, 0);
    glVertex3f(0.3f, 0.3f, 0);
    glVertex3f(-0.3f, 0.3f, 0);
    glEnd();
    glEndList();
    glNewList(s_lists + 1, GL_COMPILE);
    for (int i = -1; i <= 1; ++i) {
        glPushMatrix();
        glTranslatef(0.8f * i, 0, 0);
        glRotatef(20.0f * i, 0, 0, 1);
        glCallList(s_lists);
        glPopMatrix();
    }
    glEndList();
    glNewList(s_lists + 2, scene_mode);
    start(0.05f, 0.05f, 0.05f);
    perspective_view(4);
    lit_defaults();
    glDisable(GL_CULL_FACE);
    set_light(GL_LIGHT0, GL_POSITION, 0.3f, 0.5f, 1, 0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_DIFFUSE);
    const float rows[3][3] = {{1, 0.3f, 0.2f}, {0.2f, 1, 0.3f}, {0.3f, 0.4f, 1}};
    for (int r = 0; r < 3; ++r) {
        glPushMatrix();
        glTranslatef(0, 0.8f * (r - 1), -0.5f * r);
        glColor3f(rows[r][0], rows[r][1], rows[r][2]);
        glCallList(s_lists + 1);
        glPopMatrix();
    }
    glDisable(GL_COLOR_MATERIAL);
    glEndList();
}

void display_lists() {
    if (s_lists == 0)
        compile_lists(GL_COMPILE_AND_EXECUTE); // draws the scene as it compiles it
    else
        glCallList(s_lists + 2);
}

// Sets everything up and draws; the next frame only replays the list, on what was left.
void restore_setup() {
    if (s_lists == 0) compile_lists(GL_COMPILE);
    start(0, 0, 0);
    perspective_view(4);
    lit_defaults();
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 3);
    glFogf(GL_FOG_END, 6);
    set_light(GL_LIGHT0, GL_POSITION, -0.5f, 0.2f, 1, 1);
    glCallList(s_lists + 1);
}

void restore_again() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glCallList(s_lists + 1);
}

const std::map<std::string, void (*)()>& scenes() {
    static const std::map<std::string, void (*)()> table = {
        {"directional_light", directional_light},
        {"point_light", point_light},
        {"spot_light", spot_light},
        {"colour_material", colour_material},
        {"linear_fog", linear_fog},
        {"shading", shading},
        {"points_and_lines", points_and_lines},
        {"matrix_stacks", matrix_stacks},
        {"display_lists", display_lists},
        {"restore_setup", restore_setup},
        {"restore_again", restore_again},
    };
    return table;
}

// ---- The run --------------------------------------------------------------------------------

const std::vector<std::string>* s_steps;
size_t s_next = 0;
void (*s_lose_context)() = nullptr;
std::vector<RenderImage>* s_frames;

void on_idle() {
    while (s_next < s_steps->size() && (*s_steps)[s_next] == "lose-context") {
        if (s_lose_context) s_lose_context();
        ++s_next;
    }
    if (s_next < s_steps->size()) {
        const auto found = scenes().find((*s_steps)[s_next++]);
        if (found != scenes().end()) found->second();
    }
    glFlush();
    tk_swap_buffers();
}

void on_display() {}

void capture(int, int width, int height, const unsigned char* rgba) {
    RenderImage image;
    image.width = width;
    image.height = height;
    image.rgba.assign(rgba, rgba + size_t(width) * height * 4);
    s_frames->push_back(image);
}

} // namespace

const std::vector<std::string>& gl_scene_names() {
    static std::vector<std::string> names;
    if (names.empty())
        for (const auto& entry : scenes())
            names.push_back(entry.first);
    return names;
}

std::vector<RenderImage> draw_gl_scenes(const std::vector<std::string>& steps,
                                        void (*on_lose_context)()) {
    std::vector<RenderImage> frames;
    int count = 0;
    for (const std::string& step : steps)
        count += step != "lose-context";
    s_steps = &steps;
    s_next = 0;
    s_lose_context = on_lose_context;
    s_frames = &frames;
    s_lists = 0;
    egl_backend_reset();
    egl_backend_set_size(kSceneWidth, kSceneHeight);
    for (int frame = 1; frame <= count; ++frame)
        egl_backend_capture_frame(frame);
    egl_backend_on_capture(capture);
    egl_backend_set_last_frame(count);
    tk_set_error_boxes(0);
    tk_set_display_mode(TK_MODE_DOUBLE | TK_MODE_DEPTH);
    tk_set_window_rect(0, 0, kSceneWidth, kSceneHeight);
    if (count == 0 || tk_open_window("scenes") != 1) return frames;
    tk_on_idle(on_idle);
    tk_run(on_display);
    return frames;
}
