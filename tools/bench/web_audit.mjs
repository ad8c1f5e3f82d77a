// Lighthouse (tests/web's lockfile) on the web build's site as tools/run.sh serves it, with the
// desktop and the mobile presets, in Debian's Chromium drawing WebGL 2 with SwiftShader: the four
// category scores, the audits that fail, and the bytes the page transferred.
// Usage: node web_audit.mjs WEB_BUILD_FOLDER
import path from 'node:path';

import lighthouse from '../../tests/web/node_modules/lighthouse/core/index.js';
import desktopConfig from '../../tests/web/node_modules/lighthouse/core/config/desktop-config.js';
import * as chromeLauncher from '../../tests/web/node_modules/chrome-launcher/dist/index.js';
import { startRealServer } from '../../tests/web/real_server.mjs';

const site = path.resolve(process.argv[2], 'site');
const { server, origin } = await startRealServer(site);
process.env.CHROME_PATH = process.env.CHROME_PATH || '/usr/bin/chromium';

for (const [preset, config] of [['desktop', desktopConfig], ['mobile', undefined]]) {
  const chrome = await chromeLauncher.launch({
    chromePath: process.env.CHROME_PATH,
    chromeFlags: ['--headless=new', '--no-sandbox', '--use-angle=swiftshader',
                  '--enable-unsafe-swiftshader'],
  });
  try {
    const { lhr } = await lighthouse(`${origin}/`, { port: chrome.port, logLevel: 'error',
                                                     output: 'json' }, config);
    const scores = Object.values(lhr.categories)
      .map((c) => `${c.title} ${c.score === null ? '-' : Math.round(100 * c.score)}`);
    console.log(`${preset}: ${scores.join(', ')}; transferred ` +
                `${Math.round(lhr.audits['total-byte-weight'].numericValue)} bytes`);
    for (const category of Object.values(lhr.categories)) {
      for (const ref of category.auditRefs) {
        const audit = lhr.audits[ref.id];
        if (audit.score === null || audit.score >= 0.9 ||
            ['informative', 'notApplicable', 'manual'].includes(audit.scoreDisplayMode)) continue;
        console.log(`  ${category.title}: ${audit.title} (${audit.id}, score ` +
                    `${audit.score.toFixed(2)}${audit.displayValue ? ', ' + audit.displayValue : ''})`);
      }
    }
    for (const warning of lhr.runWarnings) console.log(`  warning: ${warning.split('\n')[0]}`);
  } finally {
    await chrome.kill();
  }
}
server.kill();
