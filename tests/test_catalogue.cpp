// The seventeen model globals and key o. Runs in a folder of small meshes in the catalogue's
// names, the k-th of which has k + 2 vertices.
#include "mesh/catalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

AscModel* const k_models[] = {&g_grua1,    &g_grua2,    &g_pinza1,   &g_pinza2,   &g_pivote1,
                              &g_pivote2,  &g_suelo1,   &g_suelo2,   &g_cilindr1, &g_cilindr2,
                              &g_piedra1,  &g_contene1, &g_contene2, &g_camion1,  &g_camion2,
                              &g_camion2p, &g_camion3};
const char* const k_files[] = {
    "grua1.asc",    "grua2.asc",   "pinza1.asc",   "pinza2.asc",   "pivote1.asc", "pivote2.asc",
    "suelo1.asc",   "suelo2.asc",  "cilindr1.asc", "cilindr2.asc", "piedra1.asc", "contene1.asc",
    "contene2.asc", "camion1.asc", "camion2.asc",  "camion2p.asc", "camion3.asc"};

class Catalogue : public ::testing::Test {
  protected:
    // Each test starts from the flags the models had after construction.
    void SetUp() override {
        for (AscModel* m : k_models) {
            m->points_mode = 0;
            m->smooth_normals = 1;
        }
    }
};

TEST_F(Catalogue, EveryGlobalReadItsOwnFile) {
    for (int k = 0; k < 17; ++k) {
        EXPECT_STREQ(k_models[k]->file_name, k_files[k]);
        EXPECT_EQ(k_models[k]->vertex_count, k + 3) << k_files[k];
        EXPECT_EQ(k_models[k]->face_count, 1) << k_files[k];
    }
}

TEST_F(Catalogue, ModelsAreBuiltWithTheDrawingDefaults) {
    for (AscModel* m : k_models) {
        EXPECT_EQ(m->height_colour_mode, 0) << m->file_name;
        EXPECT_EQ(m->position_colour_mode, 0) << m->file_name;
        EXPECT_EQ(m->colour_every_vertex, 1) << m->file_name;
        EXPECT_EQ(m->scale, 1.0f) << m->file_name;
    }
}

TEST_F(Catalogue, TogglePointsModeSwitchesAllSeventeen) {
    toggle_points_mode();
    for (AscModel* m : k_models)
        EXPECT_EQ(m->points_mode, 1) << m->file_name;
    toggle_points_mode();
    for (AscModel* m : k_models)
        EXPECT_EQ(m->points_mode, 0) << m->file_name;
}

TEST_F(Catalogue, FirstModelDecidesForAll) {
    for (AscModel* m : k_models)
        m->points_mode = 1;
    g_grua1.points_mode = 0;
    toggle_points_mode();
    for (AscModel* m : k_models)
        EXPECT_EQ(m->points_mode, 1) << m->file_name;

    g_camion3.points_mode = 0;
    toggle_points_mode(); // g_grua1 is 1: everything goes back to 0
    for (AscModel* m : k_models)
        EXPECT_EQ(m->points_mode, 0) << m->file_name;
}

TEST_F(Catalogue, PointsModeLeavesTheOtherFlagsAlone) {
    for (AscModel* m : {&g_camion1, &g_camion2, &g_contene1, &g_piedra1})
        m->smooth_normals = 0;
    toggle_points_mode();
    toggle_points_mode();
    for (AscModel* m : k_models) {
        bool flat = m == &g_camion1 || m == &g_camion2 || m == &g_contene1 || m == &g_piedra1;
        EXPECT_EQ(m->smooth_normals, flat ? 0 : 1) << m->file_name;
    }
}

} // namespace
