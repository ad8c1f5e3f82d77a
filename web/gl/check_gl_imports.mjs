// Fails when a WebAssembly program imports a GL or GLU entry point: every GL call the program
// makes must land in web/gl/, and emscripten would answer the WebGL-shaped ones (glDepthFunc,
// glGetString...) with its own functions on the WebGL context behind the layer's back.
// Usage: node check_gl_imports.mjs PROGRAM.wasm
import fs from 'node:fs';

const file = process.argv[2];
const module = new WebAssembly.Module(fs.readFileSync(file));
const stray = WebAssembly.Module.imports(module)
  .map((entry) => entry.name)
  .filter((name) => /^glu?[A-Z]/.test(name));
if (stray.length > 0) {
  console.error(`${file}: GL calls that web/gl/ does not implement: ${stray.join(' ')}`);
  process.exit(1);
}
