// The web build in headless Chromium (SwiftShader's WebGL 2, no GPU) beside the native
// crane-render --bench on the same machine, in turns: frames per second of each and their ratio,
// the share of a frame the program itself runs (wasm and its WebGL calls) against the browser's
// rasteriser, the time from opening the page to its first frame against a floor's (a minimal page
// that makes a WebGL 2 context, compiles one shader and draws one triangle), and the sizes of what
// the page loads, plain and gzip-compressed. Both pages come from the server tools/run.sh uses.
// Usage: node web.mjs BUILD_FOLDER WEB_BUILD_FOLDER [PAIRS] [FRAMES]
import { chromium } from '../../tests/web/node_modules/playwright-core/index.mjs';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

import os from 'node:os';

import { startRealServer } from '../../tests/web/real_server.mjs';

// The page's address setting for the unsynchronised pace (a frame as soon as the last one is
// drawn, not one per display refresh): frame rates are measured at it.
const kUnsynchronisedPace = 'fps=max';

const [buildArg, webBuild, pairsArg = '5', framesArg = '300'] = process.argv.slice(2);
const build = path.resolve(buildArg);
const pairs = Number(pairsArg), frames = Number(framesArg), warmUp = 100;
const site = path.resolve(webBuild, 'site');
const median = (values) => {
  const s = [...values].sort((a, b) => a - b);
  return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};

const { server, origin } = await startRealServer(site);
const address = `${origin}/crane.html?${kUnsynchronisedPace}`;

// The floor: what any WebGL 2 page pays before its first frame.
const floorSite = fs.mkdtempSync(path.join(os.tmpdir(), 'bench_floor'));
fs.writeFileSync(path.join(floorSite, 'floor.html'), `<!doctype html>
<html lang="en"><head><meta charset="utf-8"><title>floor</title></head>
<body><canvas id="c" width="632" height="425"></canvas><script>
const gl = document.getElementById('c').getContext('webgl2');
const shader = (type, text) => {
  const s = gl.createShader(type);
  gl.shaderSource(s, '#version 300 es\\nprecision mediump float;\\n' + text);
  gl.compileShader(s);
  return s;
};
const program = gl.createProgram();
gl.attachShader(program, shader(gl.VERTEX_SHADER,
  'in vec2 p; void main() { gl_Position = vec4(p, 0.0, 1.0); }'));
gl.attachShader(program, shader(gl.FRAGMENT_SHADER,
  'out vec4 c; void main() { c = vec4(1.0, 0.5, 0.0, 1.0); }'));
gl.linkProgram(program);
gl.useProgram(program);
gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-0.5, -0.5, 0.5, -0.5, 0, 0.5]), gl.STATIC_DRAW);
gl.enableVertexAttribArray(0);
gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
gl.drawArrays(gl.TRIANGLES, 0, 3);
window.firstFrameAt = performance.now();
</script></body></html>
`);
const floor = await startRealServer(floorSite);
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});

// One page: frames per second over `frames` frames after the warm-up, the program's share of
// that time, and the time to the first frame.
async function webRun() {
  const page = await browser.newPage({ viewport: { width: 900, height: 800 } });
  // Time spent inside WebGL's calls: the browser's share of the program's turn (its command
  // queue, and waits for the rasteriser when the queue is full).
  await page.addInitScript(() => {
    window.webglTime = 0;
    const proto = WebGL2RenderingContext.prototype;
    for (const name of Object.getOwnPropertyNames(proto)) {
      const d = Object.getOwnPropertyDescriptor(proto, name);
      if (typeof d.value !== 'function' || name === 'constructor') continue;
      const call = d.value;
      proto[name] = function (...args) {
        const start = performance.now();
        try {
          return call.apply(this, args);
        } finally {
          window.webglTime += performance.now() - start;
        }
      };
    }
  });
  await page.goto(address);
  await page.waitForFunction((n) => window.WebBackend && WebBackend.frames >= n, warmUp,
                             { timeout: 120000, polling: 10 });
  const start = await page.evaluate(() => [performance.now(), WebBackend.frames, WebBackend.busy,
                                           window.webglTime]);
  await page.waitForFunction((n) => WebBackend.frames >= n, start[1] + frames,
                             { timeout: 300000, polling: 10 });
  const end = await page.evaluate(() => [performance.now(), WebBackend.frames, WebBackend.busy,
                                         window.webglTime, WebBackend.firstFrameAt,
                                         performance.getEntriesByName('crane-main')[0].startTime]);
  await page.close();
  const ms = end[0] - start[0];
  const busy = end[2] - start[2], webgl = end[3] - start[3];
  return { fps: (1000 * (end[1] - start[1])) / ms, own: (busy - webgl) / ms, webgl: webgl / ms,
           first: end[4], main: end[5] };
}

