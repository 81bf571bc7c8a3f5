'use strict';
// Writers for Lunotrop's Earth data files and, for the self-check, readers that
// follow the program's own loading rules step by step (single-precision running
// positions, the "_0" name rule, the 999° end pair that drops unfinished points).

const DEG = Math.PI / 180;
const TWO_PI = 2 * Math.PI;

// One step of the compact formats. The header's latitude unit is half of it.
const DELTA_UNIT = TWO_PI / 8191;
const WORD_LON_OFFSET = 0.08726646259971647; // 5° in radians
const WORD_LAT_OFFSET = 0.04188790204786391; // 2.4° in radians
const NIBBLE_OFFSET = 7.4;

const MAX_CODE = 8191; // 13 bits
const MAX_COUNT = 1023; // 10 bits

// ERDE.BIN markers: below 899° a point, below 990° a separator, else the end.
const POINT_LIMIT = 899 * DEG;
const SEPARATOR_LIMIT = 990 * DEG;
const SEPARATOR_DEGREES = 905;
const END_DEGREES = 999;

const f32 = Math.fround;

function wrapPi(d) {
  while (d > Math.PI) d -= TWO_PI;
  while (d < -Math.PI) d += TWO_PI;
  return d;
}

function checkRange(name, value, lo, hi) {
  if (!Number.isInteger(value) || value < lo || value > hi) {
    throw new Error(`${name} ${value} liegt nicht in ${lo}..${hi}`);
  }
}

// ---------------------------------------------------------------- compact files

// Header longitude: two-byte files count from 0 to 2π, one-byte files from −π.
function headerLonCode(lon, wordDeltas) {
  const code = Math.round((wordDeltas ? lon : lon + Math.PI) / DELTA_UNIT);
  return code === MAX_CODE + 1 ? code - (MAX_CODE + 1) : code; // 2π is 0 again
}

function headerLatCode(lat) {
  return Math.round(((lat + Math.PI / 2) / Math.PI) * 8191);
}

function decodeHeaderLon(code, wordDeltas) {
  return f32(wordDeltas ? code * DELTA_UNIT : code * DELTA_UNIT - Math.PI);
}

function decodeHeaderLat(code) {
  return f32((code / 8191) * Math.PI - Math.PI / 2);
}

function encodeHeader(lonCode, latCode, count, penUp) {
  checkRange('Längencode', lonCode, 0, MAX_CODE);
  checkRange('Breitencode', latCode, 0, MAX_CODE);
  checkRange('Anzahl', count, 0, MAX_COUNT);
  return [
    (penUp ? 0x80 : 0) | (lonCode >> 8),
    lonCode & 0xff,
    ((count >> 8) << 6) | (latCode >> 8),
    latCode & 0xff,
    count & 0xff,
  ];
}

function decodeWordDelta(lo, hi) {
  return [hi * DELTA_UNIT - WORD_LON_OFFSET, lo * DELTA_UNIT - WORD_LAT_OFFSET];
}

function decodeNibbleDelta(b) {
  return [((b >> 4) - NIBBLE_OFFSET) * 2 * DELTA_UNIT, ((b & 0x0f) - NIBBLE_OFFSET) * DELTA_UNIT];
}

// Encodes one polyline (points as [lon, lat] in radians) as one or more compact
// segments. Every delta aims at the target point from where the reader will
// really be after its single-precision additions, so rounding errors never add
// up along a line. `pieces` gives the index ranges of the segments: each piece
// [first, last] starts with a header at point `first`.
function encodeCompactLine(points, pieces, wordDeltas, firstPenUp, out) {
  pieces.forEach(([first, last], pieceIndex) => {
    const [lon0, lat0] = points[first];
    const lonCode = headerLonCode(lon0, wordDeltas);
    const latCode = headerLatCode(lat0);
    const penUp = pieceIndex === 0 ? firstPenUp : false;
    out.push(...encodeHeader(lonCode, latCode, last - first, penUp));
    let lon = decodeHeaderLon(lonCode, wordDeltas);
    let lat = decodeHeaderLat(latCode);
    for (let k = first + 1; k <= last; k++) {
      const [tLon, tLat] = points[k];
      const dLon = wrapPi(tLon - lon);
      const dLat = tLat - lat;
      let stepLon, stepLat;
      if (wordDeltas) {
        const g = Math.round((dLon + WORD_LON_OFFSET) / DELTA_UNIT);
        const l = Math.round((dLat + WORD_LAT_OFFSET) / DELTA_UNIT);
        checkRange('Längenschritt G', g, 0, 255);
        checkRange('Breitenschritt L', l, 0, 255);
        out.push(l, g);
        [stepLon, stepLat] = decodeWordDelta(l, g);
      } else {
        const g = Math.round(dLon / (2 * DELTA_UNIT) + NIBBLE_OFFSET);
        const l = Math.round(dLat / DELTA_UNIT + NIBBLE_OFFSET);
        checkRange('Längenschritt G', g, 0, 15);
        checkRange('Breitenschritt L', l, 0, 15);
        out.push((g << 4) | l);
        [stepLon, stepLat] = decodeNibbleDelta((g << 4) | l);
      }
      lon = f32(lon + stepLon);
      lat = f32(lat + stepLat);
    }
  });
}

