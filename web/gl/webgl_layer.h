// The GL 1.1 layer's life in the WebGL 2 context the toolkit's web backend makes (natively: an
// OpenGL ES 3 context on EGL): the program's GL and GLU calls land in web/gl/, which draws
// through that context.
#pragma once

// Sets the layer up in the WebGL 2 context the backend just made current; false when its
// shaders cannot be built.
bool webgl_layer_init();
// Forgets the layer's WebGL objects (the backend is about to destroy the context).
void webgl_layer_release();
// Draws whatever is still batched; the backend calls it before presenting a frame.
void webgl_layer_flush();

// A lost context and its return. Every GPU object the layer owns (programs, buffers, vertex
// arrays) is made anew in the restored context from what the layer keeps itself (matrices,
// lights, materials, fog, display lists, the viewport), so the program draws on unchanged.
// Lost: forgets the objects' names without deleting them (they went with the context) and
// drops what is drawn until the return. Restored: the new context is current; it may be called
// without lost before it.
extern "C" void webgl_layer_context_lost(void);
extern "C" void webgl_layer_context_restored(void);
