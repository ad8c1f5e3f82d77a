// The seventeen models of the scene. Each is built, reading its file, before the entry point:
// all at one static-initialisation priority ahead of the spring and the lift step, and within
// it in the order of definition here, so that exit destroys them in the reverse order.
#include "mesh/catalogue.h"

#define CRANE_MODEL __attribute__((init_priority(CRANE_INIT_MODELS)))

AscModel g_grua1 CRANE_MODEL("grua1.asc");
AscModel g_grua2 CRANE_MODEL("grua2.asc");
AscModel g_pinza1 CRANE_MODEL("pinza1.asc");
AscModel g_pinza2 CRANE_MODEL("pinza2.asc");
AscModel g_pivote1 CRANE_MODEL("pivote1.asc");
AscModel g_pivote2 CRANE_MODEL("pivote2.asc");
AscModel g_suelo1 CRANE_MODEL("suelo1.asc");
AscModel g_suelo2 CRANE_MODEL("suelo2.asc");
AscModel g_cilindr1 CRANE_MODEL("cilindr1.asc");
AscModel g_cilindr2 CRANE_MODEL("cilindr2.asc");
AscModel g_piedra1 CRANE_MODEL("piedra1.asc");
AscModel g_contene1 CRANE_MODEL("contene1.asc");
AscModel g_contene2 CRANE_MODEL("contene2.asc");
AscModel g_camion1 CRANE_MODEL("camion1.asc");
AscModel g_camion2 CRANE_MODEL("camion2.asc");
AscModel g_camion2p CRANE_MODEL("camion2p.asc");
AscModel g_camion3 CRANE_MODEL("camion3.asc");

void toggle_points_mode() {
    static AscModel* const models[] = {
        &g_grua1,    &g_grua2,   &g_pinza1,   &g_pinza2,   &g_pivote1, &g_pivote2,
        &g_suelo1,   &g_suelo2,  &g_cilindr1, &g_cilindr2, &g_piedra1, &g_contene1,
        &g_contene2, &g_camion1, &g_camion2,  &g_camion2p, &g_camion3};
    const int32_t value = g_grua1.points_mode ? 0 : 1;
    for (AscModel* m : models)
        m->points_mode = value;
}
