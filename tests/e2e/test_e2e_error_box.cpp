// The error box on X11: a modal window captioned "Error" that Return or a click on its OK
// button dismisses; the failed open then ends the program.
#include "tests/e2e/e2e_fixture.h"

#include <X11/extensions/XTest.h>
#include <sys/wait.h>

class ErrorBox : public CraneOnXvfb {
  protected:
    void start_program() {
        ASSERT_TRUE(e2e::launch(ERROR_BOX_PROGRAM, BUILD_FOLDER, server.name(), &crane));
        box = e2e::wait_for_window(display, "Error", kSoon);
        ASSERT_NE(box, 0u) << "no box; stderr: " << err();
    }
    Window box = 0;
};

TEST_F(ErrorBox, StaysUntilReturnIsPressed) {
    start_program();
    EXPECT_FALSE(e2e::wait_exit(&crane, 0.5)); // modal: waits for the user
    // The box took the focus, so a key press reaches it.
    ASSERT_TRUE(e2e::send_key(display, "Return"));
    ASSERT_TRUE(e2e::wait_exit(&crane, kSoon));
    ASSERT_TRUE(WIFEXITED(crane.status));
    EXPECT_EQ(WEXITSTATUS(crane.status), 1);
    EXPECT_EQ(err(), ""); // shown in the box, not on the console
}

TEST_F(ErrorBox, ClickOnOkDismissesIt) {
    start_program();
    e2e::Area area = e2e::client_area(display, box);
    // Clicks away from the button leave the box up.
    XTestFakeMotionEvent(display, DefaultScreen(display), area.x + 3, area.y + 3, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
    EXPECT_FALSE(e2e::wait_exit(&crane, 0.5));
    // The OK button sits centred at the bottom.
    XTestFakeMotionEvent(display, DefaultScreen(display), area.x + area.width / 2,
                         area.y + area.height - 24, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
    ASSERT_TRUE(e2e::wait_exit(&crane, kSoon));
    ASSERT_TRUE(WIFEXITED(crane.status));
    EXPECT_EQ(WEXITSTATUS(crane.status), 1);
}
