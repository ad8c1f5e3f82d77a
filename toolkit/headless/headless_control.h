// The headless backend's own settings, made by the program that links it (crane-render, the
// picture tests) before the toolkit opens its window. Frames are counted as the program's idle
// frames: every presented frame that is not a repaint, so frame 1 is the first idle call.
#pragma once

// Receives a finished frame: RGBA rows of width * 4 bytes, top row first.
typedef void (*EglCaptureHandler)(int frame, int width, int height, const unsigned char* rgba);
// Called after every idle frame has been presented (timing).
typedef void (*EglFrameHandler)(int frame);

// Client size of the off-screen window; 0 x 0 keeps the size the program asks for.
void egl_backend_set_size(int width, int height);
// Reads frame back after it is drawn and hands it to the capture handler.
void egl_backend_capture_frame(int frame);
void egl_backend_on_capture(EglCaptureHandler handler);
void egl_backend_on_frame(EglFrameHandler handler);
// Delivers a key as a key press (and the character it types) before frame is drawn. key: a
// digit or letter as typed (upper case means Shift held), or 13, 27, 32 for Return, Escape,
// Space. False for any other key.
bool egl_backend_add_key(int frame, int key);
// After this frame the window gets a close request, as from its title bar; 0: never.
void egl_backend_set_last_frame(int frame);
// Idle frames presented so far.
int egl_backend_frames_drawn();
// Forgets every setting above and the frame count, for a program that opens a new window.
void egl_backend_reset();
