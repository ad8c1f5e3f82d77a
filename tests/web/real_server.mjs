// The server tools/run.sh uses (tools/serve_web.sh: npm's serve with web/serve.json's headers),
// started on a free port for a site folder: for the site's tests, its audit and the benchmark.
import { spawn } from 'node:child_process';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const script = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../tools/serve_web.sh');

// Resolves to { server, origin }, once it listens; server.kill() ends it.
export function startRealServer(site) {
  const server = spawn('bash', [script, site, '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    let text = '';
    server.stdout.on('data', (data) => {
      text += data;
      const address = /http:\/\/127\.0\.0\.1:[0-9]+/.exec(text);
      if (address) resolve({ server, origin: address[0] });
    });
    server.on('exit', () => reject(new Error('the server ended: ' + text)));
  });
}
