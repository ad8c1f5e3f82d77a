// The floor under any GLX program's start-up: open the display, pick a double-buffered visual
// with depth, make a window and a context, draw one triangle and present it. Prints when the
// frame was presented, as the start-up probe does, and ends there. Benchmark only.
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <cstdio>
#include <ctime>

int main() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 1;
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* v = glXChooseVisual(d, DefaultScreen(d), attributes);
    if (!v) return 1;
    Window root = RootWindow(d, v->screen);
    XSetWindowAttributes a{};
    a.colormap = XCreateColormap(d, root, v->visual, AllocNone);
    a.event_mask = StructureNotifyMask;
    Window w = XCreateWindow(d, root, 0, 0, 632, 425, 0, v->depth, InputOutput, v->visual,
                             CWColormap | CWEventMask, &a);
    XMapWindow(d, w);
    XEvent e;
    do
        XNextEvent(d, &e);
    while (e.type != MapNotify);
    GLXContext c = glXCreateContext(d, v, nullptr, True);
    if (!c || !glXMakeCurrent(d, w, c)) return 1;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBegin(GL_TRIANGLES);
    glVertex2f(0, 0);
    glVertex2f(1, 0);
    glVertex2f(0, 1);
    glEnd();
    glXSwapBuffers(d, w);
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    std::fprintf(stderr, "glx-floor: first-frame %.3f\n", ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6);
    return 0;
}
