// The ASC reader: a character-level scanner that reads a mesh file twice, first for the two
// counts, then for the records, which are stored at the index they name.
#include "mesh/asc_reader.h"

#include "mesh/asc_model.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void fatal_error(const char* message) {
    fprintf(stderr, "%s: %s\n", message, strerror(errno));
    exit(1);
}

namespace {

const char k_open_message[] = "Error al abrir el fichero ASC";

// Characters read by the current pass (end of file not counted): the size of a stream that has
// no size of its own, such as a pipe.
long long g_chars_read = 0;

// The model's stream is used by this thread alone, so the unlocked read keeps the scan fast.
inline int next_char(FILE* stream) {
#ifdef _WIN32
    int c = _getc_nolock(stream);
#else
    int c = getc_unlocked(stream);
#endif
    g_chars_read += (c != EOF);
    return c;
}

inline bool is_space(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool is_digit(int c) {
    return c >= '0' && c <= '9';
}

// The leading integer of a token, fed one character at a time: optional white space, an
// optional sign, then digits; no digits gives 0. The magnitude saturates so that a token of any
// length stays a defined value; `overflow` says it did not fit 32 bits.
struct IntToken {
    enum { LEADING, SIGNED, DIGITS, DONE };
    int state = LEADING;
    bool negative = false;
    long long magnitude = 0;

    void feed(int c) {
        switch (state) {
        case LEADING:
            if (is_space(c)) return;
            if (c == '+' || c == '-') {
                negative = c == '-';
                state = SIGNED;
                return;
            }
            [[fallthrough]];
        case SIGNED:
        case DIGITS:
            if (!is_digit(c)) {
                state = DONE;
                return;
            }
            state = DIGITS;
            if (magnitude <= 10000000000LL) magnitude = magnitude * 10 + (c - '0');
            return;
        default:
            return;
        }
    }
    bool overflow() const { return magnitude > (negative ? 2147483648LL : 2147483647LL); }
    // Saturated to the 32-bit range, so an oversized index is always out of range.
    int32_t value() const {
        if (overflow()) return negative ? INT32_MIN : INT32_MAX;
        return int32_t(negative ? -magnitude : magnitude);
    }
};

// The leading decimal number of a token: optional sign, digits with an optional point, an
// optional exponent. Only decimal text is accepted, so "nan", "inf" or "0x10" give no value
// beyond their leading digits. The number is read as a double and then rounded to single
// precision, as every other value is stored. Enough significant digits are kept for the double
// to be the nearest one to the whole text; any later nonzero digit leaves a mark that keeps
// it off a tie.
struct FloatToken {
    enum { START, SIGNED, INTEGER, FRACTION, EXP_MARK, EXP_SIGNED, EXPONENT, DONE };
    // A number halfway between two doubles has fewer than 800 significant digits.
    static constexpr int k_kept_digits = 800;
    int state = START;
    bool negative = false;
    bool any_digit = false;
    char digits[k_kept_digits + 1]; // significant digits, then the mark of the dropped ones
    int kept = 0;
    bool dropped_nonzero = false;
    long long scale10 = 0; // power of ten that the kept digits are shifted by
    bool exp_negative = false;
    long long exponent = 0;
    bool exp_digits = false;

    void digit(int d, bool fraction) {
        any_digit = true;
        if (kept == 0 && d == 0) {
            if (fraction) --scale10;
            return;
        }
        if (kept < k_kept_digits) {
            digits[kept++] = char('0' + d);
            if (fraction) --scale10;
        } else {
            dropped_nonzero = dropped_nonzero || d != 0;
            if (!fraction) ++scale10;
        }
    }

    void feed(int c) {
        switch (state) {
        case START:
            if (c == '+' || c == '-') {
                negative = c == '-';
                state = SIGNED;
                return;
            }
            [[fallthrough]];
        case SIGNED:
        case INTEGER:
            if (is_digit(c)) {
                digit(c - '0', false);
                state = INTEGER;
            } else if (c == '.') {
                state = FRACTION;
            } else if ((c == 'e' || c == 'E') && any_digit) {
                state = EXP_MARK;
            } else {
                state = DONE;
            }
            return;
        case FRACTION:
            if (is_digit(c)) {
                digit(c - '0', true);
            } else if ((c == 'e' || c == 'E') && any_digit) {
                state = EXP_MARK;
            } else {
                state = DONE;
            }
            return;
        case EXP_MARK:
            if (c == '+' || c == '-') {
                exp_negative = c == '-';
                state = EXP_SIGNED;
                return;
            }
            [[fallthrough]];
        case EXP_SIGNED:
        case EXPONENT:
            if (!is_digit(c)) {
                state = DONE;
                return;
            }
            state = EXPONENT;
            exp_digits = true;
            if (exponent < 100000000LL) exponent = exponent * 10 + (c - '0');
            return;
        default:
            return;
        }
    }

    // The value rounded to single precision; false when it becomes infinity there.
    bool value(float& out) const {
        out = 0.0f;
        if (!any_digit) return true;
        if (kept == 0) {
            out = negative ? -0.0f : 0.0f;
            return true;
        }
        long long e10 = scale10 + (exp_digits ? (exp_negative ? -exponent : exponent) : 0);
        if (e10 > 5000) return false;
        if (e10 < -5000) {
            out = negative ? -0.0f : 0.0f;
            return true;
        }
        // Digits and a power of ten only, so the locale's decimal point plays no part.
        char text[k_kept_digits + 16];
        int n = 0;
        if (negative) text[n++] = '-';
        memcpy(text + n, digits, size_t(kept));
        n += kept;
        if (dropped_nonzero) text[n++] = '1';
        snprintf(text + n, sizeof text - size_t(n), "e%lld", e10 - (dropped_nonzero ? 1 : 0));
        float f = float(strtod(text, nullptr));
        if (std::isinf(f)) return false;
        out = f;
        return true;
    }
};

// Said of a record out of range once a second object's header has gone by: the counts of a
// file with several objects come from its first header alone.
const char* several_objects(int headers_seen) {
    return headers_seen > 1
               ? "; the file holds several objects and only the first object's counts are used"
               : "";
}

void set_error(AscModel& m, const char* format, ...) __attribute__((format(printf, 2, 3)));
void set_error(AscModel& m, const char* format, ...) {
    int n = snprintf(m.load_error.text, sizeof m.load_error.text, "%s: ", m.file_name);
    if (n < 0 || size_t(n) >= sizeof m.load_error.text) return;
    va_list args;
    va_start(args, format);
    vsnprintf(m.load_error.text + n, sizeof m.load_error.text - size_t(n), format, args);
    va_end(args);
}

// Opens the file of one pass. A directory opens as a stream on this system but cannot be read
// as one, so it is refused here as a file that cannot be opened.
bool open_pass(AscModel& m) {
    g_chars_read = 0;
    m.file = fopen(m.file_name, "r");
    if (m.file) {
        struct stat st;
        if (fstat(fileno(m.file), &st) == 0 && S_ISDIR(st.st_mode)) {
            fclose(m.file);
            m.file = nullptr;
            errno = EISDIR;
        }
    }
    if (!m.file) {
        m.load_error.open_failed = 1;
        m.load_error.saved_errno = errno;
        snprintf(m.load_error.text, sizeof m.load_error.text, "%s: %s", k_open_message,
                 strerror(errno));
        return false;
    }
    return true;
}

// Closes the file of one pass; false (with the reason) if reading it failed.
bool close_pass(AscModel& m) {
    bool failed = ferror(m.file) != 0;
    int cause = errno;
    fclose(m.file);
    m.file = nullptr;
    if (failed) set_error(m, "read error: %s", strerror(cause));
    return !failed;
}

// A count: the token from the current character up to the next blank or the end of the file;
// a line feed does not end it.
IntToken read_count(int& current, FILE* stream) {
    IntToken t;
    if (current == EOF) return t;
    do {
        t.feed(current);
        current = next_char(stream);
    } while (current != ' ' && current != EOF);
    return t;
}

// A record's index: the token from the current character up to the next ':' or the end of
// the file; the ':' stays the current character.
int32_t read_index(int& current, FILE* stream) {
    IntToken t;
    if (current == EOF) return 0;
    do {
        t.feed(current);
        current = next_char(stream);
    } while (current != ':' && current != EOF);
    return t.value();
}

// A triangle's vertex index: the token up to the next blank or the end of the file.
int32_t read_corner(int& current, FILE* stream) {
    IntToken t;
    if (current == EOF) return 0;
    do {
        t.feed(current);
        current = next_char(stream);
    } while (current != ' ' && current != EOF);
    return t.value();
}

// A coordinate: the token up to the next blank or the end of the file (or a line feed when
// `ends_at_line` is set), with every decimal comma read as a point.
bool read_coordinate(int& current, FILE* stream, bool ends_at_line, float& out) {
    FloatToken t;
    if (current != EOF) {
        do {
            t.feed(current == ',' ? '.' : current);
            current = next_char(stream);
        } while (current != ' ' && current != EOF && !(ends_at_line && current == '\n'));
    }
    return t.value(out);
}

bool check_count(AscModel& m, const char* what, const IntToken& t, int32_t count,
                 long long file_bytes) {
    if (t.overflow()) {
        if (t.negative)
            set_error(m, "%s count is negative and too large to be a number", what);
        else
            set_error(m, "%s count is too large to be a number", what);
        return false;
    }
    if (count < 0) {
        set_error(m, "%s count %d is negative", what, count);
        return false;
    }
    if (count > file_bytes) {
        set_error(m, "%s count %d is larger than the file (%lld bytes)", what, count, file_bytes);
        return false;
    }
    return true;
}

} // namespace

int AscModel::same_letter(int c, int k) {
    int upper = (k >= 'a' && k <= 'z') ? k - ('a' - 'A') : k;
    int lower = (k >= 'A' && k <= 'Z') ? k + ('a' - 'A') : k;
    return c == upper || c == lower;
}

void AscModel::skip_chars(int& current, int c, FILE* stream, int while_equal) {
    do {
        current = next_char(stream);
    } while (current != EOF && ((current == c) == (while_equal != 0)));
}

int AscModel::match_keyword(int& current, const char* keyword, FILE* stream) {
    for (const char* k = keyword; *k; ++k) {
        if (!same_letter(current, (unsigned char)*k)) return 0;
        if (k[1]) current = next_char(stream);
    }
    return 1;
}

void AscModel::count_elements() {
    if (!open_pass(*this)) return;
    struct stat st;
    bool sized = fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode);
    IntToken vertex_token, face_token;
    int current;
    do {
        current = next_char(file);
        if (match_keyword(current, "Vertices:", file)) {
            skip_chars(current, ' ', file, 1);
            vertex_token = read_count(current, file);
            vertex_count = vertex_token.value();
        }
        if (match_keyword(current, "Faces:", file)) {
            skip_chars(current, ' ', file, 1);
            face_token = read_count(current, file);
            face_count = face_token.value();
        }
    } while (current != EOF && face_count == 0);
    // A stream without a size of its own is measured by reading it to its end.
    if (!sized)
        while (next_char(file) != EOF) {
        }
    long long file_bytes = sized ? (long long)st.st_size : g_chars_read;
    bool ok = close_pass(*this);
    // No real file declares more records than it has characters: a larger count is refused
    // before anything is allocated for it.
    ok = ok && check_count(*this, "vertex", vertex_token, vertex_count, file_bytes) &&
         check_count(*this, "face", face_token, face_count, file_bytes);
    if (!ok) {
        vertex_count = 0;
        face_count = 0;
    }
}

