// The scene's three drawing routines, each leaving the matrix, the shininess, the specular
// colour and the enabled states as it found them.
#pragma once

void draw_scenery();
void draw_crane();
void draw_pincers();
void draw_truck();
