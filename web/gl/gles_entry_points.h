// The WebGL 2 / OpenGL ES 3.0 calls the layer draws with, under the names it calls them by. In
// the web build they are emscripten's own emscripten_glXxx functions. Natively they are function
// pointers that gles_entry_points_load() fills from the current EGL display's driver: the layer
// defines glEnable, glBegin... itself, so the driver's GLES entry points are reached only through
// eglGetProcAddress, never linked by name.
#pragma once

#include <GL/gl.h>

#ifdef __EMSCRIPTEN__
#include <webgl/webgl1.h>
#include <webgl/webgl2.h>
#else

// X(return type, name, parameters, arguments): every ES call the layer makes, and those the
// headless backend reads a frame back with (Finish, PixelStorei, ReadBuffer, ReadPixels).
#define GLES_ENTRY_POINTS(X)                                                                       \
    X(void, AttachShader, (GLuint program, GLuint shader), (program, shader))                      \
    X(void, BindAttribLocation, (GLuint program, GLuint index, const GLchar* name),                \
      (program, index, name))                                                                      \
    X(void, BindBuffer, (GLenum target, GLuint buffer), (target, buffer))                          \
    X(void, BindVertexArray, (GLuint array), (array))                                              \
    X(void, BlendFunc, (GLenum src, GLenum dst), (src, dst))                                       \
    X(void, BufferData, (GLenum target, GLsizeiptr size, const void* data, GLenum usage),          \
      (target, size, data, usage))                                                                 \
    X(void, Clear, (GLbitfield mask), (mask))                                                      \
    X(void, ClearColor, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))                \
    X(void, ColorMask, (GLboolean r, GLboolean g, GLboolean b, GLboolean a), (r, g, b, a))         \
    X(void, CompileShader, (GLuint shader), (shader))                                              \
    X(GLuint, CreateProgram, (), ())                                                               \
    X(GLuint, CreateShader, (GLenum type), (type))                                                 \
    X(void, DeleteBuffers, (GLsizei n, const GLuint* buffers), (n, buffers))                       \
    X(void, DeleteProgram, (GLuint program), (program))                                            \
    X(void, DeleteShader, (GLuint shader), (shader))                                               \
    X(void, DeleteVertexArrays, (GLsizei n, const GLuint* arrays), (n, arrays))                    \
    X(void, Disable, (GLenum cap), (cap))                                                          \
    X(void, DrawArrays, (GLenum mode, GLint first, GLsizei count), (mode, first, count))           \
    X(void, Enable, (GLenum cap), (cap))                                                           \
    X(void, EnableVertexAttribArray, (GLuint index), (index))                                      \
    X(void, Finish, (), ())                                                                        \
    X(void, FrontFace, (GLenum mode), (mode))                                                      \
    X(void, GenBuffers, (GLsizei n, GLuint * buffers), (n, buffers))                               \
    X(void, GenVertexArrays, (GLsizei n, GLuint * arrays), (n, arrays))                            \
    X(void, GetIntegerv, (GLenum pname, GLint * data), (pname, data))                              \
    X(void, GetProgramInfoLog, (GLuint program, GLsizei size, GLsizei * length, GLchar * log),     \
      (program, size, length, log))                                                                \
    X(void, GetProgramiv, (GLuint program, GLenum pname, GLint * value), (program, pname, value))  \
    X(void, GetShaderInfoLog, (GLuint shader, GLsizei size, GLsizei * length, GLchar * log),       \
      (shader, size, length, log))                                                                 \
    X(void, GetShaderiv, (GLuint shader, GLenum pname, GLint * value), (shader, pname, value))     \
    X(GLint, GetUniformLocation, (GLuint program, const GLchar* name), (program, name))            \
    X(void, LinkProgram, (GLuint program), (program))                                              \
    X(void, PixelStorei, (GLenum pname, GLint value), (pname, value))                              \
    X(void, ReadBuffer, (GLenum mode), (mode))                                                     \
    X(void, ReadPixels,                                                                            \
      (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels), \
      (x, y, width, height, format, type, pixels))                                                 \
    X(void, ShaderSource,                                                                          \
      (GLuint shader, GLsizei count, const GLchar* const* text, const GLint* length),              \
      (shader, count, text, length))                                                               \
    X(void, Uniform1f, (GLint location, GLfloat v), (location, v))                                 \
    X(void, Uniform2fv, (GLint location, GLsizei count, const GLfloat* v), (location, count, v))   \
    X(void, Uniform4fv, (GLint location, GLsizei count, const GLfloat* v), (location, count, v))   \
    X(void, UniformMatrix3fv,                                                                      \
      (GLint location, GLsizei count, GLboolean transpose, const GLfloat* v),                      \
      (location, count, transpose, v))                                                             \
    X(void, UniformMatrix4fv,                                                                      \
      (GLint location, GLsizei count, GLboolean transpose, const GLfloat* v),                      \
      (location, count, transpose, v))                                                             \
    X(void, UseProgram, (GLuint program), (program))                                               \
    X(void, VertexAttribPointer,                                                                   \
      (GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride,                \
       const void* offset),                                                                        \
      (index, size, type, normalized, stride, offset))                                             \
    X(void, Viewport, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height))

#define GLES_DECLARE_ENTRY_POINT(result, name, parameters, arguments)                              \
    extern result(*emscripten_gl##name) parameters;
GLES_ENTRY_POINTS(GLES_DECLARE_ENTRY_POINT)
#undef GLES_DECLARE_ENTRY_POINT

// Fills every entry point from the EGL driver (an OpenGL ES 3 context must be current before the
// first call); false, naming the first missing one on standard error, when the driver lacks
// any. An entry point already set is kept: a program may put its own in front of the driver's
// (bench-gl-layer times the driver's share this way).
bool gles_entry_points_load();

#endif
