#include "app/scene.h"

#include <GL/gl.h>

#include "app/main.h"
#include "app/timeline.h"
#include "mesh/catalogue.h"
#include "spring/spring.h"
#include "toolkit/tk_shapes.h"

namespace {

// Each pair's detailed member is drawn while g_use_variant2 is set, the plain one otherwise.
AscModel& pick(AscModel& variant1, AscModel& variant2) {
    return g_use_variant2 ? variant2 : variant1;
}

void shininess(float value) {
    glMaterialf(GL_FRONT, GL_SHININESS, value);
}

const float k_truck_light_position[4] = {0.0f, 7.0f, 10.0f, 1.0f};

} // namespace

void draw_scenery() {
    // Ground strips, bars, tower, its footing and the container. The strips' stretches along z
    // are undone by inverse scales, so later steps see an unstretched frame again.
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -35.0f);
    glColor3f(0.1f, 0.1f, 0.1f);
    glScalef(1.0f, 1.0f, 10.0f);
    g_suelo1.draw(10.0f);
    glScalef(1.0f, 1.0f, 0.1f);
    glTranslatef(-15.0f, 0.0f, 0.0f);
    glColor3f(0.3f, 0.1f, 0.0f);
    glScalef(1.0f, 1.0f, 5.0f);
    g_suelo1.draw(20.0f);
    glScalef(1.0f, 1.0f, 0.2f);
    shininess(2.0f);
    glTranslatef(30.0f, 0.0f, 0.0f);
    glColor3f(0.3f, 0.3f, 0.3f);
    glScalef(1.0f, 1.0f, 5.0f);
    pick(g_suelo1, g_suelo2).draw(20.0f);
    glTranslatef(-15.0f, 0.0f, 0.0f);
    glScalef(1.0f, 1.0f, 0.2f);
    shininess(128.0f);
    glColor3f(0.7f, 0.7f, 0.7f);
    glTranslatef(-5.0f, 0.0f, 0.0f);
    tk_solid_box(0.5, 0.5, 100.0);
    glTranslatef(10.0f, 0.0f, 0.0f);
    tk_solid_box(0.5, 0.5, 100.0);
    glTranslatef(-5.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, 35.0f);
    glColor3f(0.5f, 0.5f, 0.5f);
    pick(g_cilindr1, g_cilindr2).draw(30.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glColor3f(0.5f, 0.5f, 0.5f);
    pick(g_pivote1, g_pivote2).draw(5.0f);
    glColor3f(1.0f, 0.5f, 0.0f);
    glTranslatef(-15.0f, 0.0f, 3.0f);
    glRotatef(-90.0f, 0.0f, 0.0f, 1.0f);
    pick(g_contene1, g_contene2).draw(20.0f);
    glPopMatrix();

    // Moon and stars: unlit, unfogged, flattened to a tenth along the scene's z.
    glPushMatrix();
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glTranslatef(-45.0f, 40.0f, -50.0f);
    glRotatef(-90.0f, 0.0f, 1.0f, 0.0f);
    glScalef(0.1f, 1.0f, 1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    g_camion3.draw(10.0f);
    glTranslatef(0.5f, 0.0f, -5.0f);
    glColor3f(0.0f, 0.0f, 0.0f);
    g_camion3.draw(10.0f);
    glTranslatef(0.0f, 10.0f, -60.0f);
    glColor3f(0.7f, 0.7f, 0.8f);
    g_camion3.draw(2.0f);
    glTranslatef(0.0f, 10.0f, -30.0f);
    g_camion3.draw(2.5f);
    glTranslatef(0.0f, -20.0f, -5.0f);
    g_camion3.draw(1.5f);
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    glPopMatrix();
}

void draw_pincers() {
    glPushMatrix();
    for (int jaw = 0; jaw < 4; ++jaw) {
        glPushMatrix();
        glRotatef(g_jaw_angle, 0.0f, 1.0f, 0.0f);
        pick(g_pinza1, g_pinza2).draw(1.0f);
        glPopMatrix();
        glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    }
    glPopMatrix();
}

void draw_crane() {
    glPushMatrix();
    glTranslatef(0.0f, 25.0f, 0.0f);
    glColor3f(0.6f, 0.6f, 0.6f);
    pick(g_grua1, g_grua2).draw(25.0f);
    glColor3f(0.5f, 0.5f, 0.4f);
    glTranslatef(15.0f, 0.0f, 0.0f); // where the spring hangs from the jib
    glLineWidth(2.0f);
    g_spring.draw(2.0f);
    g_spring.move_to_end();
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f); // local +z points down from here on
    glScalef(3.0f, 3.0f, 3.0f);
    glColor3f(0.6f, 0.5f, 0.5f);
    shininess(8.0f);
    pick(g_pivote1, g_pivote2).draw(1.0f);
    glTranslatef(0.0f, 0.0f, 0.4f);
    draw_pincers();
    shininess(128.0f);
    if (g_stone_visible) {
        shininess(12.0f);
        glTranslatef(0.0f, 0.0f, float(g_stone_drop + 0.7));
        glColor3f(0.9f, 0.1f, 0.1f);
        g_piedra1.draw(0.7f);
        shininess(128.0f);
    }
    glPopMatrix();
}

void draw_truck() {
    glPushMatrix();
    shininess(44.0f);
    glMaterialfv(GL_FRONT, GL_SPECULAR, g_black);
    glTranslatef(14.5f, -0.5f, 0.0f);
    glTranslatef(1.0f, 0.0f, 0.0f);
    glColor3f(0.1f, 0.0f, 0.7f);
    g_camion1.draw(11.0f);
    glColor3f(0.7f, 0.7f, 0.7f);
    // Light 2 warms the cab alone: on just around its draw.
    glEnable(GL_LIGHT2);
    glLightfv(GL_LIGHT2, GL_POSITION, k_truck_light_position);
    pick(g_camion2, g_camion2p).draw(6.5f);
    glDisable(GL_LIGHT2);

    // Headlamps: unlit yellow spheres, each carrying a spot light at its centre.
    glPushMatrix();
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glColor3f(1.0f, 1.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glTranslatef(-10.5f, 2.5f, 2.7f);
    g_camion3.draw(1.0f);
    glTranslatef(0.0f, 0.0f, -4.5f);
    g_camion3.draw(1.0f);
    glRotatef(-90.0f, 0.0f, 1.0f, 0.0f);
    glLightfv(GL_LIGHT3, GL_POSITION, g_black); // (0, 0, 0, 1): the frame's origin
    glTranslatef(4.5f, 0.0f, 0.0f);
    glLightfv(GL_LIGHT4, GL_POSITION, g_black);
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    glPopMatrix();

    // Wheels, black with a black highlight.
    glColor3f(0.0f, 0.0f, 0.0f);
    glTranslatef(-3.0f, 1.85f, -2.5f);
    g_camion3.draw(3.0f);
    glTranslatef(0.0f, 0.0f, 10.0f);
    g_camion3.draw(3.0f);
    glTranslatef(6.0f, 0.0f, 0.0f);
    g_camion3.draw(3.0f);
    glTranslatef(0.0f, 0.0f, -10.0f);
    g_camion3.draw(3.0f);
    glMaterialfv(GL_FRONT, GL_SPECULAR, g_white);
    shininess(128.0f);
    glPopMatrix();
}
