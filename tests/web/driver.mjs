// Runs the web build in Debian's Chromium (headless, no GPU: SwiftShader's WebGL 2) as the
// end-to-end tests' "desktop": it serves a site folder on 127.0.0.1, opens crane.html, and
// stands for the program's process:
//  - what the program prints on standard output (the page's console.log) goes to stdout, as
//    printed; its standard error, the page's errors and any request that would leave 127.0.0.1
//    go to stderr;
//  - it ends with the program's exit status once the page says the program ended, after a last
//    line on file descriptor 3: "ended" and what the page's status line then says, as JSON;
//  - it takes commands on stdin, one a line, and answers each on file descriptor 3 with one
//    line, "ok ..." or "error ...":
//      key NAME            a real key press (Playwright's key names: "i", "Escape", "Shift+P")
//      click SELECTOR      a real click on an element of the page
//      tap SELECTOR        a touch on an element of the page (where the device has touch)
//      shot PATH           the canvas as a PNG file
//      page PATH           the whole page as a PNG file
//      pointer X Y         the mouse moved to (X, Y) of the canvas, in CSS pixels
//      button down|up      the left mouse button pressed or released where the mouse is
//      eval EXPRESSION     the expression's value in the page, as JSON
//      wait EXPRESSION     waits until the expression is true in the page
//      axe                 axe-core's violations in the page as it is: [[rule, where], ...]
//      requests            how many times each path of the site was requested, as JSON
//      hold                the page stays after the program ended, until stdin closes
// Usage: node driver.mjs SITE_FOLDER [QUERY [SCRIPT [DEVICE]]]
//   SCRIPT: JavaScript the page runs before its own (to take a browser's abilities away).
//   DEVICE: the browser context's options as JSON (a phone's viewport, pixel ratio and touch);
//   by default a 680 x 800 desktop page at pixel ratio 1.
import { chromium } from 'playwright-core';
import fs from 'node:fs';
import path from 'node:path';
import readline from 'node:readline';
import { fileURLToPath } from 'node:url';

import { serveSite } from './site_server.mjs';

const [siteFolder, query = '', initScript = '', device = ''] = process.argv.slice(2);
const axeScript = path.join(path.dirname(fileURLToPath(import.meta.url)),
                            'node_modules/axe-core/axe.min.js');
const { server, origin } = await serveSite(siteFolder);

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
const page = await browser.newPage({
  viewport: { width: 680, height: 800 }, deviceScaleFactor: 1, ...(device ? JSON.parse(device) : {}),
});

if (initScript) await page.addInitScript({ content: initScript });

const out = (text) => process.stdout.write(text);
const err = (text) => process.stderr.write(text.endsWith('\n') ? text : text + '\n');
page.on('console', (message) => {
  if (message.type() === 'log') out(message.text());
  else if (message.type() === 'error') err(message.text());
});
page.on('pageerror', (error) => err('page error: ' + error.message));
const requested = {};
page.on('request', (request) => {
  const url = new URL(request.url());
  if (url.origin === origin) requested[url.pathname] = (requested[url.pathname] || 0) + 1;
});
page.on('requestfailed', (request) => {
  if (!request.url().endsWith('/favicon.ico')) err('request failed: ' + request.url());
});
await page.route('**/*', (route) => {
  const url = new URL(route.request().url());
  if (url.origin === origin || url.protocol === 'data:' || url.protocol === 'blob:') return route.continue();
  err('request leaving 127.0.0.1: ' + url.href);
  return route.abort();
});

let ending = false;
async function end(status) {
  if (ending) return;
  ending = true;
  // What the page says of the end, before it goes: "ended" and the status line's text as JSON.
  const said = await page.evaluate(() => document.getElementById('status').textContent)
    .catch(() => '');
  reply('ended ' + JSON.stringify(said));
  await browser.close().catch(() => {});
  server.close();
  process.stdout.write('', () => process.exit(status));
}

const reply = (line) => fs.writeSync(3, line.replace(/\n/g, ' ') + '\n');
const kSoon = 60000;
async function run(command) {
  const space = command.indexOf(' ');
  const verb = space < 0 ? command : command.slice(0, space);
  const argument = space < 0 ? '' : command.slice(space + 1);
  switch (verb) {
    case 'key':
      await page.keyboard.press(argument);
      return 'ok';
    case 'click':
      await page.click(argument, { timeout: kSoon });
      return 'ok';
    case 'tap':
      await page.tap(argument, { timeout: kSoon });
      return 'ok';
    case 'axe': {
      if (!(await page.evaluate(() => !!window.axe))) await page.addScriptTag({ path: axeScript });
      const result = await page.evaluate(() => axe.run());
      return 'ok ' + JSON.stringify(result.violations.map((v) => [v.id, v.nodes.map((n) => n.target.join(' '))]));
    }
    case 'requests':
      return 'ok ' + JSON.stringify(requested);
    case 'hold':
      holding = true;
      return 'ok';
    case 'shot':
      await page.locator('#canvas').screenshot({ path: argument, timeout: kSoon });
      return 'ok';
    case 'page':
      await page.screenshot({ path: argument });
      return 'ok';
    case 'pointer': {
      const box = await page.locator('#canvas').boundingBox();
      const [x, y] = argument.split(' ').map(Number);
      await page.mouse.move(box.x + x, box.y + y);
      return 'ok';
    }
    case 'button':
      await (argument === 'down' ? page.mouse.down() : page.mouse.up());
      return 'ok';
    case 'eval':
      return 'ok ' + JSON.stringify(await page.evaluate(argument));
    case 'wait':
      await page.waitForFunction(argument, null, { timeout: kSoon, polling: 50 });
      return 'ok';
  }
  return 'error unknown command ' + verb;
}

// Commands run one at a time, in order.
let queue = Promise.resolve();
let holding = false;
let exitStatus = null;
let inputEnded;
const inputEnd = new Promise((resolve) => (inputEnded = resolve));
readline.createInterface({ input: process.stdin }).on('line', (line) => {
  queue = queue.then(() =>
    run(line).then(reply, (error) => reply('error ' + error.message.split('\n')[0])));
});
process.stdin.on('end', () => {
  inputEnded();
  queue.then(() => end(exitStatus === null ? 0 : exitStatus));
});

await page.goto(`${origin}/crane.html${query ? '?' + query : ''}`);
const status = await page
  .waitForFunction(() => document.body.dataset.exitStatus, null, { timeout: 0, polling: 100 })
  .then((handle) => handle.jsonValue())
  .catch(() => null);
if (status !== null) {
  exitStatus = Number(status);
  // Commands already sent are answered before the browser goes.
  await queue;
  if (holding) await inputEnd;
  await end(exitStatus);
}
