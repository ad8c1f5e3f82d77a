// Pixel formats, surface and context on WGL: a hidden window of the backend's own class gives
// the device context a WGL context needs, and every frame is drawn into a framebuffer object of
// the client size, so that the picture never depends on a window being shown or uncovered.
#define NOMINMAX
#include <windows.h>

#include "toolkit/headless/headless.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace {

const wchar_t k_class_name[] = L"CraneHeadlessGL";

bool g_display_open = false;
bool g_display_tried = false;
// The kept formats: their WGL index and their description, in WGL's order.
std::vector<int> g_wgl_indexes;

// A window can take a pixel format only once, so every surface has a hidden window of its own.
HWND g_window = nullptr;
HDC g_dc = nullptr;
HGLRC g_context = nullptr;
int g_surface_format = 0;
int g_width = 0;
int g_height = 0;

// The framebuffer object the frames are drawn into, made once the context is first current.
PFNGLGENFRAMEBUFFERSEXTPROC p_gen_framebuffers = nullptr;
PFNGLDELETEFRAMEBUFFERSEXTPROC p_delete_framebuffers = nullptr;
PFNGLBINDFRAMEBUFFEREXTPROC p_bind_framebuffer = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC p_check_framebuffer_status = nullptr;
PFNGLGENRENDERBUFFERSEXTPROC p_gen_renderbuffers = nullptr;
PFNGLDELETERENDERBUFFERSEXTPROC p_delete_renderbuffers = nullptr;
PFNGLBINDRENDERBUFFEREXTPROC p_bind_renderbuffer = nullptr;
PFNGLRENDERBUFFERSTORAGEEXTPROC p_renderbuffer_storage = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC p_framebuffer_renderbuffer = nullptr;
GLuint g_framebuffer = 0;
GLuint g_colour_buffer = 0;
GLuint g_depth_buffer = 0;

HWND create_hidden_window() {
    // Never shown: WS_VISIBLE is left out and ShowWindow is never called.
    return CreateWindowExW(0, k_class_name, L"", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Keep the 8-bit-per-channel RGBA formats that draw to a window with OpenGL: the formats a
// true-colour window would offer. WGL's order is kept.
void collect_formats() {
    HWND probe = create_hidden_window();
    if (!probe) return;
    HDC dc = GetDC(probe);
    PIXELFORMATDESCRIPTOR pfd{};
    const int count = dc ? DescribePixelFormat(dc, 1, sizeof pfd, &pfd) : 0;
    for (int i = 1; i <= count; ++i) {
        if (!DescribePixelFormat(dc, i, sizeof pfd, &pfd)) continue;
        const DWORD window_gl = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
        if ((pfd.dwFlags & window_gl) != window_gl || pfd.iPixelType != PFD_TYPE_RGBA) continue;
        if (pfd.cRedBits != 8 || pfd.cGreenBits != 8 || pfd.cBlueBits != 8) continue;
        if (pfd.cAlphaBits != 0 && pfd.cAlphaBits != 8) continue;
        PlatPixelFormat f{};
        f.size = PLAT_PFD_SIZE;
        f.version = PLAT_PFD_VERSION;
        // The PLAT_PFD_* bits are PFD_*'s own; the swap and composition hints mean nothing here.
        f.flags = pfd.dwFlags & 0x1FF;
        f.pixel_type = PLAT_PFD_TYPE_RGBA;
        f.red_bits = pfd.cRedBits;
        f.green_bits = pfd.cGreenBits;
        f.blue_bits = pfd.cBlueBits;
        f.alpha_bits = pfd.cAlphaBits;
        f.color_bits = f.red_bits + f.green_bits + f.blue_bits;
        f.red_shift = f.green_bits + f.blue_bits;
        f.green_shift = f.blue_bits;
        f.accum_bits = pfd.cAccumBits;
        f.accum_alpha_bits = pfd.cAccumAlphaBits;
        f.depth_bits = pfd.cDepthBits;
        f.stencil_bits = pfd.cStencilBits;
        f.aux_buffers = pfd.cAuxBuffers;
        f.layer_type = PLAT_PFD_MAIN_PLANE;
        g_wgl_indexes.push_back(i);
        g_headless_formats.push_back(f);
    }
    if (dc) ReleaseDC(probe, dc);
    DestroyWindow(probe);
}

bool has_extension(const char* name) {
    const char* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const size_t n = std::strlen(name);
    for (const char* p = all; p && (p = std::strstr(p, name)) != nullptr; p += n)
        if ((p == all || p[-1] == ' ') && (p[n] == ' ' || p[n] == 0)) return true;
    return false;
}

template <typename Proc> bool load(Proc* proc, const char* name) {
    *proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(wglGetProcAddress(name)));
    return *proc != nullptr;
}

bool load_framebuffer_procs() {
    if (!has_extension("GL_EXT_framebuffer_object")) return false;
    return load(&p_gen_framebuffers, "glGenFramebuffersEXT") &&
           load(&p_delete_framebuffers, "glDeleteFramebuffersEXT") &&
           load(&p_bind_framebuffer, "glBindFramebufferEXT") &&
           load(&p_check_framebuffer_status, "glCheckFramebufferStatusEXT") &&
           load(&p_gen_renderbuffers, "glGenRenderbuffersEXT") &&
           load(&p_delete_renderbuffers, "glDeleteRenderbuffersEXT") &&
           load(&p_bind_renderbuffer, "glBindRenderbufferEXT") &&
           load(&p_renderbuffer_storage, "glRenderbufferStorageEXT") &&
           load(&p_framebuffer_renderbuffer, "glFramebufferRenderbufferEXT");
}

GLuint make_renderbuffer(GLenum internal_format) {
    GLuint buffer = 0;
    p_gen_renderbuffers(1, &buffer);
    p_bind_renderbuffer(GL_RENDERBUFFER_EXT, buffer);
    p_renderbuffer_storage(GL_RENDERBUFFER_EXT, internal_format, g_width, g_height);
    return buffer;
}

GLenum depth_format(int depth_bits) {
    if (depth_bits <= 16) return GL_DEPTH_COMPONENT16;
    if (depth_bits <= 24) return GL_DEPTH_COMPONENT24;
    return GL_DEPTH_COMPONENT32;
}

void destroy_framebuffer() {
    if (g_framebuffer == 0) return;
    p_bind_framebuffer(GL_FRAMEBUFFER_EXT, 0);
    p_delete_framebuffers(1, &g_framebuffer);
    if (g_colour_buffer) p_delete_renderbuffers(1, &g_colour_buffer);
    if (g_depth_buffer) p_delete_renderbuffers(1, &g_depth_buffer);
    g_framebuffer = g_colour_buffer = g_depth_buffer = 0;
}

// Colour, depth and stencil buffers as the chosen format describes them, of the client size;
// needs the context current. Left bound: everything the program draws goes there.
bool create_framebuffer() {
    if (g_framebuffer != 0) return true;
    if (!load_framebuffer_procs()) return false;
    const PlatPixelFormat& f = g_headless_formats[g_surface_format - 1];
    p_gen_framebuffers(1, &g_framebuffer);
    p_bind_framebuffer(GL_FRAMEBUFFER_EXT, g_framebuffer);
    g_colour_buffer = make_renderbuffer(f.alpha_bits > 0 ? GL_RGBA8 : GL_RGB8);
    p_framebuffer_renderbuffer(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                               g_colour_buffer);
    if (f.stencil_bits > 0 && has_extension("GL_EXT_packed_depth_stencil")) {
        // One packed buffer serves as both attachments.
        g_depth_buffer = make_renderbuffer(GL_DEPTH24_STENCIL8_EXT);
        p_framebuffer_renderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                   g_depth_buffer);
        p_framebuffer_renderbuffer(GL_FRAMEBUFFER_EXT, GL_STENCIL_ATTACHMENT_EXT,
                                   GL_RENDERBUFFER_EXT, g_depth_buffer);
    } else if (f.depth_bits > 0) {
        g_depth_buffer = make_renderbuffer(depth_format(f.depth_bits));
        p_framebuffer_renderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                   g_depth_buffer);
    }
    p_bind_renderbuffer(GL_RENDERBUFFER_EXT, 0);
    if (p_check_framebuffer_status(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
        destroy_framebuffer();
        return false;
    }
    // A new context starts with the viewport of its window; the program expects the client's.
    glViewport(0, 0, g_width, g_height);
    glScissor(0, 0, g_width, g_height);
    return true;
}

} // namespace

