// A static file server for a site folder on 127.0.0.1, on a free port: what the browser tests'
// driver and the web benchmark open the page from.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.asc': 'text/plain', '.png': 'image/png', '.mp4': 'video/mp4', '.webm': 'video/webm',
};

// Resolves to the server and its origin ("http://127.0.0.1:PORT"). Nothing outside the folder
// is served.
export async function serveSite(folder) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, path.normalize(name));
    fs.readFile(file, (error, data) => {
      if (error || !file.startsWith(root + path.sep)) {
        response.writeHead(404);
        response.end();
        return;
      }
      const type = types[path.extname(file)] || 'application/octet-stream';
      response.writeHead(200, { 'Content-Type': type });
      response.end(data);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { server, origin: `http://127.0.0.1:${server.address().port}` };
}
