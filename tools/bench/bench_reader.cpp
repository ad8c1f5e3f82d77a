// Speed of the ASC reader: both passes over a generated multi-megabyte mesh file, beside a
// plain scan of the same file through the same kind of stream, one character at a time.
//   bench-reader [FILE]   (FILE is written first; default /tmp/bench_reader.asc)
#include "mesh/asc_model.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int k_vertices = 80000;
const int k_faces = 160000;
const int k_rounds = 7;

// A grid-like mesh in the layout the scene's files use.
long write_mesh(const char* path) {
    FILE* f = fopen(path, "w");
    if (!f) {
        perror(path);
        exit(1);
    }
    fprintf(f, "Named object: \"bench\"\nTri-mesh, Vertices: %d     Faces: %d\nVertex list:\n",
            k_vertices, k_faces);
    for (int i = 0; i < k_vertices; ++i)
        fprintf(f, "Vertex %d:  X: %.6f     Y: %.6f     Z: %.6f\n", i, (i % 400) * 0.25,
                (i * 7 % 113) * 0.01 - 0.5, (i / 400) * -0.25);
    fprintf(f, "Face list:\n");
    for (int i = 0; i < k_faces; ++i) {
        int a = i / 2 % (k_vertices - 401);
        int b = a + 1 + (i & 1) * 400;
        int c = a + 400 + (i & 1 ? 0 : 1) - (i & 1);
        fprintf(f, "Face %d:    A:%d B:%d C:%d AB:1 BC:1 CA:1\nSmoothing: 1\n", i, a, b, c);
    }
    long size = ftell(f);
    fclose(f);
    return size;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Best time of several rounds, so that a busy machine disturbs the figure least.
template <class F> double best_time(F run) {
    double best = 1e30;
    for (int r = 0; r < k_rounds; ++r) {
        auto start = std::chrono::steady_clock::now();
        run();
        double t = seconds_since(start);
        if (t < best) best = t;
    }
    return best;
}

long g_sink = 0;

} // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "/tmp/bench_reader.asc";
    const double mb = write_mesh(path) / 1e6;

    double reader = best_time([&] {
        AscModel model;
        snprintf(model.file_name, sizeof model.file_name, "%s", path);
        if (model.read_mesh() != 0) {
            fprintf(stderr, "%s\n", model.load_error.text);
            exit(1);
        }
        g_sink += model.triangles[k_faces - 1].c;
    });
    double plain = best_time([&] {
        FILE* f = fopen(path, "r");
        long n = 0;
        while (getc(f) != EOF)
            ++n;
        fclose(f);
        g_sink += n;
    });
    double unlocked = best_time([&] {
        FILE* f = fopen(path, "r");
        long n = 0;
        while (getc_unlocked(f) != EOF)
            ++n;
        fclose(f);
        g_sink += n;
    });

    printf("file %s: %.1f MB, %d vertices, %d faces\n", path, mb, k_vertices, k_faces);
    printf("reader, both passes:  %8.1f MB/s\n", mb / reader);
    printf("getc scan:            %8.1f MB/s\n", mb / plain);
    printf("getc_unlocked scan:   %8.1f MB/s\n", mb / unlocked);
    printf("reader / getc scan:   %8.2f (%s)\n", plain / reader,
           plain / reader >= 0.5 ? "at least half" : "below half");
    return g_sink == 42 ? 1 : 0;
}
