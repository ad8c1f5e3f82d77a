// The seventeen models of the scene, built before the entry point in this order.
#pragma once

#include "mesh/asc_model.h"

extern AscModel g_grua1;
extern AscModel g_grua2;
extern AscModel g_pinza1;
extern AscModel g_pinza2;
extern AscModel g_pivote1;
extern AscModel g_pivote2;
extern AscModel g_suelo1;
extern AscModel g_suelo2;
extern AscModel g_cilindr1;
extern AscModel g_cilindr2;
extern AscModel g_piedra1;
extern AscModel g_contene1;
extern AscModel g_contene2;
extern AscModel g_camion1;
extern AscModel g_camion2;
extern AscModel g_camion2p;
extern AscModel g_camion3;

// Key o: every model to points, or every model back to its own drawing; g_grua1 decides.
void toggle_points_mode();

// Static-initialisation priority of the models: before the spring (spring/spring.h) and the
// lift step (app), whatever order the objects are linked in.
#define CRANE_INIT_MODELS 1000