// Reads a compact file the way the program does. wordDeltas follows from the
// file name alone. Longitudes of two-byte files are brought into [0, 2π] as the
// coastline loader does; the border drawing uses them unwrapped.
function readCompactFile(name, bytes) {
  const wordDeltas = name.includes('_0');
  const segments = [];
  let pos = 0;
  while (pos < bytes.length) {
    if (pos + 5 > bytes.length) throw new Error(`${name}: unvollständiger Segmentkopf bei Byte ${pos}`);
    const h = bytes.subarray(pos, pos + 5);
    pos += 5;
    const penUp = (h[0] & 0x80) !== 0;
    const lonCode = (h[0] & 0x1f) * 256 + h[1];
    const latCode = (h[2] & 0x1f) * 256 + h[3];
    const count = (h[2] & 0xc0) * 4 + h[4];
    const size = wordDeltas ? 2 * count : count;
    if (pos + size > bytes.length) throw new Error(`${name}: Segment bei Byte ${pos} ist abgeschnitten`);
    let lon = decodeHeaderLon(lonCode, wordDeltas);
    let lat = decodeHeaderLat(latCode);
    const points = [[lon, lat]];
    for (let k = 0; k < count; k++) {
      const [dLon, dLat] = wordDeltas
        ? decodeWordDelta(bytes[pos + 2 * k], bytes[pos + 2 * k + 1])
        : decodeNibbleDelta(bytes[pos + k]);
      lon = f32(lon + dLon);
      lat = f32(lat + dLat);
      let shown = lon;
      if (wordDeltas) {
        if (shown > TWO_PI) shown -= TWO_PI;
        else if (shown < 0) shown += TWO_PI;
      }
      points.push([shown, lat]);
    }
    pos += size;
    segments.push({ penUp, points });
  }
  return { wordDeltas, segments };
}

// ------------------------------------------------------------------ ECLGRAPH.DAT

// The file counts longitude westward: the reader turns v into 360 − v.
function formatDegrees(value) {
  let text = value.toFixed(4).replace(/\.?0+$/, '');
  if (text === '-0') text = '0';
  return text;
}

function writeEclgraph(polylines) {
  const lines = [];
  for (const line of polylines) {
    for (const [lonDeg, latDeg] of line) {
      const east = ((lonDeg % 360) + 360) % 360;
      lines.push(formatDegrees(360 - east), formatDegrees(latDeg));
    }
    lines.push(String(SEPARATOR_DEGREES), '0');
  }
  lines.push(String(END_DEGREES), String(END_DEGREES));
  return Buffer.from(lines.map((l) => l + '\r\n').join(''), 'latin1');
}

// The program's conversion of ECLGRAPH.DAT into ERDE.BIN: the leading number of
// each line; pairs until a 999; separators pass through; then the 999° end pair.
function convertEclgraph(text) {
  const numbers = text.split(/\r?\n/).map((l) => parseFloat(l));
  const reals = [];
  for (let i = 0; i + 1 < numbers.length; i += 2) {
    let lon = numbers[i];
    const lat = numbers[i + 1];
    if (Number.isNaN(lon) || Number.isNaN(lat)) throw new Error(`ECLGRAPH.DAT: Zeile ${i + 1} ist keine Zahl`);
    if (lon === END_DEGREES || lat === END_DEGREES) break;
    if (lon < 900) lon = 360 - lon;
    reals.push(lon * DEG, lat * DEG);
  }
  reals.push(END_DEGREES * DEG, END_DEGREES * DEG);
  const buffer = Buffer.alloc(4 * reals.length);
  reals.forEach((r, i) => buffer.writeFloatLE(r, 4 * i));
  return buffer;
}

// The program's loading of ERDE.BIN: points until a separator stores a segment;
// the end pair drops whatever was gathered since the last separator.
function readErdeBin(bytes) {
  if (bytes.length % 8 !== 0) throw new Error('ERDE.BIN: Länge ist kein Vielfaches von 8');
  const segments = [];
  let points = [];
  let dropped = 0;
  for (let pos = 0; pos < bytes.length; pos += 8) {
    const lon = bytes.readFloatLE(pos);
    const lat = bytes.readFloatLE(pos + 4);
    if (lon < POINT_LIMIT) {
      points.push([lon, lat]);
      continue;
    }
    if (lon < SEPARATOR_LIMIT) segments.push({ penUp: true, points });
    else dropped += points.length;
    points = [];
  }
  // Points after the last marker are never stored either.
  return { segments, dropped: dropped + points.length };
}

module.exports = {
  DEG,
  TWO_PI,
  DELTA_UNIT,
  MAX_COUNT,
  END_BITS: 0x418b7c99,
  wrapPi,
  encodeCompactLine,
  readCompactFile,
  writeEclgraph,
  convertEclgraph,
  readErdeBin,
};
