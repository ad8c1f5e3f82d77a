// One triangle mesh read from an ASC file: normalised vertices, triangles, face and vertex
// normals, a grey colour ramp by height, and five ways of drawing it in immediate mode.
#pragma once

#include <cstdint>
#include <cstdio>

struct Vector3 {
    float x, y, z;
};

struct Triangle {
    int32_t a, b, c;
};

// Why a load failed. An open failure keeps its errno so that the constructor can report it
// through fatal_error; any other failure is a file whose content would make the model write or
// read outside its arrays, or an allocation that failed, and `text` names the file and the fault.
struct AscLoadError {
    int32_t open_failed;
    int32_t saved_errno;
    char text[256];
};

class AscModel {
  public:
    explicit AscModel(const char* file_name);
    // An empty model (no vertices, no triangles) for load(); draws nothing.
    AscModel();
    ~AscModel();
    AscModel(const AscModel&) = delete;
    AscModel& operator=(const AscModel&) = delete;

    // Draws at `scale` (0.0 keeps the stored scale) and leaves the matrix as it found it.
    void draw(float scale);
    // The geometry alone, in the routine the mode flags select, at the current matrix.
    void draw_geometry();

    // Reads the file and derives the geometry without ending the process, into a model that is
    // still empty: 0 on success; otherwise 1, `load_error` says why and the model is empty again.
    int load(const char* file_name);
    // The reading half of load(): both passes, the range checks and the arrays (0 or 1).
    int read_mesh();
    // The deriving half: normalisation, colour ramp, face and vertex normals (0 or 1).
    int derive();
    // The colour ramp entry of a normalised height, always within 0 .. 99.
    int height_index(float y) const;

    // Reader (mesh/asc_reader.cpp): two passes over `file_name`. Each pass stops early and
    // fills `load_error` when the file cannot be read or a count or index is out of range.
    void count_elements();
    void read_elements();
    static void skip_chars(int& current, int c, FILE* stream, int while_equal);
    static int match_keyword(int& current, const char* keyword, FILE* stream);
    static int same_letter(int c, int k);

    // Geometry steps of the constructor.
    void normalise();
    void build_colour_ramp(const float high[3], const float low[3]);
    void compute_face_normals();
    void compute_vertex_normals();
    static void face_normal(const Vector3& A, const Vector3& B, const Vector3& C, Vector3& out);

    void draw_points();
    void draw_flat();
    void draw_smooth();
    void draw_height_coloured();
    void draw_position_coloured();

    // Fields in declaration order.
    int32_t scratch_index = 0;
    FILE* file = nullptr;
    char file_name[100] = {};
    Vector3* vertices = nullptr;
    Triangle* triangles = nullptr;
    Vector3** face_normals = nullptr;
    Vector3** vertex_normals = nullptr;
    int32_t face_count = 0;
    int32_t vertex_count = 0;
    float max_x = 0, min_x = 0, extent_x = 0;
    float max_y = 0, min_y = 0, extent_y = 0;
    float max_z = 0, min_z = 0, extent_z = 0;
    float height_step = 0;
    float scale = 1.0f;
    float colour_ramp[100][3] = {};
    int32_t position_colour_mode = 0;
    int32_t points_mode = 0;
    int32_t height_colour_mode = 0;
    int32_t colour_every_vertex = 1;
    int32_t smooth_normals = 1;

    // Why the last load failed; open_failed 0 and an empty text when it did not.
    AscLoadError load_error = {};
    // How many distinct vertex and face records the file held; fewer than the counts it
    // declares means a file cut short or damaged, which loads but is worth a warning.
    int32_t vertices_found = 0;
    int32_t faces_found = 0;

  private:
    void release();
};

// Takes the place of draw_geometry in every draw, with the scale applied (a benchmark draws
// from display lists this way); null restores the routines.
typedef void (*AscDrawHook)(AscModel& model);
void asc_model_on_draw(AscDrawHook hook);
