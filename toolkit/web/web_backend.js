// The page's side of the web backend: the DOM's input as the toolkit's events, the canvas and
// its title, the pace of the buffer swap, and the modal message box. The C++ side
// (toolkit/web/*.cpp) reaches it through EM_JS functions; the page's own script (web/page.js)
// reads its frame count and pause state and feeds its buttons through pressKey and requestClose.
// Lost WebGL contexts are held off here: the swap waits until the context is back and the GL
// layer (web/gl/) has rebuilt its objects, so nothing above the layer hears of it.
var WebBackend = {
  canvas: null,
  queue: [],
  wake: null, // resolves the wait for an event, when the program waits for one
  kinds: {}, // the platform's event kinds, named as the C++ side defines them
  keys: {}, // the platform's key ids
  open: false,
  logical: [0, 0], // the window's size in CSS pixels
  cursor: [0, 0],
  captured: false,
  buttons: 0, // the buttons held, as the platform's motion bits
  frames: 0, // frames presented, repaints not counted
  paused: false,
  resume: null,
  nextFrameTime: 0,
  dialogOpen: false,
  busy: 0, // milliseconds the program ran between its turns, all frames together
  resumedAt: null,
  firstFrameAt: null, // since the page was opened
  listening: false,
  webgl2: undefined,
  contextLost: false,
  restored: null, // resolves the swap's wait for a lost context

  // The page has usually asked already, before it loaded the program.
  hasWebGL2() {
    if (WebBackend.webgl2 === undefined && Module['hasWebGL2'] !== undefined)
      WebBackend.webgl2 = !!Module['hasWebGL2'];
    if (WebBackend.webgl2 === undefined) {
      try {
        WebBackend.webgl2 = !!document.createElement('canvas').getContext('webgl2');
      } catch (e) {
        WebBackend.webgl2 = false;
      }
    }
    return WebBackend.webgl2;
  },

  settings() {
    return Module['craneSettings'] || {};
  },

  // ---- The queue --------------------------------------------------------------------------

  push(kind, a, b, c, shift, control) {
    WebBackend.queue.push([kind, a | 0, b | 0, c | 0, shift ? 1 : 0, control ? 1 : 0]);
    if (WebBackend.wake) {
      const wake = WebBackend.wake;
      WebBackend.wake = null;
      wake();
    }
  },

  waitForEvent() {
    if (WebBackend.queue.length) return Promise.resolve();
    return new Promise((resolve) => (WebBackend.wake = resolve));
  },

  dropWindowEvents() {
    WebBackend.queue = WebBackend.queue.filter((e) => e[0] === WebBackend.kinds.quit);
  },

  // ---- The window -------------------------------------------------------------------------

  openWindow(title, width, height) {
    document.querySelector('title').textContent = title;
    const caption = document.getElementById('caption-title');
    if (caption) caption.textContent = title;
    WebBackend.canvas = document.getElementById('canvas');
    WebBackend.logical = [width, height];
    WebBackend.open = true;
    WebBackend.listen();
    return WebBackend.fitCanvas();
  },

  showWindow() {
    document.body.classList.add('window-open');
    WebBackend.canvas.focus({ preventScroll: true });
  },

  closeWindow() {
    WebBackend.open = false;
    WebBackend.captured = false;
    document.body.classList.remove('window-open');
  },

  // Sizes the drawing buffer to the canvas's size as shown (the window's, smaller where the
  // page is, or the screen's in full screen) at the device's pixel ratio; returns the buffer's
  // size.
  fitCanvas() {
    const canvas = WebBackend.canvas;
    const [w, h] = WebBackend.logical;
    // The page's style sizes the canvas from these, keeping the window's shape where it must
    // be smaller than the window.
    canvas.style.setProperty('--window-width', w + 'px');
    canvas.style.setProperty('--window-height', h + 'px');
    canvas.style.setProperty('--window-shape', String(w / h));
    canvas.style.aspectRatio = w + ' / ' + h;
    const shown = canvas.getBoundingClientRect();
    const ratio = window.devicePixelRatio || 1;
    const width = Math.max(1, Math.round(shown.width * ratio));
    const height = Math.max(1, Math.round(shown.height * ratio));
    if (canvas.width !== width) canvas.width = width;
    if (canvas.height !== height) canvas.height = height;
    return [width, height];
  },

  // A new screen size or pixel ratio: the reshape handler hears of it as of a resized window.
  onResize() {
    if (!WebBackend.open) return;
    const before = [WebBackend.canvas.width, WebBackend.canvas.height];
    const size = WebBackend.fitCanvas();
    if (size[0] !== before[0] || size[1] !== before[1])
      WebBackend.push(WebBackend.kinds.resized, size[0], size[1], 0);
  },

  requestClose() {
    if (WebBackend.open) WebBackend.push(WebBackend.kinds.close, 0, 0, 0);
  },

  // ---- Keys -------------------------------------------------------------------------------

  // The platform key id of a key: the special keys the toolkit knows, letters by their
  // upper-case code and digits by theirs (wherever the layout puts them), anything else apart.
  keyId(key, code) {
    const k = WebBackend.keys;
    const named = {
      Enter: k.return, Escape: k.escape, ' ': k.space, ArrowLeft: k.left, ArrowUp: k.up,
      ArrowRight: k.right, ArrowDown: k.down, Shift: k.shift, Control: k.control,
    };
    if (key in named) return named[key];
    if (/^Key[A-Z]$/.test(code)) return code.charCodeAt(3);
    if (/^Digit[0-9]$/.test(code)) return code.charCodeAt(5);
    return k.other + (key.length === 1 ? key.codePointAt(0) : 0x10000);
  },

  // A key press and the characters it types, in one pass, as a desktop delivers them.
  deliverKey(key, code, shift, control, plain) {
    const kinds = WebBackend.kinds;
    WebBackend.push(kinds.key, WebBackend.keyId(key, code), 0, 0, shift, control);
    let typed = 0;
    if (key === 'Enter') typed = 13;
    else if (key === 'Escape') typed = 27;
    else if ([...key].length === 1 && plain) typed = key.codePointAt(0);
    if (typed) WebBackend.push(kinds.char, typed, 0, 0, shift, control);
  },

  // The program's keys come from the canvas or the page itself; a focused button, menu or link
  // keeps its own (Enter and Space press it).
  ownsKeys(target) {
    return !target || target === WebBackend.canvas || target === document.body ||
      target === document.documentElement;
  },

  onKeyDown(e) {
    if (!WebBackend.open || WebBackend.dialogOpen || !WebBackend.ownsKeys(e.target)) return;
    const plain = !e.ctrlKey && !e.altKey && !e.metaKey;
    WebBackend.deliverKey(e.key, e.code, e.shiftKey, e.ctrlKey, plain);
    // The program's keys are not the page's: no scrolling on Space or the arrows, no button
    // pressed twice. Shortcuts with Control, Alt or Meta stay the browser's.
    if (plain && e.key !== 'Tab') e.preventDefault();
  },

  // A page button's key: the same path as a key typed on the keyboard.
  pressKey(name) {
    if (!WebBackend.open || WebBackend.dialogOpen) return;
    const codes = { Escape: 'Escape', Enter: 'Enter', ' ': 'Space' };
    const code = codes[name] || (/^[a-z]$/i.test(name) ? 'Key' + name.toUpperCase() : '');
    WebBackend.deliverKey(name, code, false, false, true);
  },

  // ---- Pointer ----------------------------------------------------------------------------

  position(e) {
    const canvas = WebBackend.canvas;
    const r = canvas.getBoundingClientRect();
    const x = Math.floor(((e.clientX - r.left) * canvas.width) / Math.max(1, r.width));
    const y = Math.floor(((e.clientY - r.top) * canvas.height) / Math.max(1, r.height));
    WebBackend.cursor = [x, y];
    return [x, y];
  },

  // The DOM's button numbers as the platform's buttons and motion bits.
  button: { 0: 1, 1: 3, 2: 2 },
  motionBits(buttons) {
    return (buttons & 1 ? 0x01 : 0) | (buttons & 2 ? 0x02 : 0) | (buttons & 4 ? 0x10 : 0);
  },

  onPointerDown(e) {
    if (!WebBackend.open || !(e.button in WebBackend.button)) return;
    const p = WebBackend.position(e);
    WebBackend.push(WebBackend.kinds.down, p[0], p[1], WebBackend.button[e.button]);
    WebBackend.canvas.focus({ preventScroll: true });
    e.preventDefault();
  },

  onPointerUp(e) {
    if (!WebBackend.open || !(e.button in WebBackend.button)) return;
    if (!WebBackend.captured && e.target !== WebBackend.canvas) return;
    const p = WebBackend.position(e);
    WebBackend.push(WebBackend.kinds.up, p[0], p[1], WebBackend.button[e.button]);
  },

  onPointerMove(e) {
    if (!WebBackend.open) return;
    if (!WebBackend.captured && e.target !== WebBackend.canvas) return;
    const p = WebBackend.position(e);
    WebBackend.push(WebBackend.kinds.moved, p[0], p[1], WebBackend.motionBits(e.buttons));
  },

  captureMouse(on) {
    WebBackend.captured = on;
  },

  // ---- Activation -------------------------------------------------------------------------

  onActivation() {
    if (!WebBackend.open) return;
    const hidden = document.visibilityState === 'hidden';
    WebBackend.push(WebBackend.kinds.activate, document.hasFocus() && !hidden ? 1 : 0, hidden ? 1 : 0, 0);
  },

  listen() {
    if (WebBackend.listening) return;
    WebBackend.listening = true;
    document.addEventListener('keydown', WebBackend.onKeyDown);
    const canvas = WebBackend.canvas;
    canvas.addEventListener('pointerdown', WebBackend.onPointerDown);
    canvas.addEventListener('contextmenu', (e) => e.preventDefault());
    window.addEventListener('pointerup', WebBackend.onPointerUp);
    window.addEventListener('pointermove', WebBackend.onPointerMove);
    window.addEventListener('focus', WebBackend.onActivation);
    window.addEventListener('blur', WebBackend.onActivation);
    document.addEventListener('visibilitychange', WebBackend.onActivation);
    // The canvas's size on the page (full screen, a narrow page) and the pixel ratio (zoom).
    new ResizeObserver(WebBackend.onResize).observe(canvas);
    canvas.addEventListener('webglcontextlost', WebBackend.onContextLost);
    canvas.addEventListener('webglcontextrestored', WebBackend.onContextRestored);
    window.addEventListener('resize', WebBackend.onResize);
    const close = document.getElementById('caption-close');
    if (close) close.addEventListener('click', WebBackend.requestClose);
  },

  // ---- A lost context ---------------------------------------------------------------------

  // Without preventDefault the browser would never give the context back.
  onContextLost(e) {
    e.preventDefault();
    WebBackend.contextLost = true;
    WebBackend.tellPage('lost');
  },

  // The layer makes its programs, buffers and vertex arrays again from what it keeps; then the
  // program goes on from the frame it was at.
  onContextRestored() {
    if (!WebBackend.open) return; // the layer went with the window
    const rebuild = Module['_webgl_layer_context_restored'];
    if (!rebuild) {
      WebBackend.tellPage('not rebuilt');
      return;
    }
    rebuild();
    WebBackend.contextLost = false;
    WebBackend.tellPage('restored');
    WebBackend.wakeSwap();
  },

  tellPage(what) {
    if (Module['onCraneContext']) Module['onCraneContext'](what);
  },

  wakeSwap() {
    const resume = WebBackend.resume;
    WebBackend.resume = null;
    if (resume) resume();
  },

  // ---- Presenting -------------------------------------------------------------------------

  // Returns to the browser once per frame, so that it shows the frame and runs the page: by
  // default at the display's next refresh (the browser's vsync, so a hidden page draws
  // nothing), at a chosen pace not before the next frame's time, or at once ("max", for
  // benchmarks); while paused or while the context is lost, not before the page resumes.
  async present(repaint) {
    // How long the program ran since it last had its turn back: its own share of a frame.
    const called = performance.now();
    if (WebBackend.resumedAt !== null) WebBackend.busy += called - WebBackend.resumedAt;
    if (WebBackend.firstFrameAt === null) WebBackend.firstFrameAt = called;
    const settings = WebBackend.settings();
    if (!repaint) {
      WebBackend.frames++;
      if (settings.pauseAt && WebBackend.frames >= settings.pauseAt) {
        settings.pauseAt = 0;
        WebBackend.paused = true;
      }
      if (Module['onCraneFrame']) Module['onCraneFrame'](WebBackend.frames, WebBackend.paused);
    }
    const fps = settings.fps || 0;
    if (fps === 'max') {
      await WebBackend.yieldOnce();
    } else if (fps > 0) {
      const now = performance.now();
      WebBackend.nextFrameTime = Math.max(WebBackend.nextFrameTime + 1000 / fps, now);
      await new Promise((resolve) => setTimeout(resolve, WebBackend.nextFrameTime - now));
    } else {
      await new Promise((resolve) => requestAnimationFrame(() => resolve()));
    }
    while (WebBackend.paused || WebBackend.contextLost) {
      await new Promise((resolve) => (WebBackend.resume = resolve));
      WebBackend.nextFrameTime = performance.now();
    }
    WebBackend.resumedAt = performance.now();
  },

  // One turn of the browser's event loop, without the clamp that nested timers get.
  yieldOnce() {
    if (!WebBackend.channel) {
      WebBackend.channel = new MessageChannel();
      WebBackend.channel.port1.onmessage = () => {
        const next = WebBackend.yielded;
        WebBackend.yielded = null;
        if (next) next();
      };
    }
    return new Promise((resolve) => {
      WebBackend.yielded = resolve;
      WebBackend.channel.port2.postMessage(0);
    });
  },

  // Pauses after the frame being drawn, or goes on; step: on for one frame.
  setPaused(paused) {
    WebBackend.paused = paused;
    if (!paused) WebBackend.wakeSwap();
  },
  step() {
    WebBackend.settings().pauseAt = WebBackend.frames + 1;
    WebBackend.setPaused(false);
  },

  // ---- The message box --------------------------------------------------------------------

  // A modal dialog with the caption, the text and an OK button; resolves when it is dismissed
  // by the button, Return, Escape or Space.
  messageBox(text, caption) {
    return new Promise((resolve) => {
      const dialog = document.createElement('dialog');
      dialog.className = 'message-box';
      dialog.setAttribute('aria-label', caption);
      const title = document.createElement('div');
      title.className = 'message-caption';
      title.textContent = caption;
      const body = document.createElement('p');
      body.className = 'message-text';
      body.textContent = text.replace(/\n$/, '');
      const ok = document.createElement('button');
      ok.textContent = 'OK';
      ok.className = 'message-ok';
      dialog.append(title, body, ok);
      document.body.append(dialog);
      WebBackend.dialogOpen = true;
      const done = (e) => {
        if (e) e.preventDefault();
        dialog.close();
        dialog.remove();
        WebBackend.dialogOpen = false;
        if (WebBackend.canvas && WebBackend.open) WebBackend.canvas.focus({ preventScroll: true });
        resolve();
      };
      ok.addEventListener('click', done);
      dialog.addEventListener('cancel', done); // Escape
      dialog.addEventListener('keydown', (e) => {
        if (e.key === 'Enter' || e.key === ' ' || e.key === 'Escape') done(e);
      });
      dialog.showModal();
      ok.focus();
    });
  },
};
