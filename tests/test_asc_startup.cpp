// Start-up and exit of a program made with the model globals, watched from outside: the real
// `crane` when the build has it, and a program of the globals alone.
#include "tests/support/asc_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const k_files[] = {
    "grua1.asc",    "grua2.asc",   "pinza1.asc",   "pinza2.asc",   "pivote1.asc", "pivote2.asc",
    "suelo1.asc",   "suelo2.asc",  "cilindr1.asc", "cilindr2.asc", "piedra1.asc", "contene1.asc",
    "contene2.asc", "camion1.asc", "camion2.asc",  "camion2p.asc", "camion3.asc"};

const char k_missing[] = "Error al abrir el fichero ASC: No such file or directory\n";

std::vector<std::string> programs() {
    std::vector<std::string> p = {ASC_CATALOGUE_MAIN};
#ifdef CRANE_PROGRAM
    p.push_back(CRANE_PROGRAM);
#endif
    return p;
}

// No display: a program that got as far as opening its window could not do so silently.
void without_display() {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
}

// The lines of `text` that start with `prefix`, without it.
std::vector<std::string> lines_starting(const std::string& text, const std::string& prefix) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line.substr(prefix.size()));
    return out;
}

class AscStartup : public ::testing::TestWithParam<std::string> {
  protected:
    asc_test::ScratchDir dir;

    // The catalogue's small meshes, all but `left_out`.
    void copy_meshes(const std::string& left_out) {
        for (const char* name : k_files) {
            if (name == left_out) continue;
            const std::string from = std::string(ASC_CATALOGUE_DIR) + "/" + name;
            ASSERT_EQ(child::run({"cp", from, dir.path + "/"}).status, 0) << from;
        }
    }
};

TEST_P(AscStartup, WithoutMeshFilesEndsWithTheOpenErrorBeforeAnyWindow) {
    asc_test::RunResult r = asc_test::run({GetParam()}, dir.path, without_display);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, k_missing);
    EXPECT_EQ(r.out, "");
}

TEST_P(AscStartup, MissingLastFileBuildsSixteenModelsAndDestroysThemInReverse) {
    copy_meshes("camion3.asc");
    std::string script = dir.write("watch.gdb", "set pagination off\n"
                                                "set confirm off\n"
                                                "break AscModel::AscModel(char const*)\n"
                                                "commands\n"
                                                "silent\n"
                                                "printf \"build %s\\n\", name\n"
                                                "continue\n"
                                                "end\n"
                                                "break AscModel::~AscModel()\n"
                                                "commands\n"
                                                "silent\n"
                                                "printf \"destroy %s\\n\", this->file_name\n"
                                                "continue\n"
                                                "end\n"
                                                "run\n");
    // The leak checker refuses to run under a tracer; leaks are not what this test watches.
    asc_test::RunResult r =
        asc_test::run({"/usr/bin/gdb", "-nx", "-batch", "-x", script, GetParam()}, dir.path, [] {
            without_display();
            std::string asan = getenv("ASAN_OPTIONS") ? getenv("ASAN_OPTIONS") : "";
            setenv("ASAN_OPTIONS", (asan + ":detect_leaks=0").c_str(), 1);
        });
    std::vector<std::string> built = lines_starting(r.out, "build ");
    std::vector<std::string> destroyed = lines_starting(r.out, "destroy ");
    std::vector<std::string> expect_built(k_files, k_files + 17);
    std::vector<std::string> expect_destroyed(k_files, k_files + 16);
    std::reverse(expect_destroyed.begin(), expect_destroyed.end());
    // camion3's constructor starts, finds no file and ends the process.
    EXPECT_EQ(built, expect_built) << r.out << r.err;
    EXPECT_EQ(destroyed, expect_destroyed) << r.out << r.err;
    EXPECT_NE(r.out.find("exited with code 01]"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(k_missing), std::string::npos) << r.err;
}

TEST_P(AscStartup, MissingFirstFileBuildsNothing) {
    copy_meshes("grua1.asc");
    asc_test::RunResult r = asc_test::run({GetParam()}, dir.path, without_display);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, k_missing);
}

TEST_P(AscStartup, RefusedMeshEndsStartUpWithItsReason) {
    copy_meshes("pinza2.asc");
    dir.write("pinza2.asc", "Vertices: 3 Faces: 1\nFace 0: A:0 B:1 C:9 \n");
    asc_test::RunResult r = asc_test::run({GetParam()}, dir.path, without_display);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "pinza2.asc: face 0 names vertex 9, outside the 3 vertices\n");
}

#ifdef CRANE_PROGRAM
// With every file present: the seventeen models, then the spring, then the lift step, all
// before the entry point (stopped there, before any window).
TEST(CraneStartup, ModelsComeBeforeTheSpringAndTheLiftStep) {
    asc_test::ScratchDir dir;
    for (const char* name : k_files) {
        const std::string from = std::string(ASC_CATALOGUE_DIR) + "/" + name;
        ASSERT_EQ(child::run({"cp", from, dir.path + "/"}).status, 0) << from;
    }
    std::string script = dir.write("watch.gdb", "set pagination off\n"
                                                "set confirm off\n"
                                                "break AscModel::AscModel(char const*)\n"
                                                "commands\n"
                                                "silent\n"
                                                "printf \"step model %s\\n\", name\n"
                                                "continue\n"
                                                "end\n"
                                                "break Spring::Spring\n"
                                                "commands\n"
                                                "silent\n"
                                                "printf \"step spring\\n\"\n"
                                                "continue\n"
                                                "end\n"
                                                "break init_lift_step\n"
                                                "commands\n"
                                                "silent\n"
                                                "printf \"step lift\\n\"\n"
                                                "continue\n"
                                                "end\n"
                                                "break main\n"
                                                "commands\n"
                                                "silent\n"
                                                "printf \"step main\\n\"\n"
                                                "kill\n"
                                                "end\n"
                                                "run\n");
    asc_test::RunResult r =
        asc_test::run({"/usr/bin/gdb", "-nx", "-batch", "-x", script, CRANE_PROGRAM}, dir.path, [] {
            without_display();
            std::string asan = getenv("ASAN_OPTIONS") ? getenv("ASAN_OPTIONS") : "";
            setenv("ASAN_OPTIONS", (asan + ":detect_leaks=0").c_str(), 1);
        });
    std::vector<std::string> want;
    for (const char* name : k_files)
        want.push_back(std::string("model ") + name);
    want.push_back("spring");
    want.push_back("lift");
    want.push_back("main");
    EXPECT_EQ(lines_starting(r.out, "step "), want) << r.out << r.err;
}
#endif

INSTANTIATE_TEST_SUITE_P(Programs, AscStartup, ::testing::ValuesIn(programs()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param.substr(info.param.rfind('/') + 1) ==
                                            "asc_catalogue_main"
                                        ? std::string("Globals")
                                        : std::string("Crane");
                         });

} // namespace
