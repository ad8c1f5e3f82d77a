// A fixture that gives each test its own Xvfb and, once started, the real program in the
// folder with the mesh files, with its window found.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/e2e/e2e_harness.h"

class CraneOnXvfb : public ::testing::Test {
  protected:
    static constexpr const char* kTitle = "Creado por: Velmora                    TARVENIL.";

    void SetUp() override {
        ASSERT_TRUE(e2e::start_server(&server)) << "Xvfb did not start";
        display = XOpenDisplay(server.name().c_str());
        ASSERT_NE(display, nullptr);
    }

    void TearDown() override {
        e2e::kill_program(&crane);
        if (display) XCloseDisplay(display);
        e2e::stop_server(&server);
        if (!crane.out_path.empty()) unlink(crane.out_path.c_str());
        if (!crane.err_path.empty()) unlink(crane.err_path.c_str());
    }

    // Starts the program and waits for its window.
    void start_crane() {
        ASSERT_TRUE(
            e2e::launch(CRANE_PROGRAM, e2e::mesh_folder(BUILD_FOLDER), server.name(), &crane));
        window = e2e::wait_for_window(display, kTitle, 15);
        ASSERT_NE(window, 0u) << "no window; stderr: " << e2e::read_file(crane.err_path);
    }

    std::string out() const { return e2e::read_file(crane.out_path); }
    std::string err() const { return e2e::read_file(crane.err_path); }
    std::vector<unsigned> window_pixels() {
        return e2e::grab(display, e2e::client_area(display, window));
    }

    e2e::Server server;
    Display* display = nullptr;
    e2e::Program crane;
    Window window = 0;
};
