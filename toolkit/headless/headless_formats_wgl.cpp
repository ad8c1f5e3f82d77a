// Pixel formats, surface and context on WGL: a hidden window of the backend's own class gives
// the device context a WGL context needs, and every frame is drawn into a framebuffer object of
// the client size, so that the picture never depends on a window being shown or uncovered.
#define NOMINMAX
#include <windows.h>

#include "toolkit/headless/headless.h"
#include "toolkit/pixel_format.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace {

const wchar_t k_class_name[] = L"CraneHeadlessGL";

bool g_display_open = false;
bool g_display_tried = false;
// The kept formats: their WGL index and their description, in WGL's order.
std::vector<int> g_wgl_indexes;
std::vector<PlatPixelFormat> g_formats;

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

bool is_dc(TkHandle dc) {
    return dc != 0 && dc == g_headless.dc;
}

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
        g_formats.push_back(f);
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
    const PlatPixelFormat& f = g_formats[g_surface_format - 1];
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
    if (!g_display_open || format_index < 1 || format_index > static_cast<int>(g_formats.size()))
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

void headless_read_frame(std::vector<unsigned char>* rgba) {
    const size_t row = static_cast<size_t>(g_width) * 4;
    std::vector<unsigned char> bottom_up(row * g_height);
    // Read from the buffer that was drawn into, without disturbing the program's pixel state.
    GLint draw_buffer = GL_COLOR_ATTACHMENT0_EXT, read_buffer = GL_COLOR_ATTACHMENT0_EXT;
    GLint alignment = 4;
    glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
    glGetIntegerv(GL_READ_BUFFER, &read_buffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glReadBuffer(static_cast<GLenum>(draw_buffer));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, g_width, g_height, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glReadBuffer(static_cast<GLenum>(read_buffer));
    // GL's rows start at the bottom; pictures start at the top.
    rgba->resize(bottom_up.size());
    for (int y = 0; y < g_height; ++y)
        std::memcpy(rgba->data() + row * y, bottom_up.data() + row * (g_height - 1 - y), row);
}

// ---- Platform operations -------------------------------------------------------------------

int headless_choose_pixel_format(TkHandle dc, const PlatPixelFormat* request) {
    if (!is_dc(dc)) return 0;
    return pixel_format_match(request, g_formats.data(), (int)g_formats.size());
}

int headless_describe_pixel_format(TkHandle dc, int index, PlatPixelFormat* out) {
    if (!is_dc(dc)) return 0;
    const int count = static_cast<int>(g_formats.size());
    if (out == nullptr) return count;
    if (index < 1 || index > count) return 0;
    *out = g_formats[index - 1];
    return count;
}

int headless_get_pixel_format(TkHandle dc) {
    return is_dc(dc) ? g_headless.format : 0;
}

int headless_set_pixel_format(TkHandle dc, int index, const PlatPixelFormat*) {
    // A window's format is set once.
    if (!is_dc(dc) || g_headless.format != 0) return 0;
    if (!headless_surface_create(index, g_headless.width, g_headless.height)) return 0;
    g_headless.format = index;
    return 1;
}

TkHandle headless_gl_create_context(TkHandle dc) {
    if (!is_dc(dc) || g_headless.format == 0 || g_headless.context != 0) return 0;
    if (!headless_context_create()) return 0;
    g_headless.context = 0x3000 + g_headless.serial;
    return g_headless.context;
}

int headless_gl_make_current(TkHandle dc, TkHandle context) {
    if (context == 0) return headless_make_current(false);
    if (!is_dc(dc) || context != g_headless.context) return 0;
    return headless_make_current(true);
}

int headless_gl_delete_context(TkHandle context) {
    if (context == 0 || context != g_headless.context) return 0;
    headless_context_destroy();
    g_headless.context = 0;
    return 1;
}

int headless_swap_buffers(TkHandle dc) {
    if (!is_dc(dc) || g_headless.context == 0) return 0;
    headless_present_frame();
    return 1;
}