bool headless_display_open() {
    if (g_display_open) return true;
    if (g_display_tried) return false;
    g_display_tried = true;
    WNDCLASSW wc{};
    wc.style = CS_OWNDC; // each hidden window keeps its device context
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = k_class_name;
    if (!RegisterClassW(&wc)) return false;
    collect_formats();
    g_display_open = true;
    return true;
}

bool headless_surface_create(int format_index, int width, int height) {
    if (!g_display_open || format_index < 1 ||
        format_index > static_cast<int>(g_headless_formats.size()))
        return false;
    headless_surface_destroy();
    HWND window = create_hidden_window();
    if (!window) return false;
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd{};
    const int wgl_index = g_wgl_indexes[format_index - 1];
    if (!dc || !DescribePixelFormat(dc, wgl_index, sizeof pfd, &pfd) ||
        !SetPixelFormat(dc, wgl_index, &pfd)) {
        if (dc) ReleaseDC(window, dc);
        DestroyWindow(window);
        return false;
    }
    g_window = window;
    g_dc = dc;
    g_surface_format = format_index;
    g_width = width;
    g_height = height;
    return true;
}

bool headless_context_create() {
    if (!g_dc) return false;
    // A legacy context: immediate mode, display lists and the fixed-function pipeline.
    g_context = wglCreateContext(g_dc);
    return g_context != nullptr;
}

bool headless_make_current(bool current) {
    if (!g_display_open) return false;
    if (!current) return wglMakeCurrent(nullptr, nullptr);
    if (!g_context || !g_dc) return false;
    if (!wglMakeCurrent(g_dc, g_context)) return false;
    if (create_framebuffer()) return true;
    wglMakeCurrent(nullptr, nullptr);
    return false;
}

void headless_context_destroy() {
    if (!g_context) return;
    if (wglGetCurrentContext() != g_context) wglMakeCurrent(g_dc, g_context);
    // The framebuffer object belongs to the context and goes with it.
    if (wglGetCurrentContext() == g_context) destroy_framebuffer();
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(g_context);
    g_context = nullptr;
    g_framebuffer = g_colour_buffer = g_depth_buffer = 0;
}

void headless_surface_destroy() {
    if (!g_window) return;
    ReleaseDC(g_window, g_dc);
    DestroyWindow(g_window);
    g_window = nullptr;
    g_dc = nullptr;
    g_surface_format = 0;
}
