#include "assets/asc_writer.h"

#include <cmath>
#include <cstdio>

namespace {

// Six decimals; a value that rounds to zero is written without a sign.
void append_number(std::string& out, double v) {
    char buf[32];
    if (std::fabs(v) < 5e-7) v = 0.0;
    std::snprintf(buf, sizeof buf, "%.6f", v);
    out += buf;
}

} // namespace

std::string format_asc(const char* object_name, const Mesh& m) {
    std::string out;
    char buf[160];
    std::snprintf(buf, sizeof buf, "Named object: \"%s\"\n", object_name);
    out += buf;
    // The reader's count token runs up to the next blank, across a line feed; the blank after
    // the face count keeps the heading of the next line out of it.
    std::snprintf(buf, sizeof buf, "Tri-mesh, Vertices: %d     Faces: %d \n",
                  int(m.vertices.size()), int(m.triangles.size()));
    out += buf;
    out += "Vertex list:\n";
    for (size_t i = 0; i < m.vertices.size(); ++i) {
        // The reader skips the character after each label's colon unseen: it must be a blank.
        std::snprintf(buf, sizeof buf, "Vertex %d:  X: ", int(i));
        out += buf;
        append_number(out, m.vertices[i].x);
        out += "     Y: ";
        append_number(out, m.vertices[i].y);
        out += "     Z: ";
        append_number(out, m.vertices[i].z);
        out += "\n";
    }
    out += "Face list:\n";
    for (size_t i = 0; i < m.triangles.size(); ++i) {
        // C's value ends at a blank, not at the line feed, so the edge flags must follow it.
        std::snprintf(buf, sizeof buf, "Face %d:    A:%d B:%d C:%d AB:1 BC:1 CA:1\n", int(i),
                      int(m.triangles[i][0]), int(m.triangles[i][1]), int(m.triangles[i][2]));
        out += buf;
    }
    return out;
}

int write_asc(const std::string& path, const char* object_name, const Mesh& m) {
    std::string text = format_asc(object_name, m);
    // Binary mode: the same bytes on every host.
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 1;
    size_t written = std::fwrite(text.data(), 1, text.size(), f);
    int closed = std::fclose(f);
    return written == text.size() && closed == 0 ? 0 : 1;
}