// The floor's first frame, as the crane's: when its draws for it were made, since the opening.
async function floorRun() {
  const page = await browser.newPage({ viewport: { width: 900, height: 800 } });
  await page.goto(`${floor.origin}/floor.html`);
  await page.waitForFunction(() => window.firstFrameAt, null, { timeout: 120000 });
  const at = await page.evaluate(() => window.firstFrameAt);
  await page.close();
  return at;
}

function nativeRun() {
  const text = execFileSync(path.join(build, 'crane-render'), ['--bench', String(warmUp + frames)],
                            { cwd: build, encoding: 'utf8' });
  return Number(/([0-9.]+) frames per second/.exec(text)[1]);
}

const ratios = [], web = [], native = [], own = [], webgl = [], first = [], main = [], floors = [];
for (let i = 0; i < pairs; ++i) {
  // The order alternates: this machine's speed drifts over seconds.
  let w, n;
  if (i % 2 === 0) {
    w = await webRun();
    n = nativeRun();
  } else {
    n = nativeRun();
    w = await webRun();
  }
  const f = await floorRun();
  floors.push(f);
  web.push(w.fps);
  native.push(n);
  own.push(w.own);
  first.push(w.first);
  ratios.push(w.fps / n);
  webgl.push(w.webgl);
  main.push(w.main);
  console.log(`pair ${i + 1}: web ${w.fps.toFixed(1)} fps (the program's own code ${(100 * w.own).toFixed(1)} % ` +
              `of a frame, inside WebGL's calls ${(100 * w.webgl).toFixed(1)} %; main at ${w.main.toFixed(0)} ms, ` +
              `first frame at ${w.first.toFixed(0)} ms, the floor's at ${f.toFixed(0)} ms), native ${n.toFixed(1)} fps, ratio ${(w.fps / n).toFixed(3)}`);
}
await browser.close();
server.kill();
floor.server.kill();
fs.rmSync(floorSite, { recursive: true, force: true });

console.log(`\nmedians over ${pairs} pairs of ${frames} frames after ${warmUp}:`);
console.log(`  web ${median(web).toFixed(1)} fps, native crane-render ${median(native).toFixed(1)} fps, ` +
            `ratio web / native ${median(ratios).toFixed(3)} (pairs ${Math.min(...ratios).toFixed(3)} to ${Math.max(...ratios).toFixed(3)})`);
console.log(`  share of a frame in the program's own code (wasm and its JavaScript glue): ${(100 * median(own)).toFixed(1)} %, ` +
            `inside WebGL's calls ${(100 * median(webgl)).toFixed(1)} %, the rest the browser's own (rasteriser, compositor)`);
console.log(`  opening the page to its first frame: ${median(first).toFixed(0)} ms (main started at ${median(main).toFixed(0)} ms); ` +
            `the floor's (one shader, one triangle) ${median(floors).toFixed(0)} ms; ratio crane / floor ` +
            `${(median(first) / median(floors)).toFixed(2)}`);
const size = (files) => {
  const data = Buffer.concat(files.map((f) => fs.readFileSync(path.join(site, f))));
  return `${(data.length / 1024).toFixed(0)} KiB, ${(zlib.gzipSync(data, { level: 9 }).length / 1024).toFixed(0)} KiB gzip-compressed`;
};
const meshes = fs.readdirSync(site).filter((f) => f.endsWith('.asc'));
const wasm = fs.readdirSync(site).find((f) => /^crane\..*wasm$/.test(f));
console.log(`  sizes: ${wasm} ${size([wasm])}; crane.js ${size(['crane.js'])}; ` +
            `page ${size(['crane.html', 'page.js'])}; the ${meshes.length} mesh files ${size(meshes)}`);
