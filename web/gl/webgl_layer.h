// The GL 1.1 layer's life in the WebGL 2 context the toolkit's web backend makes: the program's
// GL and GLU calls land in web/gl/, which draws through that context.
#pragma once

// Sets the layer up in the WebGL 2 context the backend just made current; false when its
// shaders cannot be built.
bool webgl_layer_init();
// Forgets the layer's WebGL objects (the backend is about to destroy the context).
void webgl_layer_release();
// Draws whatever is still batched; the backend calls it before presenting a frame.
void webgl_layer_flush();