void AscModel::read_elements() {
    vertices_found = 0;
    faces_found = 0;
    if (!open_pass(*this)) return;
    // Which records the file filled, so that a file cut short can be told from a whole one
    // (a later record with the same index replaces an earlier one and is not counted twice).
    unsigned char* filled = (unsigned char*)calloc(size_t(vertex_count) + size_t(face_count), 1);
    unsigned char* face_filled = filled ? filled + vertex_count : nullptr;
    int current;
    bool ok = true;
    int headers = 0;
    do {
        current = next_char(file);
        if (match_keyword(current, "Vertex", file)) {
            skip_chars(current, ' ', file, 1);
            if (current != 'l') {
                int32_t index = read_index(current, file);
                if (index < 0 || index >= vertex_count) {
                    set_error(*this, "vertex record %d is outside the %d declared vertices%s",
                              index, vertex_count, several_objects(headers));
                    ok = false;
                    break;
                }
                float xyz[3];
                for (int axis = 0; axis < 3; ++axis) {
                    skip_chars(current, ' ', file, 1); // the label
                    current = next_char(file);         // its colon
                    current = next_char(file);         // one character passed over unexamined
                    skip_chars(current, ' ', file, 1);
                    if (!read_coordinate(current, file, axis == 2, xyz[axis])) {
                        set_error(*this,
                                  "vertex record %d has a coordinate beyond the range of "
                                  "a float",
                                  index);
                        ok = false;
                        break;
                    }
                }
                if (!ok) break;
                vertices[index] = Vector3{xyz[0], xyz[1], xyz[2]};
                if (filled && !filled[index]) {
                    filled[index] = 1;
                    ++vertices_found;
                }
            }
        }
        if (match_keyword(current, "Face", file)) {
            skip_chars(current, ' ', file, 1);
            if (current == 's') ++headers; // the "Faces:" of an object's header
            if (current != 'l' && current != 's') {
                int32_t index = read_index(current, file);
                if (index < 0 || index >= face_count) {
                    set_error(*this, "face record %d is outside the %d declared faces%s", index,
                              face_count, several_objects(headers));
                    ok = false;
                    break;
                }
                int32_t corner[3];
                for (int k = 0; k < 3; ++k) {
                    skip_chars(current, ' ', file, 1); // the label
                    current = next_char(file);         // its colon
                    current = next_char(file);         // the value's first character
                    corner[k] = read_corner(current, file);
                }
                triangles[index] = Triangle{corner[0], corner[1], corner[2]};
                if (face_filled && !face_filled[index]) {
                    face_filled[index] = 1;
                    ++faces_found;
                }
            }
        }
    } while (current != EOF);
    if (!filled) { // nothing to count with: say nothing rather than a false warning
        vertices_found = vertex_count;
        faces_found = face_count;
    }
    free(filled);
    if (!close_pass(*this)) ok = false;
    if (!ok) return;
    for (int32_t i = 0; i < face_count; ++i) {
        const Triangle& t = triangles[i];
        const int32_t corner[3] = {t.a, t.b, t.c};
        for (int32_t v : corner) {
            if (v < 0 || v >= vertex_count) {
                set_error(*this, "face %d names vertex %d, outside the %d vertices", i, v,
                          vertex_count);
                return;
            }
        }
    }
}
