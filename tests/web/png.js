// Reads the game's own screenshots (8-bit RGB or RGBA, not interlaced) and compares two pictures.
"use strict";

const zlib = require("node:zlib");

function decodePng(bytes) {
  if (!bytes || bytes.length < 8 || bytes.readUInt32BE(0) !== 0x89504e47) throw new Error("not a PNG picture");
  let at = 8;
  let width = 0, height = 0, channels = 0;
  const idat = [];
  while (at + 8 <= bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString("latin1", at + 4, at + 8);
    const data = bytes.subarray(at + 8, at + 8 + length);
    if (type === "IHDR") {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      if (data[8] !== 8 || data[12] !== 0) throw new Error("only 8-bit pictures without interlacing");
      channels = { 2: 3, 6: 4 }[data[9]];
      if (!channels) throw new Error("colour type " + data[9] + " is not read here");
    } else if (type === "IDAT") {
      idat.push(data);
    } else if (type === "IEND") {
      break;
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = width * channels;
  const pixels = Buffer.alloc(width * height * 3);
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? line[i - channels] : 0;
      const b = previous[i];
      const c = i >= channels ? previous[i - channels] : 0;
      let add = 0;
      if (filter === 1) add = a;
      else if (filter === 2) add = b;
      else if (filter === 3) add = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        add = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      line[i] = (line[i] + add) & 255;
    }
    for (let x = 0; x < width; ++x) line.copy(pixels, (y * width + x) * 3, x * channels, x * channels + 3);
    previous = line;
  }
  return { width, height, pixels };
}

// Null when the pictures are the same, else what differs.
function comparePictures(got, want) {
  if (got.width !== want.width || got.height !== want.height) {
    return "size " + got.width + "x" + got.height + ", not " + want.width + "x" + want.height;
  }
  let differing = 0, first = -1;
  for (let i = 0; i < got.pixels.length; i += 3) {
    if (got.pixels[i] !== want.pixels[i] || got.pixels[i + 1] !== want.pixels[i + 1] || got.pixels[i + 2] !== want.pixels[i + 2]) {
      if (first < 0) first = i / 3;
      ++differing;
    }
  }
  if (differing === 0) return null;
  return differing + " pixels differ, the first at (" + (first % got.width) + ", " + Math.floor(first / got.width) + ")";
}

module.exports = { decodePng, comparePictures };
