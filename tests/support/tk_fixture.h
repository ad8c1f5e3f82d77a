// A fixture for toolkit tests on the simulated platform: a fresh platform, fresh toolkit
// settings and an empty GL record before every test.
#pragma once

#include <gtest/gtest.h>

#include <csetjmp>
#include <string>
#include <vector>

#include "tests/support/gl_recorder.h"
#include "tests/support/sim/sim.h"
#include "toolkit/tk.h"
#include "toolkit/tk_palette.h"
#include "toolkit/tk_window.h"

class TkSim : public ::testing::Test {
  protected:
    void SetUp() override {
        tk_close_window(); // empties the key and mouse tables left by an earlier test
        sim_reset();
        glrec::reset();
        g_tk_win = TkWindowState{};
        g_tk_slots = TkWindowSlots{};
        // The interface layer's record starts at 0; the window layer's mode at 1.
        tk_set_display_mode(0);
        g_tk_win.display_mode = 1;
        sim.formats = {sim_format(24, true, 24), sim_format(24, false, 24)};
    }

    void TearDown() override {
        sim.exit_jump = nullptr;
        tk_close_window();
    }

    // Opens the window as the application does: RGBA double-buffered, 632 x 425 at (0, 0).
    int open_app_window() {
        tk_set_display_mode(TK_MODE_DOUBLE);
        tk_set_window_rect(0, 0, 632, 425);
        return tk_open_window("crane");
    }

    // Runs fn; true when it ended the process (through tk_quit or otherwise).
    template <class Fn> bool ends_process(Fn fn) {
        std::jmp_buf jump;
        sim.exit_jump = &jump;
        if (setjmp(jump) == 0) {
            fn();
            sim.exit_jump = nullptr;
            return false;
        }
        sim.exit_jump = nullptr;
        return true;
    }

    // The texts of the message boxes shown with this caption, in order.
    static std::vector<std::string> boxes(const std::string& caption) {
        std::vector<std::string> texts;
        for (const SimState::Box& b : sim.boxes)
            if (b.caption == caption) texts.push_back(b.text);
        return texts;
    }

    // Queues the events of one key press as the platform delivers them: the key, then the
    // character it types (0: none).
    static void press(int platform_key, int typed) {
        if (platform_key) sim_queue(PLAT_EV_KEY_PRESSED, platform_key);
        if (typed) sim_queue(PLAT_EV_CHAR_TYPED, typed);
    }

    // Queues the quit request that ends the loop.
    static void queue_quit() { sim.queue.push_back(PlatEvent{PLAT_EV_QUIT, 0, 0, 0, 0, 0}); }
};
