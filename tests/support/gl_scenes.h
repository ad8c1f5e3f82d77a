// Small scenes drawn with the GL 1.1 and GLU calls the program makes, one feature each, and the
// headless backend that draws them: the same code is linked once with Mesa's own GL and once
// with the layer of web/gl/ over OpenGL ES 3, and the two pictures are compared.
#pragma once

#include "render/render_image.h"

#include <string>
#include <vector>

constexpr int kSceneWidth = 128;
constexpr int kSceneHeight = 128;

// Every scene by name; names outside this list draw nothing.
const std::vector<std::string>& gl_scene_names();

// Runs the toolkit's loop on the headless backend, drawing one named scene a frame, and returns
// the frames. A step "lose-context" draws no frame: it calls on_lose_context between frames.
std::vector<RenderImage> draw_gl_scenes(const std::vector<std::string>& steps,
                                        void (*on_lose_context)() = nullptr);
