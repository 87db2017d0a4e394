// A static file server on 127.0.0.1 for the tests, on a free port. Paths under a folder the site lacks are
// its files too (the page loads what sits beside it), except where substitutes names a file of its own.
"use strict";

const http = require("node:http");
const fs = require("node:fs");
const path = require("node:path");

const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                ".data": "application/octet-stream", ".png": "image/png", ".txt": "text/plain" };

function serveFolder(folder, substitutes = {}) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    let name = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
    if (name.endsWith("/")) name += "index.html";
    if (substitutes[name]) {
      fs.readFile(substitutes[name], (error, data) => {
        if (error) return response.writeHead(404).end();
        response.writeHead(200, { "Content-Type": types[path.extname(name)], "Cache-Control": "no-store" });
        response.end(data);
      });
      return;
    }
    // The page under another folder is the site's own page.
    const base = name.slice(name.lastIndexOf("/"));
    const file = path.resolve(root, "." + (fs.existsSync(path.join(root, name)) ? name : base));
    if (!file.startsWith(root + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    fs.readFile(file, (error, data) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream",
                                "Cache-Control": "no-store" });
      response.end(data);
    });
  });
  return new Promise((resolve) => {
    server.listen(0, "127.0.0.1", () => {
      server.url = "http://127.0.0.1:" + server.address().port;
      resolve(server);
    });
  });
}

module.exports = { serveFolder };
