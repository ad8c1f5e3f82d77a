// Looks at a web build's site as served by the server tools/run.sh uses (tools/serve_web.sh) and
// opened in Debian's Chromium, and prints what it saw, one "name value" line each, for the
// browser tests of the site (tests/e2e/test_e2e_web_site.cpp) to judge:
//   served SITE                 the headers of the site's files, the bytes sent compressed and
//                               plain, and the page opened at the site's root
//   app SITE                    the manifest, the installability errors, the favicon
//   offline SITE CMAKE SITE_APP TEMPLATE
//                               a copy of the site: opened, then reloaded offline; then rebuilt
//                               (a changed file, the service worker made anew by site_app.cmake)
//                               and the page's worker updated
// Usage: node site_check.mjs CHECK SITE_FOLDER [CMAKE SITE_APP TEMPLATE]
import { chromium } from 'playwright-core';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

import { startRealServer } from './real_server.mjs';

const [check, siteArg, cmake, siteApp, template] = process.argv.slice(2);
const kSoon = 120000;
const started = Date.now();
const say = (name, value) => {
  console.log(`${name} ${value}`);
  console.error(`${name} at ${Date.now() - started} ms`);
};

// One GET with raw headers: the status, the headers, and the bytes as sent (still compressed).
function get(url, headers) {
  return new Promise((resolve, reject) => {
    http.get(url, { headers }, (response) => {
      let bytes = 0;
      response.on('data', (data) => (bytes += data.length));
      response.on('end', () => resolve({ response, bytes }));
    }).on('error', reject);
  });
}

const launch = () => chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
const running = (page) => page.waitForFunction(() => window.WebBackend && WebBackend.frames > 0,
                                                null, { timeout: kSoon, polling: 50 });
const siteFiles = (site) => {
  const list = /const files = \[(.*)\];/.exec(fs.readFileSync(path.join(site, 'sw.js'), 'utf8'));
  return [...list[1].matchAll(/'([^']+)'/g)].map((m) => m[1]);
};

async function served(site, origin) {
  const wasm = fs.readdirSync(site).find((name) => /^crane\.[0-9a-f]+\.wasm$/.test(name));
  for (const [name, file] of [['root', ''], ['page', 'crane.html'], ['wasm', wasm],
                              ['script', 'crane.js'], ['mesh', 'grua2.asc'],
                              ['manifest', 'crane.webmanifest'], ['worker', 'sw.js']]) {
    const { response } = await get(`${origin}/${file}`, { 'Accept-Encoding': 'br, gzip' });
    const h = response.headers;
    say(name, `${response.statusCode} HTTP/${response.httpVersion} type=${h['content-type']} ` +
              `encoding=${h['content-encoding'] || 'none'} cache=${h['cache-control'] || 'none'}`);
  }
  let compressed = 0, plain = 0;
  for (const file of siteFiles(site)) {
    compressed += (await get(`${origin}/${file}`, { 'Accept-Encoding': 'br, gzip' })).bytes;
    plain += (await get(`${origin}/${file}`, {})).bytes;
  }
  say('bytes', `${compressed} compressed ${plain} plain`);
  const browser = await launch();
  const page = await browser.newPage();
  await page.goto(`${origin}/`);
  await running(page);
  say('root-runs', await page.evaluate(() => document.querySelector('h1').textContent));
  await browser.close();
}

async function app(site, origin) {
  const browser = await launch();
  const page = await browser.newPage();
  await page.goto(`${origin}/crane.html`);
  await running(page);
  const cdp = await page.context().newCDPSession(page);
  const manifest = await cdp.send('Page.getAppManifest');
  say('manifest-errors', JSON.stringify(manifest.errors));
  const parsed = JSON.parse(manifest.data);
  say('manifest', `${parsed.short_name} display=${parsed.display} ` +
                  `icons=${parsed.icons.map((i) => `${i.sizes}/${i.purpose}`).join(',')}`);
  for (const icon of parsed.icons) {
    const response = await page.request.get(new URL(icon.src, manifest.url).href);
    say('icon', `${icon.src} ${response.status()} ${response.headers()['content-type']}`);
  }
  const errors = await cdp.send('Page.getInstallabilityErrors');
  say('installability', errors.installabilityErrors.map((e) => e.errorId).join(',') || 'none');
  const favicon = await page.evaluate(() => document.querySelector('link[rel=icon]').href);
  const response = await page.request.get(favicon);
  say('favicon', `${response.status()} ${response.headers()['content-type']}`);
  await browser.close();
}

async function offline(site, origin, copy) {
  const browser = await launch();
  const context = await browser.newContext();
  const page = await context.newPage();
  const cacheNames = () => page.evaluate(() => caches.keys().then((k) => k.join(',')));
  await page.goto(`${origin}/crane.html`);
  await running(page);
  await page.waitForFunction(() => navigator.serviceWorker.controller, null, { timeout: kSoon });
  const first = await cacheNames();
  say('first-cache', first);

  await context.setOffline(true);
  await page.reload();
  await running(page);
  say('offline-runs', await page.evaluate(() => WebBackend.frames > 0));
  await context.setOffline(false);

  // A new build: one file changed, the service worker made anew over the site.
  fs.appendFileSync(path.join(copy, 'page.js'), '\n// rebuilt\n');
  execFileSync(cmake, [`-DSITE=${copy}`, `-DTEMPLATE=${template}`, '-P', siteApp]);
  await page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
  // The new worker takes over once its cache is full, and then deletes the old one.
  for (const deadline = Date.now() + 2 * kSoon; Date.now() < deadline;) {
    const names = await cacheNames();
    if (names && !names.split(',').includes(first)) break;
    await page.waitForTimeout(100);
  }
  const now = await cacheNames();
  say('new-cache', now);
  say('new-page-cached', await page.evaluate((name) =>
    caches.open(name).then((c) => c.match('page.js')).then((r) => r && r.text())
      .then((t) => !!t && t.includes('// rebuilt')), now.split(',')[0]));
  await browser.close();
}

let folder = path.resolve(siteArg);
let copy = null;
if (check === 'offline') {
  copy = fs.mkdtempSync(path.join(os.tmpdir(), 'site_check'));
  fs.cpSync(folder, copy, { recursive: true });
  folder = copy;
}
const { server, origin } = await startRealServer(folder);
let status = 0;
try {
  if (check === 'served') await served(folder, origin);
  else if (check === 'app') await app(folder, origin);
  else if (check === 'offline') await offline(folder, origin, copy);
  else throw new Error('unknown check ' + check);
} catch (e) {
  console.error(e.message);
  status = 1;
} finally {
  server.kill();
  if (copy) fs.rmSync(copy, { recursive: true, force: true });
}
process.exit(status);
